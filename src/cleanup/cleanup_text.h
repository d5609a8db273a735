// Text rules the cleanup compares and builds names by.
#pragma once

#include <cstddef>
#include <string>

namespace setup::cleanup {

// Registry string data up to its first terminating zero.
std::string TextOf(const std::string& data);

// The text cut after its first `chars` characters (a shorter text stays whole).
std::string CutAfter(const std::string& text, std::size_t chars);

// Equal when only the case of the letters A to Z differs.
bool EqualIgnoringCase(const std::string& a, const std::string& b);

// A child key's or file's path: parent, a backslash, the child's name.
std::string ChildPath(const std::string& parent, const std::string& child);

}  // namespace setup::cleanup
