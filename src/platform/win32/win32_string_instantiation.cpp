// std::string's members, compiled once with the Windows build's options: no
// exceptions and one section each, so that the linker keeps only those the
// program calls. The library's own copy would come whole, with its unwind
// tables and, through them, the unwinder (58 KB of setup.exe).
#include <string>

template class std::__cxx11::basic_string<char>;
template std::__cxx11::basic_string<char>::basic_string(const char*, const std::allocator<char>&);
