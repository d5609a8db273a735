#include "platform/vm/rc_cursor.h"

#include "platform/vm/rc_constants.h"

namespace vm::rc {

Cursor::Cursor(const Script& script) : tokens_(&script.tokens), macros_(&script.macros) {}

Cursor::Cursor(const std::vector<Token>& tokens, const Cursor& parent)
    : tokens_(&tokens), macros_(parent.macros_), expanding_(parent.expanding_) {}

const Token& Cursor::Peek() const {
    if (AtEnd()) Fail("unexpected end of the script");
    return (*tokens_)[pos_];
}

const Token& Cursor::Next() {
    const Token& token = Peek();
    ++pos_;
    return token;
}

bool Cursor::TakeName(const std::string& name) {
    if (AtEnd() || !Peek().IsName(name)) return false;
    ++pos_;
    return true;
}

bool Cursor::TakePunct(char c) {
    if (AtEnd() || !Peek().IsPunct(c)) return false;
    ++pos_;
    return true;
}

void Cursor::ExpectPunct(char c, const std::string& context) {
    if (!TakePunct(c)) Fail(std::string("expected '") + c + "' " + context);
}

std::string Cursor::ExpectString(const std::string& context) {
    if (AtEnd() || Peek().kind != Token::Kind::String) Fail("expected a quoted text " + context);
    return Next().text;
}

bool Cursor::AtBlockStart() const { return !AtEnd() && (Peek().IsName("BEGIN") || Peek().IsPunct('{')); }
bool Cursor::AtBlockEnd() const { return !AtEnd() && (Peek().IsName("END") || Peek().IsPunct('}')); }

bool Cursor::AtNumberName() const {
    if (AtEnd() || Peek().kind != Token::Kind::Name) return false;
    return macros_->count(Peek().text) != 0 || Win32Constant(Peek().text).has_value();
}

void Cursor::Fail(const std::string& message) const {
    if (tokens_->empty()) throw ScriptError("", 0, message);
    const Token& at = pos_ < tokens_->size() ? (*tokens_)[pos_] : tokens_->back();
    throw ScriptError(at.file, at.line, message);
}

long long Cursor::Number(const std::string& context) {
    if (AtEnd()) Fail("expected a number " + context);
    return Or();
}

int Cursor::Int16(const std::string& context) {
    const long long value = Number(context);
    if (value < -32768 || value > 32767) Fail("value out of range " + context);
    return static_cast<int>(value);
}

std::uint32_t Cursor::Style(std::uint32_t start) {
    std::uint32_t style = start;
    do {
        const bool clear = TakeName("NOT");
        const auto bits = static_cast<std::uint32_t>(Unary());
        style = clear ? style & ~bits : style | bits;
    } while (TakePunct('|'));
    return style;
}

long long Cursor::Or() {
    long long value = And();
    while (TakePunct('|')) value |= And();
    return value;
}

long long Cursor::And() {
    long long value = Sum();
    while (TakePunct('&')) value &= Sum();
    return value;
}

long long Cursor::Sum() {
    long long value = Unary();
    for (;;) {
        if (TakePunct('+')) {
            value += Unary();
        } else if (TakePunct('-')) {
            value -= Unary();
        } else {
            return value;
        }
    }
}

long long Cursor::Unary() {
    if (TakePunct('-')) return -Unary();
    if (TakePunct('~')) return static_cast<long long>(~static_cast<std::uint32_t>(Unary()));
    if (TakePunct('(')) {
        const long long value = Or();
        ExpectPunct(')', "to close '('");
        return value;
    }
    const Token& token = Peek();
    if (token.kind == Token::Kind::Number) return Next().value;
    if (token.kind == Token::Kind::Name) return NameValue(Next());
    Fail("expected a number, found '" + token.text + "'");
}

long long Cursor::NameValue(const Token& name) {
    const auto macro = macros_->find(name.text);
    if (macro != macros_->end()) {
        if (expanding_.count(name.text) != 0) Fail("macro " + name.text + " refers to itself");
        if (macro->second.empty()) Fail("macro " + name.text + " has no value");
        Cursor body(macro->second, *this);
        body.expanding_.insert(name.text);
        const long long value = body.Or();
        if (!body.AtEnd()) body.Fail("macro " + name.text + " is not a number");
        return value;
    }
    if (const auto constant = Win32Constant(name.text)) return *constant;
    --pos_;
    Fail("unknown name " + name.text);
}

}  // namespace vm::rc
