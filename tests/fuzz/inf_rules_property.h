// What the INF rules promise whatever the file holds: the fuzz target's
// oracle, "" or what broke the promise (campaign/inf_judge.h says which bytes
// a rule may change; the copy flags leave unchosen files alone, and a file
// whose copy failed as it was).
#pragma once

#include <cstdint>
#include <string>

namespace fuzzing {

// An input: the rule, a byte of choices (the option boxes as bits; for the
// copy flags bits 0 to 2 the files, 3 CopyFile fails, 4 a ".new" file does
// not open), then the file.
enum class FuzzedRule : std::uint8_t { ConfigSwitches = 0, SettingsValues = 1, CopyFlags = 2 };
inline std::string MakeInput(FuzzedRule rule, std::uint8_t choices, const std::string& file) {
    return std::string(1, static_cast<char>(rule)) + static_cast<char>(choices) + file;
}
std::string CheckInfRule(const std::string& input);

}  // namespace fuzzing
