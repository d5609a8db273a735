// What `setupsim check` found on a medium: one line per finding, grouped.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace setupsim {

enum class Severity { Ok, Warning, Error };

const char* ToString(Severity severity);  // "ok", "warning", "error"

struct Finding {
    Severity severity = Severity::Ok;
    std::string text;
};

struct FindingGroup {
    std::string title;
    std::vector<Finding> findings;

    void Ok(std::string text) { findings.push_back({Severity::Ok, std::move(text)}); }
    void Warning(std::string text) { findings.push_back({Severity::Warning, std::move(text)}); }
    void Error(std::string text) { findings.push_back({Severity::Error, std::move(text)}); }
    void Add(const std::vector<Finding>& more) { findings.insert(findings.end(), more.begin(), more.end()); }
};

struct CheckReport {
    std::string origin;  // what was read
    std::vector<FindingGroup> groups;

    std::size_t Count(Severity severity) const;
};

std::string CheckText(const CheckReport& report);
nlohmann::json CheckJson(const CheckReport& report);

}  // namespace setupsim
