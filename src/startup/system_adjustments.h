// The three changes to the system that every run makes, whatever mode
// follows.
#pragma once

#include <optional>
#include <string>

#include "platform/platform.h"

namespace setup {

// "OVCDPLAY.INI" in the Windows folder: [CD PLAYER] UsingCDDA = "1" or "0".
void WriteCdPlayerSetting(platform::Platform& platform, int usingCdda);

// "DefaultFormat" of the current user and of the default user becomes the
// first name of "SystemFormats" that contains "CD".
void SelectCdRecordingFormat(platform::Platform& platform);

// The applications' Run value "PCI Audio Applications" goes.
void DeleteApplicationsRunValue(platform::Platform& platform);

// The first name of a comma-separated list that contains "CD" (case counts).
std::optional<std::string> FirstCdFormat(const std::string& systemFormats);

}  // namespace setup
