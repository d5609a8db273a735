// Plays the user for the end-to-end tests: watches for the dialogs and message
// boxes of other processes, records what each one shows, and presses the
// buttons a script names.
//
//   answerer.exe --log FILE [--answer CAPTION=BUTTON]... [--shot DIR]
//                [--stop-file FILE] [--timeout-ms N]
//
// CAPTION is a pattern with * and ?, compared without regard to case; the
// first rule that matches a window's caption applies. BUTTON is a button's
// label (without the & marker, any case) or its control id in decimal;
// several joined by + are clicked in that order; "-" leaves the window alone.
// A step "syscommand:N" sends the dialog WM_SYSCOMMAND N instead (a choice
// from its system menu); the steps after it wait until a dialog it owns has
// opened and closed again.
// One line per window goes to the log, UTF-8, fields separated by tabs:
//   caption, text (a message box's message, else the texts of all controls
//   joined by LF), owner's caption or "(none)", buttons joined by |,
//   what was done, screenshot path or "-"
// with \ as \\, tab as \t, CR as \r and LF as \n inside the fields.
// The log is created empty at start, so its presence says the watch is on.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kMessageBoxTextId = 0xFFFF;
constexpr DWORD kPollMs = 50;
constexpr DWORD kSettleMs = 300;
// Looks at a window before a button its rule names counts as missing: a
// busy program may not answer WM_GETTEXT in time at first.
constexpr int kLooksForButtons = 40;
constexpr const char* kSysCommand = "syscommand:";

struct Rule {
    std::string caption_pattern;
    std::vector<std::string> buttons;  // empty: leave the window alone
};

struct Options {
    std::string log;
    std::vector<Rule> rules;
    std::string shot_folder;
    std::string stop_file;
    DWORD timeout_ms = 60000;
};

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                   0, nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], size,
                        nullptr, nullptr);
    return result;
}

std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) return {};
    int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], size);
    return result;
}

std::string WindowText(HWND window) {
    // WM_GETTEXT, not GetWindowText: the latter does not ask windows of other
    // processes for the text of their controls.
    wchar_t buffer[4096];
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, sizeof buffer / sizeof buffer[0],
                             reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 1000, &length)) {
        return {};
    }
    return ToUtf8(std::wstring(buffer, std::min<size_t>(length, sizeof buffer / sizeof buffer[0])));
}

std::string ClassName(HWND window) {
    char buffer[256];
    int length = GetClassNameA(window, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

bool WildcardMatch(const char* pattern, const char* text) {
    if (*pattern == '\0') return *text == '\0';
    if (*pattern == '*') {
        for (const char* rest = text;; ++rest) {
            if (WildcardMatch(pattern + 1, rest)) return true;
            if (*rest == '\0') return false;
        }
    }
    if (*text == '\0') return false;
    if (*pattern != '?' && Lower(*pattern) != Lower(*text)) return false;
    return WildcardMatch(pattern + 1, text + 1);
}

std::string WithoutMnemonic(const std::string& label) {
    std::string result;
    for (size_t i = 0; i < label.size(); ++i) {
        if (label[i] == '&' && i + 1 < label.size()) ++i;
        result += label[i];
    }
    return result;
}

std::string Escape(const std::string& field) {
    std::string result;
    for (char c : field) {
        switch (c) {
            case '\\': result += "\\\\"; break;
            case '\t': result += "\\t"; break;
            case '\r': result += "\\r"; break;
            case '\n': result += "\\n"; break;
            default: result += c;
        }
    }
    return result;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

bool ParseOptions(Options& options) {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments) return false;
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) args.push_back(ToUtf8(arguments[i]));
    LocalFree(arguments);

    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (i + 1 >= args.size()) return false;
        const std::string& value = args[++i];
        if (name == "--log") {
            options.log = value;
        } else if (name == "--answer") {
            size_t equals = value.rfind('=');
            if (equals == std::string::npos || equals == 0) return false;
            Rule rule;
            rule.caption_pattern = value.substr(0, equals);
            std::string buttons = value.substr(equals + 1);
            if (buttons != "-") rule.buttons = Split(buttons, '+');
            options.rules.push_back(rule);
        } else if (name == "--shot") {
            options.shot_folder = value;
        } else if (name == "--stop-file") {
            options.stop_file = value;
        } else if (name == "--timeout-ms") {
            options.timeout_ms = static_cast<DWORD>(std::strtoul(value.c_str(), nullptr, 10));
        } else {
            return false;
        }
    }
    return !options.log.empty();
}

