// Forced into every file of setup.exe: the string constructor from a
// C string is a template of its own that the library's declarations leave
// out, so each file would compile its own copy (thirty of them, 3 KB).
#pragma once
#include <string>

extern template std::__cxx11::basic_string<char>::basic_string(const char*, const std::allocator<char>&);
