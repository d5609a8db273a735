// Helpers for the tests of the maintainer's commands: running the command
// line, media built in memory, and the bundled examples.
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

struct Output {
    int code;
    std::string out;
    std::string err;
};

inline Output Setupsim(std::vector<std::string> args) {
    args.insert(args.begin(), "setupsim");
    std::vector<const char*> argv;
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    std::ostringstream out, err;
    const int code = setupsim::Main(static_cast<int>(argv.size()), argv.data(), out, err);
    return {code, out.str(), err.str()};
}

// A medium from (path, content) pairs; folders on the way are added, and a
// path ending in '\' is a folder alone.
inline setupsim::Medium MediumOf(const std::vector<std::pair<std::string, std::string>>& files) {
    setupsim::Medium medium;
    medium.origin = "test medium";
    auto addFolder = [&](const std::string& folder) {
        for (const setupsim::MediumEntry& entry : medium.entries) {
            if (entry.path == folder) return;
        }
        medium.entries.push_back({folder, true, {}});
    };
    for (const auto& [path, content] : files) {
        for (std::size_t slash = path.find('\\'); slash != std::string::npos; slash = path.find('\\', slash + 1)) {
            addFolder(path.substr(0, slash));
        }
        if (path.back() != '\\') medium.entries.push_back({path, false, content});
    }
    return medium;
}

// Findings of one severity whose text contains fragment.
inline std::size_t CountFindings(const std::vector<setupsim::Finding>& findings, setupsim::Severity severity,
                                 const std::string& fragment) {
    return static_cast<std::size_t>(std::count_if(findings.begin(), findings.end(), [&](const setupsim::Finding& f) {
        return f.severity == severity && f.text.find(fragment) != std::string::npos;
    }));
}

inline std::vector<setupsim::Finding> AllFindings(const setupsim::CheckReport& report) {
    std::vector<setupsim::Finding> all;
    for (const setupsim::FindingGroup& group : report.groups) {
        all.insert(all.end(), group.findings.begin(), group.findings.end());
    }
    return all;
}

inline std::string Describe(const std::vector<setupsim::Finding>& findings) {
    std::string text;
    for (const setupsim::Finding& f : findings) text += std::string(setupsim::ToString(f.severity)) + ": " + f.text + "\n";
    return text;
}

}  // namespace medium_test
