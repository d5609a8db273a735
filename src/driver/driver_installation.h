// The driver installation the unattended runs and the main dialog share.
#pragma once

#include <functional>
#include <string>

#include "environment/install_options.h"
#include "environment/os_kind.h"
#include "inf/inf_source_disks.h"
#include "platform/platform.h"

namespace setup {

enum class PackageKind {
    Medium,  // the full medium: driver folders by layout, setup.ini's driver keys
    Flat,    // everything in the package folder, "InstallWDMDriver"
};

// One run of the procedure and what differs between its callers.
struct DriverInstallation {
    platform::Platform& platform;
    OsKind os;
    std::string sourceFolder;
    InstallOptions options;
    PackageKind package = PackageKind::Medium;
    // 1 once the VxD driver is chosen; the caller's own flag (VxdChosen of
    // the application, UseVxd of the main dialog).
    int& vxdChosen;
    // Owner of the announcement and the final message.
    platform::Hwnd owner = 0;
    // Source-disk form for the WDM driver's INF copies.
    SourceDiskForm wdmSourceDisks = SourceDiskForm::WdmAppendedShortPath;
    // Called after each pause of the WDM waits.
    std::function<void()> repaint;
};

// Whether the procedure stages the VxD driver: on the full medium by the
// per-system keys (Windows98SEDriver for every Windows 98), in a flat package
// by InstallWDMDriver.
bool ChoosesVxdDriver(const OsKind& os, const InstallOptions& options, PackageKind package);

// The folder the driver files are staged from: the package folder of a flat
// package; on the full medium the architecture's "drv" folder by layout (the
// 95 or 98 sub-folder for VxD, or "drv" itself when that is missing). Probes
// the layout, which may move the current directory.
std::string DriverSourceFolder(platform::Platform& platform, const OsKind& os, const std::string& sourceFolder,
                               PackageKind package, bool vxd);

// Steps before anything is staged: the announcement (when asked), the
// mixer closed, the tray prepared, the wait cursor, the mixer defaults.
void PrepareForDriver(DriverInstallation& run, bool announce);

// Earlier traces removed, the architecture chosen, the driver and DOS files
// staged, INF copies placed and rewritten, the mixer program scheduled.
void StageDriver(DriverInstallation& run);

// For the WDM driver: Plug and Play and its waits; then the last window
// wait, 5 s, the final message and the restart request.
void InstallStagedDriverAndRestart(DriverInstallation& run);

}  // namespace setup