bool AppendToFile(const std::string& path, const std::string& text, DWORD disposition) {
    HANDLE file = CreateFileW(FromUtf8(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                              disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == text.size();
}

struct Control {
    HWND window;
    int id;
    std::string class_name;
    std::string text;
};

BOOL CALLBACK CollectControl(HWND window, LPARAM context) {
    auto* controls = reinterpret_cast<std::vector<Control>*>(context);
    controls->push_back({window, GetDlgCtrlID(window), ClassName(window), WindowText(window)});
    return TRUE;
}

std::vector<Control> Controls(HWND dialog) {
    std::vector<Control> controls;
    EnumChildWindows(dialog, CollectControl, reinterpret_cast<LPARAM>(&controls));
    return controls;
}

bool IsButton(const Control& control) { return EqualNoCase(control.class_name, "Button"); }

std::string DialogText(HWND dialog, const std::vector<Control>& controls) {
    if (HWND message = GetDlgItem(dialog, kMessageBoxTextId)) return WindowText(message);
    std::string text;
    for (const Control& control : controls) {
        if (control.text.empty()) continue;
        if (!text.empty()) text += '\n';
        text += control.text;
    }
    return text;
}

std::string ButtonList(const std::vector<Control>& controls) {
    std::string list;
    for (const Control& control : controls) {
        if (!IsButton(control)) continue;
        if (!list.empty()) list += '|';
        list += WithoutMnemonic(control.text);
    }
    return list;
}

const Rule* RuleFor(const std::vector<Rule>& rules, const std::string& caption) {
    for (const Rule& rule : rules) {
        if (WildcardMatch(rule.caption_pattern.c_str(), caption.c_str())) return &rule;
    }
    return nullptr;
}

const Control* FindButton(const std::vector<Control>& controls, const std::string& name) {
    char* end = nullptr;
    long id = std::strtol(name.c_str(), &end, 10);
    bool numeric = !name.empty() && *end == '\0';
    for (const Control& control : controls) {
        if (!IsButton(control)) continue;
        if (numeric ? control.id == id : EqualNoCase(WithoutMnemonic(control.text), name)) {
            return &control;
        }
    }
    return nullptr;
}

// One thing the user does to a dialog: click a button, or choose an item
// of its system menu.
struct Step {
    HWND button = nullptr;
    WPARAM sys_command = 0;
};

// Steps held back until the window a system command opened over the dialog
// (one the dialog owns) has been seen and has closed again.
struct Deferred {
    std::vector<Step> steps;
    HWND opened = nullptr;
};

bool ParseSysCommand(const std::string& name, WPARAM& command) {
    const size_t length = std::string(kSysCommand).size();
    if (name.compare(0, length, kSysCommand) != 0 || name.size() == length) return false;
    char* end = nullptr;
    command = static_cast<WPARAM>(std::strtoul(name.c_str() + length, &end, 0));
    return *end == '\0';
}

// The rule's steps for this dialog, and what the log says about them.
std::string PlanSteps(const Rule* rule, const std::vector<Control>& controls, std::vector<Step>& steps) {
    if (!rule) return "(no rule)";
    if (rule->buttons.empty()) return "-";
    std::string done;
    for (const std::string& name : rule->buttons) {
        if (!done.empty()) done += '+';
        Step step;
        if (ParseSysCommand(name, step.sys_command)) {
            steps.push_back(step);
            done += name;
            continue;
        }
        const Control* button = FindButton(controls, name);
        if (!button) {
            done += "missing:" + name;
            continue;
        }
        step.button = button->window;
        steps.push_back(step);
        done += name;
    }
    return done;
}

// Clicks through BM_CLICK so that check boxes toggle as they would for a
// user. Stops after a system command; the rest waits in `deferred`.
void RunSteps(HWND dialog, std::vector<Step> steps, std::map<HWND, Deferred>& deferred) {
    for (size_t i = 0; i < steps.size(); ++i) {
        if (steps[i].button) {
            PostMessageW(steps[i].button, BM_CLICK, 0, 0);
            continue;
        }
        PostMessageW(dialog, WM_SYSCOMMAND, steps[i].sys_command, 0);
        if (i + 1 < steps.size()) {
            const auto rest = steps.begin() + static_cast<std::ptrdiff_t>(i + 1);
            deferred[dialog] = Deferred{std::vector<Step>(rest, steps.end()), nullptr};
        }
        return;
    }
}

// A window seen for the first time: if its owner waits for it, note it.
void NoteOpened(std::map<HWND, Deferred>& deferred, HWND owner, HWND window) {
    auto waiting = deferred.find(owner);
    if (waiting != deferred.end() && !waiting->second.opened) waiting->second.opened = window;
}

void RunDeferredSteps(std::map<HWND, Deferred>& deferred) {
    for (auto entry = deferred.begin(); entry != deferred.end();) {
        const HWND dialog = entry->first;
        Deferred& waiting = entry->second;
        if (!IsWindow(dialog)) {
            entry = deferred.erase(entry);
        } else if (waiting.opened && !IsWindow(waiting.opened)) {
            std::vector<Step> steps = std::move(waiting.steps);
            entry = deferred.erase(entry);
            RunSteps(dialog, std::move(steps), deferred);
        } else {
            ++entry;
        }
    }
}

bool SaveScreenshot(HWND window, const std::string& path) {
    RECT rect;
    if (!GetWindowRect(window, &rect)) return false;
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BOOL copied = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top,
                         SRCCOPY | CAPTUREBLT);
    SelectObject(memory, previous);

    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    DWORD row = static_cast<DWORD>((width * 3 + 3) & ~3);
    std::string pixels(static_cast<size_t>(row) * static_cast<size_t>(height), '\0');
    int rows = copied ? GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), &pixels[0],
                                  reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS)
                      : 0;
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (rows != height) return false;

    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;  // "BM"
    header.bfOffBits = sizeof header + sizeof info;
    header.bfSize = header.bfOffBits + static_cast<DWORD>(pixels.size());
    std::string file(reinterpret_cast<const char*>(&header), sizeof header);
    file.append(reinterpret_cast<const char*>(&info), sizeof info);
    file += pixels;
    return AppendToFile(path, file, CREATE_ALWAYS);
}

