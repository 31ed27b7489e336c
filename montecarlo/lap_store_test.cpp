#include "montecarlo/lap_store.h"

#include <gtest/gtest.h>
