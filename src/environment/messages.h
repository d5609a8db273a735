// The texts the program shows, and the one way it shows them.
#pragma once

#include <string>

#include "platform/platform.h"

namespace setup {

constexpr const char* kSetupCaption = "Setup";
constexpr const char* kNoWindows2000Setup = "Can not find the setup program for Windows 2000/XP.";

// A message box with an OK button and the caption "Setup".
void ShowMessage(platform::Platform& platform, platform::Hwnd owner, const std::string& text);

}  // namespace setup
