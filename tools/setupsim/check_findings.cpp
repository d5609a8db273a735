#include "setupsim/check_findings.h"

#include <sstream>

namespace setupsim {

const char* ToString(Severity severity) {
    switch (severity) {
        case Severity::Ok: return "ok";
        case Severity::Warning: return "warning";
        case Severity::Error: return "error";
    }
    return "?";
}

std::size_t CheckReport::Count(Severity severity) const {
    std::size_t count = 0;
    for (const FindingGroup& group : groups) {
        for (const Finding& finding : group.findings) count += finding.severity == severity ? 1 : 0;
    }
    return count;
}

namespace {

std::string Plural(std::size_t count, const char* word) {
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

}  // namespace

std::string CheckText(const CheckReport& report) {
    std::ostringstream out;
    out << "setupsim check: " << report.origin << "\n";
    for (const FindingGroup& group : report.groups) {
        if (group.findings.empty()) continue;
        out << "\n" << group.title << "\n";
        for (const Finding& finding : group.findings) out << "  " << ToString(finding.severity) << ": " << finding.text << "\n";
    }
    out << "\n" << Plural(report.Count(Severity::Error), "error") << ", "
        << Plural(report.Count(Severity::Warning), "warning") << "\n";
    return out.str();
}

nlohmann::json CheckJson(const CheckReport& report) {
    nlohmann::json findings = nlohmann::json::array();
    for (const FindingGroup& group : report.groups) {
        for (const Finding& finding : group.findings) {
            findings.push_back({{"group", group.title}, {"severity", ToString(finding.severity)}, {"text", finding.text}});
        }
    }
    return {{"medium", report.origin},
            {"errors", report.Count(Severity::Error)},
            {"warnings", report.Count(Severity::Warning)},
            {"findings", findings}};
}

}  // namespace setupsim