struct Watch {
    const Options& options;
    std::set<HWND> handled;
    std::set<HWND> alive;
    std::map<HWND, Deferred> deferred;
    std::map<HWND, int> looks;
    int shots = 0;
};

// Records the dialog and answers it; false when it is to be looked at again.
bool Handle(Watch& watch, HWND dialog) {
    std::vector<Control> controls = Controls(dialog);
    std::string caption = WindowText(dialog);
    HWND owner = GetWindow(dialog, GW_OWNER);
    std::vector<Step> steps;
    const std::string action = PlanSteps(RuleFor(watch.options.rules, caption), controls, steps);
    const bool unread = caption.empty() || action.find("missing:") != std::string::npos;
    if (unread && ++watch.looks[dialog] < kLooksForButtons) return false;
    NoteOpened(watch.deferred, owner, dialog);

    std::string shot = "-";
    if (!watch.options.shot_folder.empty()) {
        // The window may have appeared before its controls painted: paint
        // all of it now, and give the display a moment to show it.
        RedrawWindow(dialog, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(kSettleMs);
        std::string path = watch.options.shot_folder + "\\dialog-" + std::to_string(++watch.shots) +
                           ".bmp";
        shot = SaveScreenshot(dialog, path) ? path : "(failed)";
    }

    std::string line = Escape(caption);
    line += '\t' + Escape(DialogText(dialog, controls));
    line += '\t' + Escape(owner ? WindowText(owner) : "(none)");
    line += '\t' + Escape(ButtonList(controls));
    line += '\t' + Escape(action);
    RunSteps(dialog, std::move(steps), watch.deferred);
    line += '\t' + Escape(shot);
    line += "\r\n";
    AppendToFile(watch.options.log, line, OPEN_ALWAYS);
    return true;
}

BOOL CALLBACK VisitWindow(HWND window, LPARAM context) {
    auto& watch = *reinterpret_cast<Watch*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
    if (ClassName(window) != "#32770") return TRUE;
    watch.alive.insert(window);
    if (watch.handled.count(window) == 0 && Handle(watch, window)) watch.handled.insert(window);
    return TRUE;
}

}  // namespace

int main() {
    Options options;
    // No usage message box: nobody would be there to close it.
    if (!ParseOptions(options)) return 1;
    if (!AppendToFile(options.log, "", CREATE_ALWAYS)) return 2;

    Watch watch{options, {}, {}, {}, {}, 0};
    DWORD start = GetTickCount();
    for (;;) {
        if (!options.stop_file.empty() &&
            GetFileAttributesW(FromUtf8(options.stop_file).c_str()) != INVALID_FILE_ATTRIBUTES) {
            return 0;
        }
        if (GetTickCount() - start >= options.timeout_ms) return 3;
        watch.alive.clear();
        EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&watch));
        // Forget closed windows, so that a new dialog that gets a closed one's
        // handle is still seen as new.
        for (auto window = watch.handled.begin(); window != watch.handled.end();) {
            window = watch.alive.count(*window) ? std::next(window) : watch.handled.erase(window);
        }
        for (auto window = watch.looks.begin(); window != watch.looks.end();) {
            window = watch.alive.count(window->first) ? std::next(window) : watch.looks.erase(window);
        }
        RunDeferredSteps(watch.deferred);
        Sleep(kPollMs);
    }
}
