#include "platform/vm/filesystem_paths.h"

#include "platform/vm/filesystem.h"
#include "platform/vm/filesystem_names.h"

namespace vm {

namespace {

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool StartsWithDrive(const std::string& path) {
    return path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':';
}

bool IsAbsolute(const std::string& path) { return StartsWithDrive(path) && path.size() >= 3 && paths::IsSeparator(path[2]); }

// Splits what follows "X:" into components, dropping empty ones and "." and
// resolving ".." (which stops at the root, as on Windows).
std::vector<std::string> SplitAndFold(const std::string& rest) {
    std::vector<std::string> components;
    std::size_t start = 0;
    while (start <= rest.size()) {
        std::size_t end = start;
        while (end < rest.size() && !paths::IsSeparator(rest[end])) ++end;
        const std::string component = rest.substr(start, end - start);
        if (component == "..") {
            if (!components.empty()) components.pop_back();
        } else if (!component.empty() && component != ".") {
            components.push_back(component);
        }
        start = end + 1;
    }
    return components;
}

}  // namespace

namespace paths {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

std::optional<ParsedPath> ParseAbsolutePath(const std::string& path) {
    if (!IsAbsolute(path)) return std::nullopt;
    ParsedPath parsed;
    parsed.drive = names::ToUpper(path[0]);
    parsed.components = SplitAndFold(path.substr(2));
    for (std::string& component : parsed.components) {
        component = names::StripTrailingDotsAndBlanks(component);
        if (!names::IsValidLongName(component)) return std::nullopt;
    }
    parsed.trailingSeparator = !parsed.components.empty() && IsSeparator(path.back());
    return parsed;
}

std::string Join(char drive, const std::vector<std::string>& components) {
    std::string out{drive, ':', '\\'};
    for (std::size_t i = 0; i < components.size(); ++i) {
        if (i > 0) out += '\\';
        out += components[i];
    }
    return out;
}

}  // namespace paths

std::optional<std::string> FileSystem::FullPath(const std::string& currentDirectory, const std::string& path) {
    if (path.empty()) return std::nullopt;
    if (path.size() >= 2 && paths::IsSeparator(path[0]) && paths::IsSeparator(path[1])) {
        return std::nullopt;  // a network path: the machine has no network
    }
    const bool haveCurrent = IsAbsolute(currentDirectory);
    const char currentDrive = haveCurrent ? names::ToUpper(currentDirectory[0]) : 0;

    char drive = 0;
    std::string rest;  // what follows "X:", resolved against the right folder
    if (StartsWithDrive(path)) {
        drive = names::ToUpper(path[0]);
        rest = path.substr(2);
        if (rest.empty() || !paths::IsSeparator(rest[0])) {
            // "D:x": the current directory when D is its drive, else D's root
            // (the process keeps one current directory only).
            const std::string base = drive == currentDrive ? currentDirectory.substr(2) : "\\";
            rest = base + "\\" + rest;
        }
    } else if (!haveCurrent) {
        return std::nullopt;
    } else if (paths::IsSeparator(path[0])) {
        drive = currentDrive;
        rest = path;
    } else {
        drive = currentDrive;
        rest = currentDirectory.substr(2) + "\\" + path;
    }
    return paths::Join(drive, SplitAndFold(rest));
}

}  // namespace vm
