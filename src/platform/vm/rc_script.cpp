#include "platform/vm/rc_script.h"

#include <cctype>
#include <set>

namespace vm::rc {

namespace {

constexpr int kMaxIncludeDepth = 16;

bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

class Tokenizer {
public:
    Tokenizer(const std::string& text, const std::string& file) : text_(text), file_(file) {
        if (text_.compare(0, 3, "\xEF\xBB\xBF") == 0) pos_ = 3;  // UTF-8 byte order mark
    }

    std::vector<Token> Run() {
        std::vector<Token> tokens;
        while (SkipBlanksAndComments()) {
            Token token;
            token.file = file_;
            token.line = line_;
            token.spaceBefore = spaceBefore_;
            token.firstOnLine = firstOnLine_;
            const char c = text_[pos_];
            if (c == '"') {
                token.kind = Token::Kind::String;
                token.text = ReadString();
            } else if (IsDigit(c)) {
                token.kind = Token::Kind::Number;
                token.value = ReadNumber(token.text);
            } else if (IsNameStart(c)) {
                token.kind = Token::Kind::Name;
                while (pos_ < text_.size() && IsNameChar(text_[pos_])) token.text += text_[pos_++];
            } else if (std::ispunct(static_cast<unsigned char>(c))) {
                token.kind = Token::Kind::Punct;
                token.text = std::string(1, c);
                ++pos_;
            } else {
                Fail("unexpected character outside a string");
            }
            tokens.push_back(std::move(token));
            spaceBefore_ = false;
            firstOnLine_ = false;
        }
        return tokens;
    }

private:
    [[noreturn]] void Fail(const std::string& message) const { throw ScriptError(file_, line_, message); }

    // False at the end of the text.
    bool SkipBlanksAndComments() {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
                firstOnLine_ = true;
                spaceBefore_ = true;
            } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
                ++pos_;
                spaceBefore_ = true;
            } else if (text_.compare(pos_, 2, "//") == 0) {
                while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
            } else if (text_.compare(pos_, 2, "/*") == 0) {
                const std::size_t end = text_.find("*/", pos_ + 2);
                if (end == std::string::npos) Fail("comment without its end");
                for (std::size_t i = pos_; i < end; ++i) line_ += text_[i] == '\n' ? 1 : 0;
                pos_ = end + 2;
                spaceBefore_ = true;
            } else {
                return true;
            }
        }
        return false;
    }

    std::string ReadString() {
        std::string out;
        ++pos_;  // opening quote
        for (;;) {
            if (pos_ >= text_.size() || text_[pos_] == '\n') Fail("string without its closing quote");
            const char c = text_[pos_++];
            if (c == '"') {
                if (pos_ < text_.size() && text_[pos_] == '"') {  // "" stands for one quote
                    out += '"';
                    ++pos_;
                    continue;
                }
                return out;
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= text_.size()) Fail("string without its closing quote");
            switch (text_[pos_++]) {
                case '\\': out += '\\'; break;
                case '"': out += '"'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                default: Fail("escape sequence the reader does not know");
            }
        }
    }

    long long ReadNumber(std::string& spelling) {
        const std::size_t start = pos_;
        long long value = 0;
        const bool hex = text_.compare(pos_, 2, "0x") == 0 || text_.compare(pos_, 2, "0X") == 0;
        if (hex) {
            pos_ += 2;
            if (pos_ >= text_.size() || !std::isxdigit(static_cast<unsigned char>(text_[pos_]))) {
                Fail("hexadecimal number without digits");
            }
            while (pos_ < text_.size() && std::isxdigit(static_cast<unsigned char>(text_[pos_]))) {
                const char d = static_cast<char>(std::tolower(static_cast<unsigned char>(text_[pos_++])));
                value = value * 16 + (IsDigit(d) ? d - '0' : d - 'a' + 10);
                if (value > 0xFFFFFFFFLL) Fail("number too large");
            }
        } else {
            if (text_[pos_] == '0' && pos_ + 1 < text_.size() && IsDigit(text_[pos_ + 1])) {
                Fail("number with a leading zero (octal or decimal?)");
            }
            while (pos_ < text_.size() && IsDigit(text_[pos_])) {
                value = value * 10 + (text_[pos_++] - '0');
                if (value > 0xFFFFFFFFLL) Fail("number too large");
            }
        }
        while (pos_ < text_.size() && (text_[pos_] == 'L' || text_[pos_] == 'l' || text_[pos_] == 'U' ||
                                       text_[pos_] == 'u')) {
            ++pos_;
        }
        if (pos_ < text_.size() && IsNameChar(text_[pos_])) Fail("malformed number");
        spelling = text_.substr(start, pos_ - start);
        return value;
    }

    const std::string& text_;
    const std::string file_;
    std::size_t pos_ = 0;
    int line_ = 1;
    bool spaceBefore_ = true;
    bool firstOnLine_ = true;
};

