#include "app/run.h"

int main(int argc, char** argv) { return adequacy::Run(argc, argv); }
