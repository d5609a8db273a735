#include <iostream>
#include <new>

#include "setupsim/cli.h"

int main(int argc, char** argv) {
    try {
        return setupsim::Main(argc, argv, std::cout, std::cerr);
    } catch (const std::bad_alloc&) {
        // A machine folder or a log too large for this computer: say so
        // rather than end with an abort.
        std::cerr << "setupsim: out of memory: the machine folder or the log is too large\n";
        return 2;
    }
}
