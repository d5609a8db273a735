// Helpers for the tests of setupsim: its command line run in-process, the
// bundled examples and the findings of a check.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "setupsim/check_findings.h"
#include "setupsim/cli.h"

namespace medium_test {

const std::string kExamples = std::string(SETUP_SOURCE_DIR) + "/examples/";

struct Output { int code; std::string out, err; };

inline Output Setupsim(std::vector<std::string> args) {
    args.insert(args.begin(), "setupsim");
    std::vector<const char*> argv;
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    std::ostringstream out, err;
    const int code = setupsim::Main(static_cast<int>(argv.size()), argv.data(), out, err);
    return {code, out.str(), err.str()};
}

// "severity: text", a line each.
inline std::string Described(const std::vector<setupsim::Finding>& findings, std::string text = "") {
    for (const setupsim::Finding& f : findings) text += std::string(setupsim::ToString(f.severity)) + ": " + f.text + "\n";
    return text;
}

}  // namespace medium_test
