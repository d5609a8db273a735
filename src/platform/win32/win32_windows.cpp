#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_runtime_exports.h"

namespace platform::win32 {
namespace {

HWND ToHwnd(Hwnd window) { return reinterpret_cast<HWND>(window); }

const char* OrNull(const std::optional<std::string>& text) { return text ? text->c_str() : nullptr; }

}  // namespace

Hwnd Win32Platform::FindWindowEx(const std::optional<std::string>& className,
                                 const std::optional<std::string>& title) {
    return reinterpret_cast<Hwnd>(::FindWindowExA(nullptr, nullptr, OrNull(className), OrNull(title)));
}

std::intptr_t Win32Platform::SendMessage(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                                         std::intptr_t lParam) {
    return ::SendMessageA(ToHwnd(window), message, wParam, lParam);
}

int Win32Platform::MessageBox(Hwnd owner, const std::string& text, const std::string& caption,
                              std::uint32_t type) {
    return ::MessageBoxA(ToHwnd(owner), text.c_str(), caption.c_str(), type);
}

// Nested calls count; the cursor of before the first one comes back with
// the last EndWaitCursor.
void Win32Platform::BeginWaitCursor() {
    const HCURSOR previous = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
    if (waitCursorDepth_++ == 0) cursorBeforeWait_ = previous;
}

void Win32Platform::EndWaitCursor() {
    if (waitCursorDepth_ == 0) return;
    if (--waitCursorDepth_ == 0) ::SetCursor(cursorBeforeWait_);
}

// Ctl3d gives dialogs the three-dimensional look on the systems that do not
// draw it themselves; where the DLL is missing the dialogs keep the system's
// own look.
void Win32Platform::Enable3dControls() {
    if (ctl3dEnabled_) return;
    const HINSTANCE program = ::GetModuleHandleA(nullptr);
    if (!ctl3d_.Call<Ctl3dRegisterFunction>("Ctl3dRegister", FALSE, program)) return;
    ctl3d_.Call<Ctl3dAutoSubclassFunction>("Ctl3dAutoSubclass", FALSE, program);
    ctl3dEnabled_ = true;
}

void Win32Platform::OutputDebugString(const std::string& text) { ::OutputDebugStringA(text.c_str()); }

}  // namespace platform::win32
