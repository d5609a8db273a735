#include "cleanup/cleanup_text.h"

#include <algorithm>

namespace setup::cleanup {

namespace {

char FoldCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::string TextOf(const std::string& data) { return data.substr(0, data.find('\0')); }

std::string CutAfter(const std::string& text, std::size_t chars) { return text.substr(0, chars); }

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return FoldCase(x) == FoldCase(y); });
}

std::string ChildPath(const std::string& parent, const std::string& child) { return parent + "\\" + child; }

}  // namespace setup::cleanup
