// Helpers for the tests of setupsim: its command line run in-process, media
// built in memory, the bundled examples and the findings of a check.
#pragma once

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "setupsim/check_findings.h"
#include "setupsim/cli.h"
#include "setupsim/medium.h"

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

// A medium from (path, content) pairs, each folder on the way listed once before its content.
inline setupsim::Medium MediumOf(const std::vector<std::pair<std::string, std::string>>& files) {
    setupsim::Medium medium{"test medium", {}};
    for (const auto& file : files) {
        const std::string& path = file.first;
        for (std::size_t slash = path.find('\\'); slash != std::string::npos; slash = path.find('\\', slash + 1))
            if (std::none_of(medium.entries.begin(), medium.entries.end(), [&](const auto& e) { return e.path == path.substr(0, slash); }))
                medium.entries.push_back({path.substr(0, slash), true, {}});
        medium.entries.push_back({path, false, file.second});
    }
    return medium;
}

// "severity: text", a line each.
inline std::string Described(const std::vector<setupsim::Finding>& findings, std::string text = "") {
    for (const setupsim::Finding& f : findings) text += std::string(setupsim::ToString(f.severity)) + ": " + f.text + "\n";
    return text;
}

}  // namespace medium_test
