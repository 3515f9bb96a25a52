#include "Demarrage.h"

int main(int argc, char** argv) { return LancerBavardin(argc, argv); }
