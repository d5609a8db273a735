// The machine-folder loader's and the profile functions' fuzz oracles: ""
// or what broke a promise.
#pragma once

#include <string>

namespace fuzzing {

// Loaded, or refused naming one of its lines; loaded, its events run.
std::string CheckMachineIni(const std::string& text);
// Refused naming one of its lines, or read into a registry that saves to
// text reading back the same.
std::string CheckRegFile(const std::string& text);
// A section, a key and a value, each ended by a NUL byte, then a profile
// file: the key written reads back as the value without blanks and quotes.
std::string CheckProfile(const std::string& input);

}  // namespace fuzzing
