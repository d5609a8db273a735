// Name rules of the FAT file system with long names, shared by the virtual
// file system's parts: case folding, legal characters, 8.3 aliases.
#pragma once

#include <functional>
#include <string>

namespace vm::names {

// DOS upper-casing: ASCII letters only; bytes from 0x80 are code-page
// characters and stay as they are (names compare with name_compare.h).
char ToUpper(char c);
std::string ToUpper(const std::string& text);

// A long name may hold anything but control characters and \ / : * ? " < > |,
// at most 255 characters.
bool IsValidLongName(const std::string& name);

// Win32 drops trailing dots and blanks from the names it is given ("abc." is
// "abc").
std::string StripTrailingDotsAndBlanks(const std::string& name);

// The alias the file system gives a new entry named longName: the upper-cased
// name when it is a valid 8.3 name, else the "PROGRA~1" form with the first
// tail number for which isTaken is false.
std::string MakeShortAlias(const std::string& longName,
                           const std::function<bool(const std::string&)>& isTaken);

}  // namespace vm::names
