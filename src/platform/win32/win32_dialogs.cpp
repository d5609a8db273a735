// Modal dialogs from the program's resources, hosted with DialogBoxParamA.
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

namespace {

HICON LoadProgramIcon(int iconId) {
    return LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(iconId));
}

bool IsCheckable(HWND control) {
    char className[16] = {};
    GetClassNameA(control, className, sizeof className);
    if (lstrcmpiA(className, "Button") != 0) return false;
    switch (GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) {
        case BS_CHECKBOX: case BS_AUTOCHECKBOX: case BS_RADIOBUTTON: case BS_3STATE: case BS_AUTO3STATE:
        case BS_AUTORADIOBUTTON: return true;
        default: return false;
    }
}

// The same words, in the same template order, as the virtual machine's.
std::string ControlStatesOf(HWND dialog) {
    std::string states;
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(control);
        const bool checkable = IsCheckable(control);
        const bool enabled = IsWindowEnabled(control) != FALSE;
        const bool visible = (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
        if (id < 0 || id == 0xFFFF || (!checkable && enabled && visible)) continue;
        std::string flags;
        if (checkable) flags += SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? "checked" : "unchecked";
        if (!enabled) flags += std::string(flags.empty() ? "" : ",") + "disabled";
        if (!visible) flags += std::string(flags.empty() ? "" : ",") + "hidden";
        states += std::string(states.empty() ? "" : " ") + std::to_string(id) + "=" + flags;
    }
    return states;
}

class Win32DialogWindow final : public DialogWindow {
public:
    Win32DialogWindow(HWND window, DialogHandler& handler, const Win32Platform& platform)
        : window_(window), handler_(handler), platform_(platform) {}

    Hwnd Handle() override { return reinterpret_cast<Hwnd>(window_); }
    std::string Caption() override {
        char text[256] = {};
        GetWindowTextA(window_, text, sizeof text);
        return text;
    }
    std::string ControlStates() override { return ControlStatesOf(window_); }
    bool IsChecked(int control) override {
        return SendDlgItemMessageA(window_, control, BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    void SetCheck(int control, bool checked) override {
        SendDlgItemMessageA(window_, control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    void EnableControl(int control, bool enable) override { EnableWindow(GetDlgItem(window_, control), enable); }
    void ShowControl(int control, bool show) override {
        ShowWindow(GetDlgItem(window_, control), show ? SW_SHOW : SW_HIDE);
    }
    void RedrawControl(int control) override {
        RedrawWindow(GetDlgItem(window_, control), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    void Show(bool show) override { ShowWindow(window_, show ? SW_SHOW : SW_HIDE); }
    void Redraw() override { RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }
    void End(int result) override { EndDialog(window_, result); }
    void Close() override { SendMessageA(window_, WM_CLOSE, 0, 0); }
    void SetIcon(int iconId) override {
        const HICON icon = LoadProgramIcon(iconId);
        SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    void AppendSystemMenuItem(int stringId, std::uint32_t command) override {
        const HMENU menu = GetSystemMenu(window_, FALSE);
        if (!menu) return;
        char text[256] = {};
        if (LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(stringId), text, sizeof text) <= 0) return;
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, command, text);
    }
    bool IsIconic() override { return ::IsIconic(window_) != FALSE; }
    Size ClientSize() override {
        RECT rect{};
        GetClientRect(window_, &rect);
        return {rect.right - rect.left, rect.bottom - rect.top};
    }
    Size SystemIconSize() override { return {GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)}; }
    void PaintIcon(int iconId, int x, int y) override {
        PAINTSTRUCT paint{};
        const HDC context = BeginPaint(window_, &paint);
        SendMessageA(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(context), 0);
        DrawIcon(context, x, y, LoadProgramIcon(iconId));
        EndPaint(window_, &paint);
    }

    DialogHandler& handler() { return handler_; }
    bool WaitCursorShown() const { return platform_.WaitCursorShown(); }

private:
    HWND window_;
    DialogHandler& handler_;
    const Win32Platform& platform_;
};

// Over the owner, or over the work area when there is none or it is hidden
// or minimised; kept inside the work area. Templates that ask for DS_CENTER
// are left to the system.
void CentreOnOwner(HWND dialog) {
    if (GetWindowLongA(dialog, GWL_STYLE) & DS_CENTER) return;
    RECT area{};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0)) {
        area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    RECT around = area;
    const HWND owner = GetWindow(dialog, GW_OWNER);
    if (owner && IsWindowVisible(owner) && !::IsIconic(owner)) GetWindowRect(owner, &around);
    RECT own{};
    if (!GetWindowRect(dialog, &own)) return;
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    int left = (around.left + around.right - width) / 2;
    int top = (around.top + around.bottom - height) / 2;
    // Past the right or bottom edge first, so that a dialog larger than the
    // work area keeps its caption and left edge on the screen.
    if (left + width > area.right) left = area.right - width;
    if (top + height > area.bottom) top = area.bottom - height;
    if (left < area.left) left = area.left;
    if (top < area.top) top = area.top;
    SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

struct DialogStart {
    DialogHandler* handler;
    const Win32Platform* platform;
};

INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const auto* start = reinterpret_cast<const DialogStart*>(lParam);
        auto* host = new Win32DialogWindow(window, *start->handler, *start->platform);
        SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(host));
        host->handler().OnInit(*host);
        // The templates sit at 0,0: centre the dialog once its own
        // initialisation is done.
        CentreOnOwner(window);
        return TRUE;  // the focus goes to the default control
    }
    auto* host = reinterpret_cast<Win32DialogWindow*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!host) return FALSE;
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) != BN_CLICKED) return FALSE;
            switch (LOWORD(wParam)) {
                case IDOK: host->handler().OnOk(*host); break;
                case IDCANCEL: host->handler().OnCancel(*host); break;  // Esc and the close box too
                default: host->handler().OnCommand(*host, LOWORD(wParam)); break;
            }
            return TRUE;
        case WM_SYSCOMMAND:
            return host->handler().OnSysCommand(*host, static_cast<std::uint32_t>(wParam)) ? TRUE : FALSE;
        case WM_PAINT:
            return host->handler().OnPaint(*host) ? TRUE : FALSE;
        case WM_QUERYDRAGICON: {
            const int icon = host->handler().QueryDragIcon();
            if (icon == 0) return FALSE;
            SetWindowLongPtrA(window, DWLP_MSGRESULT, reinterpret_cast<LONG_PTR>(LoadProgramIcon(icon)));
            return TRUE;
        }
        case WM_SETCURSOR:
            // The wait cursor stays over the dialog while a procedure runs.
            if (!host->WaitCursorShown()) return FALSE;
            SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));  // IDC_WAIT
            SetWindowLongPtrA(window, DWLP_MSGRESULT, TRUE);
            return TRUE;
        case WM_NCDESTROY:
            SetWindowLongPtrA(window, DWLP_USER, 0);
            delete host;
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

int Win32Platform::DialogBox(int templateId, Hwnd parent, DialogHandler& handler) {
    DialogStart start{&handler, this};
    return static_cast<int>(DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId),
                                            reinterpret_cast<HWND>(parent), DialogProcedure,
                                            reinterpret_cast<LPARAM>(&start)));
}

}  // namespace platform::win32
