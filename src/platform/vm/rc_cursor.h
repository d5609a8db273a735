// Walks the tokens of a resource script and evaluates its numbers the way
// the resource compiler does: constant expressions over #define'd names and
// the Win32 names, and style lists where "NOT X" clears what came before.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/vm/rc_script.h"

namespace vm::rc {

class Cursor {
public:
    explicit Cursor(const Script& script);

    bool AtEnd() const { return pos_ >= tokens_->size(); }
    const Token& Peek() const;
    const Token& Next();

    // Consume the next token when it is that name (or punctuation).
    bool TakeName(const std::string& name);
    bool TakePunct(char c);
    void ExpectPunct(char c, const std::string& context);
    std::string ExpectString(const std::string& context);

    // BEGIN or '{' / END or '}'.
    bool AtBlockStart() const;
    bool AtBlockEnd() const;

    // A constant expression: | & + - ~ unary minus, parentheses, numbers, names.
    long long Number(const std::string& context);
    // A number that must fit: an error names the context otherwise.
    int Int16(const std::string& context);
    // A style list "A | NOT B | (C)": each item sets or clears bits of start.
    std::uint32_t Style(std::uint32_t start);

    // True when the next token is a name with a value (macro or Win32 name).
    bool AtNumberName() const;

    [[noreturn]] void Fail(const std::string& message) const;

private:
    Cursor(const std::vector<Token>& tokens, const Cursor& parent);

    long long Or();
    long long And();
    long long Sum();
    long long Unary();
    long long NameValue(const Token& name);

    const std::vector<Token>* tokens_;
    const std::map<std::string, std::vector<Token>>* macros_;
    std::set<std::string> expanding_;  // macros being evaluated, against self-reference
    std::size_t pos_ = 0;
};

}  // namespace vm::rc
