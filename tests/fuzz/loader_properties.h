// What the machine-folder loader and the profile functions promise whatever
// text they get: the oracles of their fuzz targets, and of the seed tests.
// Each returns what broke a promise, or "" when nothing did.
#pragma once

#include <string>

namespace fuzzing {

// machine.ini text loads into a fresh machine or is refused with a fault
// that names one of its lines; once loaded, the machine's timed events run
// without fault.
std::string CheckMachineIni(const std::string& text);

// REGEDIT4 text reads into a registry or is refused with a fault that names
// one of its lines (an import then leaves the registry as it was); a
// registry read from it saves to text that reads back the same.
std::string CheckRegFile(const std::string& text);

// The input: a section, a key and a value, each ended by a NUL byte, then a
// profile file's bytes. Writing the key and reading it back gives the value
// (blanks and one pair of enclosing quotes dropped); the write changes one
// line or adds lines, and every other entry reads as before.
std::string CheckProfile(const std::string& input);

}  // namespace fuzzing
