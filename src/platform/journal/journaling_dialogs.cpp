// Dialogs as the journal sees them: shown (with caption and owner) when
// they initialise, closed with their result and the controls' states at the
// moment they ended.
#include "platform/journal/journaling_platform.h"

#include <memory>

namespace platform {

namespace {

struct DialogRecord {
    bool shown = false;
    std::string controls;  // as they were when the dialog ended
};

// The dialog's own window, noting the controls when the dialog ends.
class NotingWindow final : public DialogWindow {
public:
    NotingWindow(DialogWindow& inner, DialogRecord& record) : inner_(inner), record_(record) {}

    Hwnd Handle() override { return inner_.Handle(); }
    std::string Caption() override { return inner_.Caption(); }
    std::string ControlStates() override { return inner_.ControlStates(); }
    bool IsChecked(int control) override { return inner_.IsChecked(control); }
    void SetCheck(int control, bool checked) override { inner_.SetCheck(control, checked); }
    void EnableControl(int control, bool enable) override { inner_.EnableControl(control, enable); }
    void ShowControl(int control, bool show) override { inner_.ShowControl(control, show); }
    void RedrawControl(int control) override { inner_.RedrawControl(control); }
    void Show(bool show) override { inner_.Show(show); }
    void Redraw() override { inner_.Redraw(); }
    void End(int result) override {
        record_.controls = inner_.ControlStates();
        inner_.End(result);
    }
    void Close() override { inner_.Close(); }
    void SetIcon(int iconId) override { inner_.SetIcon(iconId); }
    void AppendSystemMenuItem(int stringId, std::uint32_t command) override {
        inner_.AppendSystemMenuItem(stringId, command);
    }
    bool IsIconic() override { return inner_.IsIconic(); }
    Size ClientSize() override { return inner_.ClientSize(); }
    Size SystemIconSize() override { return inner_.SystemIconSize(); }
    void PaintIcon(int iconId, int x, int y) override { inner_.PaintIcon(iconId, x, y); }

private:
    DialogWindow& inner_;
    DialogRecord& record_;
};

// The program's handler, seeing the noting window instead of the host's:
// one for the dialog's life, since a handler may keep the window it is given.
class NotingHandler final : public DialogHandler {
public:
    NotingHandler(DialogHandler& inner, DialogRecord& record, std::function<void(DialogWindow&)> onShown)
        : inner_(inner), record_(record), onShown_(std::move(onShown)) {}

    void OnInit(DialogWindow& window) override {
        record_.shown = true;
        onShown_(window);
        inner_.OnInit(Noting(window));
    }
    void OnCommand(DialogWindow& window, int control) override { inner_.OnCommand(Noting(window), control); }
    void OnOk(DialogWindow& window) override { inner_.OnOk(Noting(window)); }
    void OnCancel(DialogWindow& window) override { inner_.OnCancel(Noting(window)); }
    bool OnSysCommand(DialogWindow& window, std::uint32_t command) override {
        return inner_.OnSysCommand(Noting(window), command);
    }
    bool OnPaint(DialogWindow& window) override { return inner_.OnPaint(Noting(window)); }
    int QueryDragIcon() override { return inner_.QueryDragIcon(); }

private:
    DialogWindow& Noting(DialogWindow& window) {
        if (!noting_) noting_ = std::make_unique<NotingWindow>(window, record_);
        return *noting_;
    }

    DialogHandler& inner_;
    DialogRecord& record_;
    std::function<void(DialogWindow&)> onShown_;
    std::unique_ptr<NotingWindow> noting_;
};

}  // namespace

int JournalingPlatform::DialogBox(int templateId, Hwnd parent, DialogHandler& handler) {
    const std::string dialog = std::to_string(templateId);
    DialogRecord record;
    Hwnd handle = 0;
    NotingHandler noting(handler, record, [&](DialogWindow& window) {
        handle = window.Handle();
        windows_[handle] = "dialog " + dialog;
        Record("dialog shown", {{"dialog", dialog}, {"title", window.Caption()}, {"owner", WindowName(parent)}});
    });
    const int result = inner_.DialogBox(templateId, parent, noting);
    if (!record.shown) {
        Record("dialog missing", {{"dialog", dialog}});
        return result;
    }
    windows_.erase(handle);
    Record("dialog closed", {{"dialog", dialog}, {"result", ButtonName(result)}, {"controls", record.controls}});
    return result;
}

}  // namespace platform
