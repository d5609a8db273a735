// Plays the user: watches the dialogs of other processes, records what each
// shows and presses what a rule names.
//   answerer.exe LOG SHOT-FOLDER|- [CAPTION=STEPS]...
// CAPTION is a dialog's caption or *, the first matching rule applies; STEPS
// are button labels (no &, any case) or ids joined by +, or "syscommand:N"
// (the steps after it wait until the window it opens has come and gone). One
// record per dialog goes to LOG, ended by RS, fields split by US: caption,
// text (a message box's message, else every control's text by LF), owner's
// caption or "(none)", what was done, BMP path or "-", "centred" or not.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kDone = 1000;

using Rule = std::pair<std::string, std::vector<std::string>>;  // caption or *, steps
struct Control { HWND window; int id; bool button; std::string text; };

std::string Utf8(const wchar_t* text) {
    static char buffer[16384];
    buffer[WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer - 1, nullptr, nullptr)] = '\0';
    return buffer;
}

// WM_GETTEXT: GetWindowText does not ask other processes' controls.
std::string Text(HWND window) {
    wchar_t buffer[4096] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, 4095, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 1000, nullptr);
    return Utf8(buffer);
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
    return parts;
}

bool Write(const std::string& path, const std::string& text, std::ios::openmode mode = std::ios::app) {
    return static_cast<bool>(std::ofstream(path, std::ios::binary | mode) << text);
}

BOOL CALLBACK Collect(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<Control>*>(list)->push_back(
        {window, GetDlgCtrlID(window), lstrcmpiA(ClassOf(window).c_str(), "Button") == 0, Text(window)});
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
                                   std::ios::trunc);
}

struct Watch {
    std::string log, shots;
    std::vector<Rule> rules{};
    std::set<HWND> alive{};
    std::map<HWND, int> looks{};  // kDone once handled
    HWND owner = nullptr, owned = nullptr;  // a system command's dialog, the window it opened
    int shot = 0;
};

HWND Button(const std::vector<Control>& controls, const std::string& name) {
    for (const Control& control : controls) {
        std::string label = control.text;
        label.erase(std::remove(label.begin(), label.end(), '&'), label.end());
        const bool named = std::to_string(control.id) == name || lstrcmpiA(label.c_str(), name.c_str()) == 0;
        if (control.button && named) return control.window;
    }
    return nullptr;
}

void Look(Watch& watch);

// Clicks with BM_CLICK, so that check boxes toggle as for a user; after a
// system command, the steps wait until the window it opened has been answered
// and has closed.
void Perform(Watch& watch, HWND dialog, const std::vector<Control>& controls, const std::vector<std::string>& steps) {
    for (const std::string& step : steps) {
        if (step.rfind("syscommand:", 0) != 0) {
            PostMessageW(Button(controls, step), BM_CLICK, 0, 0);
            continue;
        }
        watch.owner = dialog;
        watch.owned = nullptr;
        PostMessageW(dialog, WM_SYSCOMMAND, std::strtoul(step.c_str() + 11, nullptr, 0), 0);
        while (IsWindow(dialog) && (!watch.owned || IsWindow(watch.owned))) Look(watch);
    }
}

// Records and answers the dialog, unless it is to be looked at again (a busy
// program may not give its texts at first).
void Handle(Watch& watch, HWND dialog) {
    std::vector<Control> controls;
    EnumChildWindows(dialog, Collect, reinterpret_cast<LPARAM>(&controls));
    const std::string caption = Text(dialog);
    const Rule* rule = nullptr;
    for (const Rule& candidate : watch.rules) {
        if (!rule && (candidate.first == "*" || candidate.first == caption)) rule = &candidate;
    }
    std::string action = rule ? "" : "(no rule)";
    for (size_t i = 0; rule && i < rule->second.size(); ++i) {
        const std::string& step = rule->second[i];
        const bool found = step.rfind("syscommand:", 0) == 0 || Button(controls, step);
        action += (i ? "+" : "") + (found ? step : "missing:" + step);
    }
    const bool missing = action.find("missing:") != std::string::npos;
    if ((caption.empty() || missing) && ++watch.looks[dialog] < 40) return;
    watch.looks[dialog] = kDone;
    const HWND owner = GetWindow(dialog, GW_OWNER);
    if (owner && owner == watch.owner) watch.owned = dialog;

    std::string shot = "-";
    if (!watch.shots.empty()) {
        // Painted whole first: the window may have come before its controls.
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(300);
        shot = watch.shots + "\\dialog-" + std::to_string(++watch.shot) + ".bmp";
        if (!Shoot(dialog, shot)) shot = "(failed)";
    }
    std::string text = Text(GetDlgItem(dialog, 0xFFFF));  // a message box's message
    for (const Control& control : controls) {
        if (!GetDlgItem(dialog, 0xFFFF) && !control.text.empty()) text += (text.empty() ? "" : "\n") + control.text;
    }
    RECT own{}, area{};
    GetWindowRect(dialog, &own);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    const bool centred = std::abs(own.left + own.right - area.left - area.right) <= 1 &&
                         std::abs(own.top + own.bottom - area.top - area.bottom) <= 1;
    // The owner's caption before the clicks: a program at work after them may not answer.
    Write(watch.log, caption + '\x1f' + text + '\x1f' + (owner ? Text(owner) : "(none)") + '\x1f' + action + '\x1f' +
                         shot + '\x1f' + (centred ? "centred" : "off-centre") + '\x1e');
    if (rule && !missing) Perform(watch, dialog, controls, rule->second);
}

BOOL CALLBACK Visit(HWND window, LPARAM context) {
    Watch& watch = *reinterpret_cast<Watch*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() || !IsWindowVisible(window) || ClassOf(window) != "#32770") return TRUE;
    watch.alive.insert(window);
    if (watch.looks[window] != kDone) Handle(watch, window);
    return TRUE;
}

void Look(Watch& watch) {
    watch.alive.clear();
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&watch));
    // Closed windows are forgotten: a new one may get a closed one's handle.
    for (auto w = watch.looks.begin(); w != watch.looks.end();) w = watch.alive.count(w->first) ? ++w : watch.looks.erase(w);
    Sleep(50);
}

}  // namespace

int main() {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) args.push_back(Utf8(arguments[i]));
    // The log's presence says the watch is on; nobody would close a usage box.
    if (args.size() < 2 || !Write(args[0], "", std::ios::trunc)) return 1;
    Watch watch{args[0], args[1] == "-" ? "" : args[1]};
    for (size_t i = 2; i < args.size(); ++i) {
        watch.rules.push_back({args[i].substr(0, args[i].rfind('=')), Split(args[i].substr(args[i].rfind('=') + 1), '+')});
    }
    for (;;) Look(watch);
}
