// Plays the user: watches the dialogs of other processes, records what each
// shows and presses what a rule names.
//   answerer.exe --log FILE --stop-file FILE [--answer CAPTION=STEPS]... [--shot DIR]
// CAPTION has * and ?, any case; the first matching rule applies. STEPS are
// button labels (no &, any case) or ids joined by +, "syscommand:N" for a
// system menu choice (the steps after it wait until a window the dialog owns
// has opened and closed), or "-" to leave the window alone. One line per
// dialog goes to the log, fields joined by tabs, \ t r n escaped:
//   caption, text (a message box's message, else every control's text by LF),
//   owner's caption or "(none)", buttons by |, what was done, BMP path or "-".
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

struct Rule {
    std::string pattern;
    std::vector<std::string> steps;  // empty: leave the window alone
};

struct Control {
    HWND window;
    int id;
    bool button;
    std::string text;
};

std::string Utf8(const wchar_t* text, size_t length) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    if (size) WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), &result[0], size, nullptr, nullptr);
    return result;
}

// WM_GETTEXT: GetWindowText does not ask other processes' controls.
std::string Text(HWND window) {
    wchar_t buffer[4096];
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 1000,
                             &length)) {
        return {};
    }
    return Utf8(buffer, length < 4096 ? length : 4096);
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

char Low(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool Match(const char* pattern, const char* text) {
    if (*pattern == '*') return Match(pattern + 1, text) || (*text && Match(pattern, text + 1));
    if (!*pattern || !*text) return !*pattern && !*text;
    return (*pattern == '?' || Low(*pattern) == Low(*text)) && Match(pattern + 1, text + 1);
}

std::string Label(const std::string& text) {
    std::string label;
    for (size_t i = 0; i < text.size(); ++i) label += text[i] == '&' && i + 1 < text.size() ? text[++i] : text[i];
    return label;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == separator) {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

std::string Escape(const std::string& field) {
    std::string result;
    for (char c : field) {
        result += c == '\\' ? "\\\\" : c == '\t' ? "\\t" : c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
    }
    return result;
}

bool Write(const std::string& path, const std::string& text, DWORD disposition) {
    const HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == text.size();
}

BOOL CALLBACK Collect(HWND window, LPARAM list) {
    const bool button = lstrcmpiA(ClassOf(window).c_str(), "Button") == 0;
    reinterpret_cast<std::vector<Control>*>(list)->push_back({window, GetDlgCtrlID(window), button, Text(window)});
    return TRUE;
}

// The window as a 24-bit BMP file.
bool Shoot(HWND window, const std::string& path) {
    RECT rect;
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    const HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    const BOOL copied = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY | CAPTUREBLT);
    SelectObject(memory, previous);
    BITMAPINFOHEADER info = {sizeof info, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::string pixels(static_cast<size_t>((width * 3 + 3) & ~3) * static_cast<size_t>(height), '\0');
    const int rows = copied ? GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), &pixels[0],
                                        reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) : 0;
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER header = {0x4D42, 0, 0, 0, sizeof header + sizeof info};
    header.bfSize = header.bfOffBits + static_cast<DWORD>(pixels.size());
    return rows == height && Write(path, std::string(reinterpret_cast<char*>(&header), sizeof header) +
                                             std::string(reinterpret_cast<char*>(&info), sizeof info) + pixels,
                                   CREATE_ALWAYS);
}

struct Pending {
    std::vector<std::string> steps;
    HWND opened = nullptr;  // the window the system command opened
};

struct Watch {
    std::string log, shots;
    std::vector<Rule> rules;
    std::set<HWND> handled, alive;
    std::map<HWND, Pending> pending;
    std::map<HWND, int> looks;
    int shot = 0;
};

HWND Button(const std::vector<Control>& controls, const std::string& name) {
    char* end = nullptr;
    const long id = std::strtol(name.c_str(), &end, 10);
    for (const Control& control : controls) {
        if (control.button && (*end == '\0' ? control.id == id : lstrcmpiA(Label(control.text).c_str(),
                                                                           name.c_str()) == 0)) {
            return control.window;
        }
    }
    return nullptr;
}

// Clicks with BM_CLICK, so that check boxes toggle as for a user; a system
// command holds back the steps after it.
void Perform(Watch& watch, HWND dialog, std::vector<std::string> steps) {
    std::vector<Control> controls;
    EnumChildWindows(dialog, Collect, reinterpret_cast<LPARAM>(&controls));
    for (size_t i = 0; i < steps.size(); ++i) {
        if (steps[i].rfind("syscommand:", 0) == 0) {
            PostMessageW(dialog, WM_SYSCOMMAND, std::strtoul(steps[i].c_str() + 11, nullptr, 0), 0);
            if (i + 1 < steps.size()) watch.pending[dialog] = {{steps.begin() + i + 1, steps.end()}, nullptr};
            return;
        }
        PostMessageW(Button(controls, steps[i]), BM_CLICK, 0, 0);
    }
}

