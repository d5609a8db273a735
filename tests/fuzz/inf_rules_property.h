// The INF rules' fuzz oracle: campaign.h says which bytes a rule may change;
// the copy flags also leave unchosen files alone, and a file whose copy
// failed as it was. "" or what broke the promise.
#pragma once

#include <cstdint>
#include <string>

namespace fuzzing {

// The rule, a byte of choices (the option boxes as bits; for the copy flags
// bits 0 to 2 the files, 3 CopyFile fails, 4 a ".new" file does not open), the file.
enum class FuzzedRule : std::uint8_t { ConfigSwitches = 0, SettingsValues = 1, CopyFlags = 2 };
inline std::string MakeInput(FuzzedRule rule, std::uint8_t choices, const std::string& file) {
    return std::string(1, static_cast<char>(rule)) + static_cast<char>(choices) + file;
}
std::string CheckInfRule(const std::string& input);

}  // namespace fuzzing
