#include <iostream>

#include "setupsim/cli.h"

int main(int argc, char** argv) { return setupsim::Main(argc, argv, std::cout, std::cerr); }
