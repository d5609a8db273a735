// What the INF rules promise whatever the file holds, checked on a virtual
// machine: the fuzz target's oracle, and the seed tests' too.
#pragma once

#include <cstdint>
#include <string>

namespace fuzzing {

enum class FuzzedRule : std::uint8_t { ConfigSwitches = 0, SettingsValues = 1, CopyFlags = 2 };

// An input: the rule, a byte of choices, then the file.
//  ConfigSwitches, SettingsValues: bit 0 motherboard, 1 Line-in/rear,
//    2 Line-in/Center-Subwoofer, 3 Microphone/Subwoofer, 4 disable MIDI,
//    5 disable game port, 6 disable legacy devices.
//  CopyFlags: bits 0 to 2 the files rewritten (ks.inf, wdmaudio.inf,
//    ksfilter.inf, each holding the file), bit 3 CopyFile fails, bit 4 the
//    ".new" file of the first pair does not open.
std::string MakeInput(FuzzedRule rule, std::uint8_t choices, const std::string& file);

// Runs the rule the input names and returns what broke its promise, or ""
// when nothing did:
//  - Config switches: same length; at most five bytes changed, each the
//    last character of a whole switch line, now that switch's value.
//  - Settings values: same length; at most two bytes changed, each at
//    column 48 of a line beginning with a Settings line, now '2' (legacy)
//    or a digit 0 to 7 (jacks).
//  - Copy flags: each INF is either as it was or the ".new" file, which is
//    the INF's lines in order, each as it was or replaced by the fixed
//    flagged entry of the name it begins with; unselected INFs unchanged.
std::string CheckInfRule(const std::string& input);

}  // namespace fuzzing
