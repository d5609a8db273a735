// Names in the virtual machine's registry and profile files match without
// regard to case, as Windows 9x compares them for ASCII letters; other bytes
// (the code page's accented letters) must match exactly.
#pragma once

#include <string>

namespace vm::name {

inline char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

inline bool Equal(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    }
    return true;
}

}  // namespace vm::name
