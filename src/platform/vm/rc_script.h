// The resource scripts of setup.exe as tokens: the part of the resource
// compiler's preprocessing that our scripts use (#include of our own files,
// #define, #pragma code_page(65001), comments). Anything else is refused
// with the file and line, so a script the reader would misread fails loudly.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vm::rc {

class ScriptError : public std::runtime_error {
public:
    ScriptError(const std::string& file, int line, const std::string& message);
};

struct Token {
    enum class Kind { Name, Number, String, Punct };
    Kind kind = Kind::Punct;
    std::string text;    // a String's text is unquoted, UTF-8 as in the file
    long long value = 0; // a Number's value
    std::string file;
    int line = 0;
    bool spaceBefore = false;
    bool firstOnLine = false;

    bool Is(Kind k, const std::string& t) const { return kind == k && text == t; }
    bool IsPunct(char c) const { return kind == Kind::Punct && text.size() == 1 && text[0] == c; }
    bool IsName(const std::string& t) const { return Is(Kind::Name, t); }
};

struct Script {
    std::vector<Token> tokens;  // the resource statements, includes spliced in
    std::map<std::string, std::vector<Token>> macros;
};

// The text of a script file by the name an #include gives, or nothing.
using FileLoader = std::function<std::optional<std::string>(const std::string& name)>;

// Reads mainFile and everything it includes. #include <...> (the system's
// headers) is skipped: the reader knows the Win32 names itself.
Script ReadScript(const std::string& mainFile, const FileLoader& load);

// The tokens of one file, without preprocessing.
std::vector<Token> Tokenize(const std::string& text, const std::string& file);

}  // namespace vm::rc
