// The setupsim command line, callable from tests.
#pragma once

#include <ostream>

namespace setupsim {

// Exit codes: 0 the run was simulated (whatever the program did), 1 the
// run hung, 2 bad usage or a malformed machine folder.
int Main(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace setupsim
