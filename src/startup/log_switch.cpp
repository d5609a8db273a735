#include "startup/log_switch.h"

namespace setup {

namespace {

bool IsLogSwitchAt(const std::string& text, std::size_t at) {
    static const char kSwitch[] = "/LOG=";
    if (text.size() - at < sizeof kSwitch - 1) return false;
    for (std::size_t i = 0; i + 1 < sizeof kSwitch; ++i) {
        char c = text[at + i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != kSwitch[i]) return false;
    }
    return true;
}

}  // namespace

LogSwitch TakeLogSwitch(const std::string& commandLine) {
    LogSwitch result{commandLine, std::nullopt};
    std::string& text = result.commandLine;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const bool quotedWhole = text[at] == '"' && IsLogSwitchAt(text, at + 1);
        if (!quotedWhole && !IsLogSwitchAt(text, at)) continue;
        if (at > 0 && text[at - 1] != ' ') continue;
        std::size_t valueStart = at + (quotedWhole ? 6 : 5);
        std::size_t end;
        if (quotedWhole || (valueStart < text.size() && text[valueStart] == '"')) {
            if (!quotedWhole) ++valueStart;
            const std::size_t close = text.find('"', valueStart);
            result.path = text.substr(valueStart, close == std::string::npos ? std::string::npos : close - valueStart);
            end = close == std::string::npos ? text.size() : close + 1;
        } else {
            end = text.find(' ', valueStart);
            if (end == std::string::npos) end = text.size();
            result.path = text.substr(valueStart, end - valueStart);
        }
        std::size_t begin = at;
        while (begin > 0 && text[begin - 1] == ' ') --begin;
        if (begin == 0) {
            while (end < text.size() && text[end] == ' ') ++end;
        }
        text.erase(begin, end - begin);
        at = begin == 0 ? static_cast<std::size_t>(-1) : begin - 1;
    }
    return result;
}

}  // namespace setup
