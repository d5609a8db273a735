#include "environment/messages.h"

namespace setup {

void ShowMessage(platform::Platform& platform, platform::Hwnd owner, const std::string& text) {
    platform.MessageBox(owner, text, kSetupCaption, platform::MB_OK);
}

}  // namespace setup
