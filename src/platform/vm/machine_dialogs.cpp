// Modal dialogs on the virtual machine.
#include "platform/vm/machine.h"

namespace vm {


int VirtualMachine::DialogBox(int templateId, platform::Hwnd /*parent*/, platform::DialogHandler& handler) {
    const std::optional<DialogLayout> layout =
        dialogLayouts ? dialogLayouts(templateId, settings.language) : std::nullopt;
    if (!layout) return -1;
    const platform::Hwnd handle = nextDialog_++;
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
    return window.Run(handler, actions);
}

}  // namespace vm