// Records and answers the dialog; false when it is to be looked at again (a
// busy program may not give its texts at first).
bool Handle(Watch& watch, HWND dialog) {
    std::vector<Control> controls;
    EnumChildWindows(dialog, Collect, reinterpret_cast<LPARAM>(&controls));
    const std::string caption = Text(dialog);
    const Rule* rule = nullptr;
    for (const Rule& candidate : watch.rules) {
        if (!rule && Match(candidate.pattern.c_str(), caption.c_str())) rule = &candidate;
    }
    std::string action = rule ? (rule->steps.empty() ? "-" : "") : "(no rule)";
    for (size_t i = 0; rule && i < rule->steps.size(); ++i) {
        const std::string& step = rule->steps[i];
        const bool found = step.rfind("syscommand:", 0) == 0 || Button(controls, step);
        action += (i ? "+" : "") + (found ? step : "missing:" + step);
    }
    if ((caption.empty() || action.find("missing:") != std::string::npos) && ++watch.looks[dialog] < 40) return false;
    const HWND owner = GetWindow(dialog, GW_OWNER);
    auto waiting = watch.pending.find(owner);
    if (waiting != watch.pending.end() && !waiting->second.opened) waiting->second.opened = dialog;

    std::string shot = "-";
    if (!watch.shots.empty()) {
        // Painted whole first: the window may have come before its controls.
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(300);
        shot = watch.shots + "\\dialog-" + std::to_string(++watch.shot) + ".bmp";
        if (!Shoot(dialog, shot)) shot = "(failed)";
    }
    std::string text = Text(GetDlgItem(dialog, 0xFFFF)), buttons;  // a message box's message
    for (const Control& control : controls) {
        if (!GetDlgItem(dialog, 0xFFFF) && !control.text.empty()) text += (text.empty() ? "" : "\n") + control.text;
        if (control.button) buttons += (buttons.empty() ? "" : "|") + Label(control.text);
    }
    // The owner's caption before the clicks: a program at work after them may not answer.
    const std::string owner_caption = owner ? Text(owner) : "(none)";
    if (rule && action.find("missing:") == std::string::npos) Perform(watch, dialog, rule->steps);
    Write(watch.log, Escape(caption) + '\t' + Escape(text) + '\t' + Escape(owner_caption) + '\t' +
                         Escape(buttons) + '\t' + Escape(action) + '\t' + Escape(shot) + "\r\n", OPEN_ALWAYS);
    return true;
}

BOOL CALLBACK Visit(HWND window, LPARAM context) {
    Watch& watch = *reinterpret_cast<Watch*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() || !IsWindowVisible(window) || ClassOf(window) != "#32770") return TRUE;
    watch.alive.insert(window);
    if (!watch.handled.count(window) && Handle(watch, window)) watch.handled.insert(window);
    return TRUE;
}

}  // namespace

int main() {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    Watch watch;
    std::string stop;
    for (int i = 1; i + 1 < count; i += 2) {
        const std::string name = Utf8(arguments[i], wcslen(arguments[i]));
        const std::string value = Utf8(arguments[i + 1], wcslen(arguments[i + 1]));
        const size_t equals = value.rfind('=');
        if (name == "--log") watch.log = value;
        if (name == "--stop-file") stop = value;
        if (name == "--shot") watch.shots = value;
        if (name == "--answer" && equals != std::string::npos) {
            const std::string steps = value.substr(equals + 1);
            watch.rules.push_back({value.substr(0, equals), steps == "-" ? std::vector<std::string>{} : Split(steps, '+')});
        }
    }
    // The log's presence says the watch is on; nobody would close a usage box.
    if (watch.log.empty() || stop.empty() || !Write(watch.log, "", CREATE_ALWAYS)) return 1;
    const DWORD start = GetTickCount();
    while (GetFileAttributesA(stop.c_str()) == INVALID_FILE_ATTRIBUTES && GetTickCount() - start < 900000) {
        watch.alive.clear();
        EnumWindows(Visit, reinterpret_cast<LPARAM>(&watch));
        // Closed windows are forgotten: a new one may get a closed one's handle.
        for (auto w = watch.handled.begin(); w != watch.handled.end();) w = watch.alive.count(*w) ? ++w : watch.handled.erase(w);
        for (auto w = watch.looks.begin(); w != watch.looks.end();) w = watch.alive.count(w->first) ? ++w : watch.looks.erase(w);
        for (auto p = watch.pending.begin(); p != watch.pending.end();) {
            if (!IsWindow(p->first)) {
                p = watch.pending.erase(p);
            } else if (p->second.opened && !IsWindow(p->second.opened)) {
                const HWND dialog = p->first;
                std::vector<std::string> steps = p->second.steps;
                p = watch.pending.erase(p);
                Perform(watch, dialog, steps);
            } else {
                ++p;
            }
        }
        Sleep(50);
    }
    return 0;
}
