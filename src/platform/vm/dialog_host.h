// Modal dialogs on the virtual machine: a window made from a dialog
// template, played by the machine's scripted user with the toolkit's own
// behaviour, and journaled.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/dialog.h"

namespace vm {

class VirtualMachine;

// What the host needs to know of a template.
struct DialogLayout {
    int id = 0;
    std::string language;
    std::string title;
    struct Control {
        int id = -1;
        std::string kind;  // "AUTOCHECKBOX", "AUTORADIOBUTTON", "DEFPUSHBUTTON", ...
        std::string text;
        bool groupStart = false;
        bool visible = true;
        bool enabled = true;
    };
    std::vector<Control> controls;
};

// The user's part in one dialog: actions in order. "click ID", "ok",
// "cancel", "esc", "close", "sysmenu COMMAND", "minimise", "restore", "drag".
struct DialogScript {
    int dialogId = 0;
    std::vector<std::string> actions;
    bool used = false;
};

// True when the action is one the scripted user knows.
bool IsKnownDialogAction(const std::string& action);

class VirtualDialog : public platform::DialogWindow {
public:
    VirtualDialog(VirtualMachine& machine, DialogLayout layout, platform::Hwnd handle,
                  std::function<std::string(int)> loadString);

    // Runs the dialog to its end: initialisation, the script's actions, then
    // OK (or Cancel when OK cannot be pressed) if the dialog is still open.
    int Run(platform::DialogHandler& handler, const std::vector<std::string>& actions);

    // platform::DialogWindow
    platform::Hwnd Handle() override { return handle_; }
    std::string Caption() override;
    std::string ControlStates() override;
    bool IsChecked(int control) override;
    void SetCheck(int control, bool checked) override;
    void EnableControl(int control, bool enable) override;
    void ShowControl(int control, bool show) override;
    void RedrawControl(int control) override;
    void Show(bool show) override;
    void Redraw() override;
    void End(int result) override;
    void Close() override;
    void SetIcon(int iconId) override;
    void AppendSystemMenuItem(int stringId, std::uint32_t command) override;
    bool IsIconic() override { return iconic_; }
    platform::Size ClientSize() override;
    platform::Size SystemIconSize() override { return {32, 32}; }
    void PaintIcon(int iconId, int x, int y) override;

private:
    struct ControlState {
        DialogLayout::Control control;
        bool checked = false;
    };
    ControlState* Find(int control);
    void Perform(platform::DialogHandler& handler, const std::string& action);
    void Click(platform::DialogHandler& handler, int control);
    void Log(const std::string& kind, std::vector<std::pair<std::string, std::string>> fields);

    VirtualMachine& machine_;
    DialogLayout layout_;
    platform::Hwnd handle_;
    std::function<std::string(int)> loadString_;
    std::vector<ControlState> controls_;
    std::vector<std::string> systemMenu_;
    platform::DialogHandler* handler_ = nullptr;
    bool ended_ = false;
    int result_ = 0;
    bool iconic_ = false;
    bool visible_ = true;
};

}  // namespace vm