class Preprocessor {
public:
    explicit Preprocessor(const FileLoader& load) : load_(load) {}

    Script Run(const std::string& mainFile) {
        Include(mainFile, "", 0, 0);
        return std::move(script_);
    }

private:
    void Include(const std::string& name, const std::string& fromFile, int fromLine, int depth) {
        if (depth > kMaxIncludeDepth) throw ScriptError(fromFile, fromLine, "#include nested too deeply");
        if (onceFiles_.count(name) != 0) return;
        const std::optional<std::string> text = load_(name);
        if (!text) {
            if (fromFile.empty()) throw ScriptError(name, 0, "file not found");
            throw ScriptError(fromFile, fromLine, "included file \"" + name + "\" not found");
        }
        const std::vector<Token> tokens = Tokenize(*text, name);
        for (std::size_t i = 0; i < tokens.size();) {
            if (!(tokens[i].IsPunct('#') && tokens[i].firstOnLine)) {
                script_.tokens.push_back(tokens[i++]);
                continue;
            }
            std::size_t end = i + 1;
            while (end < tokens.size() && tokens[end].line == tokens[i].line) ++end;
            Directive(std::vector<Token>(tokens.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                         tokens.begin() + static_cast<std::ptrdiff_t>(end)),
                      tokens[i], depth);
            i = end;
        }
    }

    void Directive(const std::vector<Token>& line, const Token& hash, int depth) {
        auto fail = [&](const std::string& message) { throw ScriptError(hash.file, hash.line, message); };
        if (line.empty() || line[0].kind != Token::Kind::Name) fail("directive without a name");
        const std::string& name = line[0].text;
        if (name == "include") {
            if (line.size() >= 2 && line[1].IsPunct('<')) return;  // the system's headers
            if (line.size() != 2 || line[1].kind != Token::Kind::String) fail("#include wants \"file\"");
            Include(line[1].text, hash.file, hash.line, depth + 1);
        } else if (name == "define") {
            if (line.size() < 2 || line[1].kind != Token::Kind::Name) fail("#define wants a name");
            if (line.size() > 2 && line[2].IsPunct('(') && !line[2].spaceBefore) {
                fail("macros with parameters are not supported");
            }
            script_.macros[line[1].text] = std::vector<Token>(line.begin() + 2, line.end());
        } else if (name == "pragma") {
            if (line.size() == 2 && line[1].IsName("once")) {
                onceFiles_.insert(hash.file);
            } else if (line.size() == 5 && line[1].IsName("code_page") && line[2].IsPunct('(') &&
                       line[4].IsPunct(')')) {
                // The reader keeps texts as the file's bytes: that is right for UTF-8 only.
                if (line[3].kind != Token::Kind::Number || line[3].value != 65001) {
                    fail("only #pragma code_page(65001) is supported");
                }
            } else {
                fail("unsupported #pragma");
            }
        } else {
            fail("unsupported directive #" + name);
        }
    }

    const FileLoader& load_;
    Script script_;
    std::set<std::string> onceFiles_;
};

}  // namespace

ScriptError::ScriptError(const std::string& file, int line, const std::string& message)
    : std::runtime_error(file + ":" + std::to_string(line) + ": " + message) {}

std::vector<Token> Tokenize(const std::string& text, const std::string& file) {
    return Tokenizer(text, file).Run();
}

Script ReadScript(const std::string& mainFile, const FileLoader& load) {
    return Preprocessor(load).Run(mainFile);
}

}  // namespace vm::rc
