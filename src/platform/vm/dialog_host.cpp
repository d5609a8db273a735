#include "platform/vm/dialog_host.h"

#include <sstream>

#include "platform/vm/machine.h"

namespace vm {

namespace {

constexpr int kOk = 1;
constexpr int kCancel = 2;

bool IsAutoCheckBox(const std::string& kind) { return kind == "AUTOCHECKBOX" || kind == "AUTO3STATE"; }
bool IsAutoRadio(const std::string& kind) { return kind == "AUTORADIOBUTTON"; }

std::vector<std::string> Words(const std::string& action) {
    std::istringstream stream(action);
    std::vector<std::string> words;
    for (std::string word; stream >> word;) words.push_back(word);
    return words;
}

bool ParseNumber(const std::string& text, long& number) {
    try {
        std::size_t used = 0;
        number = std::stol(text, &used, 0);
        return used == text.size();
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

bool IsKnownDialogAction(const std::string& action) {
    const std::vector<std::string> words = Words(action);
    if (words.empty()) return false;
    long number = 0;
    if (words[0] == "click" || words[0] == "sysmenu") return words.size() == 2 && ParseNumber(words[1], number);
    if (words.size() != 1) return false;
    for (const char* known : {"ok", "cancel", "esc", "close", "minimise", "restore", "drag"}) {
        if (words[0] == known) return true;
    }
    return false;
}

VirtualDialog::VirtualDialog(VirtualMachine& machine, DialogLayout layout, platform::Hwnd handle,
                             std::function<std::string(int)> loadString)
    : machine_(machine), layout_(std::move(layout)), handle_(handle), loadString_(std::move(loadString)) {
    for (const DialogLayout::Control& control : layout_.controls) controls_.push_back({control, false});
}

void VirtualDialog::Log(const std::string& kind, std::vector<std::pair<std::string, std::string>> fields) {
    fields.insert(fields.begin(), {"dialog", std::to_string(layout_.id)});
    machine_.GetJournal().Add(machine_.Now(), kind, std::move(fields));
}

VirtualDialog::ControlState* VirtualDialog::Find(int control) {
    for (ControlState& state : controls_) {
        if (state.control.id == control) return &state;
    }
    return nullptr;
}

int VirtualDialog::Run(platform::DialogHandler& handler, const std::vector<std::string>& actions) {
    handler_ = &handler;
    handler.OnInit(*this);
    for (const std::string& action : actions) {
        if (ended_) break;
        Perform(handler, action);
    }
    if (!ended_) {
        // The user accepts what the dialog offers, or leaves when it offers
        // nothing to accept.
        const ControlState* ok = Find(kOk);
        const bool canPressOk = ok && ok->control.enabled && ok->control.visible;
        Perform(handler, canPressOk ? "ok" : "cancel");
    }
    return result_;
}

void VirtualDialog::Perform(platform::DialogHandler& handler, const std::string& action) {
    Log("user", {{"action", action}});
    const std::vector<std::string> words = Words(action);
    long number = 0;
    if (words.size() == 2 && words[0] == "click" && ParseNumber(words[1], number)) {
        Click(handler, static_cast<int>(number));
    } else if (words.size() == 2 && words[0] == "sysmenu" && ParseNumber(words[1], number)) {
        handler.OnSysCommand(*this, static_cast<std::uint32_t>(number));
    } else if (action == "ok") {
        Click(handler, kOk);
    } else if (action == "cancel") {
        Click(handler, kCancel);
    } else if (action == "esc" || action == "close") {
        handler.OnCancel(*this);
    } else if (action == "minimise") {
        iconic_ = true;
        if (!handler.OnPaint(*this)) Log("paint", {{"how", "default"}});
    } else if (action == "restore") {
        iconic_ = false;
        handler.OnPaint(*this);
    } else if (action == "drag") {
        Log("drag icon", {{"icon", std::to_string(handler.QueryDragIcon())}});
    }
}

void VirtualDialog::Click(platform::DialogHandler& handler, int control) {
    ControlState* state = Find(control);
    if (!state || !state->control.enabled || !state->control.visible) {
        Log("click ignored", {{"control", std::to_string(control)}});
        return;
    }
    if (IsAutoCheckBox(state->control.kind)) state->checked = !state->checked;
    if (IsAutoRadio(state->control.kind)) {
        // Automatic radio buttons of one group exclude each other; a group
        // runs from a control that starts one to the next that does.
        std::size_t index = static_cast<std::size_t>(state - controls_.data());
        std::size_t first = index;
        while (first > 0 && !controls_[first].control.groupStart) --first;
        for (std::size_t i = first; i < controls_.size(); ++i) {
            if (i > first && controls_[i].control.groupStart) break;
            if (IsAutoRadio(controls_[i].control.kind)) controls_[i].checked = false;
        }
        state->checked = true;
    }
    if (control == kOk) {
        handler.OnOk(*this);
    } else if (control == kCancel) {
        handler.OnCancel(*this);
    } else {
        handler.OnCommand(*this, control);
    }
}

bool VirtualDialog::IsChecked(int control) {
    const ControlState* state = Find(control);
    return state && state->checked;
}

void VirtualDialog::SetCheck(int control, bool checked) {
    if (ControlState* state = Find(control)) state->checked = checked;
}

void VirtualDialog::EnableControl(int control, bool enable) {
    if (ControlState* state = Find(control)) state->control.enabled = enable;
}

void VirtualDialog::ShowControl(int control, bool show) {
    if (ControlState* state = Find(control)) state->control.visible = show;
}

void VirtualDialog::RedrawControl(int control) { Log("repaint", {{"control", std::to_string(control)}}); }

void VirtualDialog::Show(bool show) {
    if (visible_ == show) return;
    visible_ = show;
    Log(show ? "dialog shown again" : "dialog hidden", {});
}

void VirtualDialog::Redraw() { Log("repaint", {}); }

void VirtualDialog::End(int result) {
    if (ended_) return;
    ended_ = true;
    result_ = result;
}

// WM_CLOSE reaches a dialog as Cancel.
void VirtualDialog::Close() {
    if (handler_) {
        handler_->OnCancel(*this);
    } else {
        End(kCancel);
    }
}

void VirtualDialog::SetIcon(int iconId) { Log("set icon", {{"icon", std::to_string(iconId)}}); }

void VirtualDialog::AppendSystemMenuItem(int stringId, std::uint32_t command) {
    const std::string text = loadString_ ? loadString_(stringId) : std::string();
    if (text.empty()) return;
    systemMenu_.push_back(text);
    Log("system menu item", {{"text", text}, {"command", std::to_string(command)}});
}

platform::Size VirtualDialog::ClientSize() { return {iconic_ ? 36 : 400, iconic_ ? 36 : 300}; }

void VirtualDialog::PaintIcon(int iconId, int x, int y) {
    Log("paint icon", {{"icon", std::to_string(iconId)}, {"x", std::to_string(x)}, {"y", std::to_string(y)}});
}

std::string VirtualDialog::Caption() { return layout_.title; }

std::string VirtualDialog::ControlStates() {
    std::string states;
    for (const ControlState& state : controls_) {
        const std::string& kind = state.control.kind;
        const bool checkable = kind.find("CHECKBOX") != std::string::npos || kind.find("RADIO") != std::string::npos ||
                               kind == "AUTO3STATE";
        if (state.control.id < 0 || (!checkable && state.control.enabled && state.control.visible)) continue;
        std::string flags;
        if (checkable) flags += state.checked ? "checked" : "unchecked";
        if (!state.control.enabled) flags += std::string(flags.empty() ? "" : ",") + "disabled";
        if (!state.control.visible) flags += std::string(flags.empty() ? "" : ",") + "hidden";
        states += std::string(states.empty() ? "" : " ") + std::to_string(state.control.id) + "=" + flags;
    }
    return states;
}

}  // namespace vm
