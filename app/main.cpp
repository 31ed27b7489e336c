#include "app/run.h"

int main() { return adequacy::Run(); }
