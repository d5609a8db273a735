// The virtual machine shows the program's own dialog templates and strings.
#include "platform/vm/dialog_templates.h"
#include "platform/vm/machine.h"

namespace vm {

namespace {
constexpr std::uint32_t kVisible = 0x10000000;   // WS_VISIBLE
constexpr std::uint32_t kDisabled = 0x08000000;  // WS_DISABLED
}  // namespace

std::optional<DialogLayout> ProgramDialogLayout(int id, const std::string& language) {
    const DialogTemplate* found = FindDialogTemplate(id, language);
    if (!found) return std::nullopt;
    DialogLayout layout{found->id, found->language, found->title, {}};
    for (const ControlTemplate& control : found->controls) {
        layout.controls.push_back({control.id, control.kind, control.text, control.groupStart,
                                   (control.style & kVisible) != 0, (control.style & kDisabled) == 0});
    }
    return layout;
}

std::string ProgramString(int id, const std::string& language) {
    const std::string* text = FindResourceString(id, language);
    return text ? *text : std::string();
}

}  // namespace vm
