// The companion applications' installer: chosen for the system, started
// after the earlier applications are closed and uninstalled.
#pragma once

#include <optional>
#include <string>

#include "environment/install_options.h"
#include "environment/os_kind.h"
#include "platform/platform.h"

namespace setup {

// 1 when the VxD driver applies by setup.ini alone: Windows 95, the first
// edition of 98, 98 SE unless "Windows98SEDriver", ME when "WindowsMEDriver" is 0.
int VxdBySetupIni(const OsKind& os, const InstallOptions& options);

// The installer for the system and driver architecture: probes the layout
// (which may leave the current directory on the medium) and, on the
// Windows 95 family, falls back to the WDM set's installer when the chosen
// one is missing. nullopt on a system none of the rows names.
std::optional<std::string> ChooseApplicationsInstaller(platform::Platform& platform, const OsKind& os, int useVxd,
                                                       const std::string& sourceFolder);

// The earlier applications' uninstaller, from either uninstall key and
// either value, run with " -a" and waited for.
void RemoveEarlierApplications(platform::Platform& platform);

// /AP: close, uninstall, start the installer (or say it is missing), end.
void RunApplicationsLaunch(platform::Platform& platform, const OsKind& os, const std::string& sourceFolder,
                           const InstallOptions& options);

}  // namespace setup
