// Modal dialogs from the program's resources: what a dialog's behaviour can
// do to its window (DialogWindow), and the events it reacts to
// (DialogHandler). Each backend hosts a handler on a real or a virtual
// window; the toolkit's own behaviour (automatic check boxes and radio
// buttons, Esc and the close box meaning Cancel) is the host's job.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

using Hwnd = std::uintptr_t;  // 0 is "no window"

struct Size {
    int width = 0;
    int height = 0;
};

class DialogWindow {
public:
    virtual ~DialogWindow() = default;

    virtual Hwnd Handle() = 0;
    // GetWindowText of the dialog.
    virtual std::string Caption() = 0;
    // The controls that are check boxes or radio buttons, disabled or
    // hidden, in template order: "1000=checked 1=disabled 1003=unchecked,hidden".
    virtual std::string ControlStates() = 0;

    // Controls, by id.
    virtual bool IsChecked(int control) = 0;                 // BM_GETCHECK
    virtual void SetCheck(int control, bool checked) = 0;    // BM_SETCHECK
    virtual void EnableControl(int control, bool enable) = 0;  // EnableWindow
    virtual void ShowControl(int control, bool show) = 0;      // ShowWindow SW_SHOW / SW_HIDE
    virtual void RedrawControl(int control) = 0;  // RedrawWindow RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW

    // The dialog itself.
    virtual void Show(bool show) = 0;  // ShowWindow SW_SHOW / SW_HIDE
    virtual void Redraw() = 0;         // RedrawWindow RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW
    virtual void End(int result) = 0;  // EndDialog
    virtual void Close() = 0;          // SendMessage WM_CLOSE to itself
    // WM_SETICON with ICON_BIG, then ICON_SMALL.
    virtual void SetIcon(int iconId) = 0;
    // GetSystemMenu (no revert); if there is one and string resource
    // stringId loads non-empty: a separator, then an item with the command.
    virtual void AppendSystemMenuItem(int stringId, std::uint32_t command) = 0;

    // Painting while minimised.
    virtual bool IsIconic() = 0;
    virtual Size ClientSize() = 0;
    virtual Size SystemIconSize() = 0;  // SM_CXICON, SM_CYICON
    // BeginPaint, WM_ICONERASEBKGND with the paint context, DrawIcon at
    // (x, y), EndPaint.
    virtual void PaintIcon(int iconId, int x, int y) = 0;
};

class DialogHandler {
public:
    virtual ~DialogHandler() = default;

    // WM_INITDIALOG; the focus then goes to the default control.
    virtual void OnInit(DialogWindow& /*window*/) {}
    // A click on a control other than OK and Cancel, after the toolkit's
    // own toggling of automatic check boxes and radio buttons.
    virtual void OnCommand(DialogWindow& /*window*/, int /*control*/) {}
    // OK (id 1).
    virtual void OnOk(DialogWindow& window) { window.End(1); }
    // Cancel (id 2), Esc, the close box and WM_CLOSE.
    virtual void OnCancel(DialogWindow& window) { window.End(2); }
    // WM_SYSCOMMAND; false leaves it to the default processing.
    virtual bool OnSysCommand(DialogWindow& /*window*/, std::uint32_t /*command*/) { return false; }
    // WM_PAINT; false leaves it to the default painting.
    virtual bool OnPaint(DialogWindow& /*window*/) { return false; }
    // WM_QUERYDRAGICON: an icon resource id, or 0 for the default.
    virtual int QueryDragIcon() { return 0; }
};

}  // namespace platform
