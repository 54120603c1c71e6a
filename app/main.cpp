#include "app/Startup.h"

int main(int argc, char** argv) { return runKlado(argc, argv); }
