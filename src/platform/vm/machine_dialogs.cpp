// Modal dialogs on the virtual machine.
#include "platform/vm/machine.h"

namespace vm {

namespace {
std::string ResultName(int result) {
    switch (result) {
        case platform::IDOK: return "OK";
        case platform::IDCANCEL: return "Cancel";
        default: return std::to_string(result);
    }
}
}  // namespace

int VirtualMachine::DialogBox(int templateId, platform::Hwnd parent, platform::DialogHandler& handler) {
    const std::optional<DialogLayout> layout =
        dialogLayouts ? dialogLayouts(templateId, settings.language) : std::nullopt;
    if (!layout || Fault("DialogBox")) {
        Log("dialog missing", {{"dialog", std::to_string(templateId)}});
        return -1;
    }
    const platform::Hwnd handle = nextDialog_++;
    dialogNames_[handle] = "dialog " + std::to_string(templateId);
    Log("dialog shown", {{"dialog", std::to_string(templateId)},
                         {"language", layout->language},
                         {"title", layout->title},
                         {"owner", WindowName(parent)}});
    std::vector<std::string> actions;
    for (DialogScript& script : dialogScripts_) {
        if (!script.used && script.dialogId == templateId) {
            script.used = true;
            actions = script.actions;
            break;
        }
    }
    auto loadString = [this](int id) { return strings ? strings(id, settings.language) : std::string(); };
    VirtualDialog window(*this, *layout, handle, loadString);
    const int result = window.Run(handler, actions);
    Log("dialog closed", {{"dialog", std::to_string(templateId)},
                          {"result", ResultName(result)},
                          {"controls", window.States()}});
    dialogNames_.erase(handle);
    return result;
}

}  // namespace vm
