#include "driver/driver_installation.h"

#include "cleanup/boot_rename_list.h"
#include "cleanup/driver_file_retirement.h"
#include "cleanup/present_device_removal.h"
#include "cleanup/registry_purge.h"
#include "driver/restart.h"
#include "driver/staging.h"
#include "driver/system_tray.h"
#include "driver/wdm_completion.h"
#include "driver/windows_setup_source.h"
#include "environment/companion_applications.h"
#include "environment/messages.h"
#include "environment/package_layout.h"
#include "environment/paths.h"
#include "inf/inf_copy_flags.h"

namespace setup {

namespace {

struct WindowsFolders {
    std::string windows;  // W, ending in a backslash
    std::string inf;      // I
    std::string other;    // O
};

WindowsFolders FoldersOf(platform::Platform& platform) {
    const std::string windows = WindowsFolder(platform);
    return {windows, windows + "INF\\", windows + "INF\\OTHER\\"};
}

void ChooseArchitecture(DriverInstallation& run) {
    if (ChoosesVxdDriver(run.os, run.options, run.package)) {
        CleanEarlierDriverFiles(run.platform, 1);
        run.vxdChosen = 1;
        CreateFolders(run.platform, run.package == PackageKind::Flat
                                        ? std::vector<std::string>{kVxdStagingFolder, kVxdStaging026Folder}
                                        : std::vector<std::string>{kVxdStagingFolder});
    } else {
        CreateFolders(run.platform, {kWdmStagingFolder});
    }
}

void StageDosFiles(platform::Platform& platform, const std::string& sourceFolder) {
    const std::string dos = sourceFolder + "Dosdrv\\";
    for (const std::string& name : FilesIn(platform, dos)) NormalCopy(platform, dos + name, kDosFolder + name);
    for (const std::string& name : FilesIn(platform, dos + "DOSAPP\\")) {
        NormalCopy(platform, dos + "DOSAPP\\" + name, kDosAppFolder + name);
    }
}

// The new mixer program takes the old one's place at the next start.
void ScheduleMixerReplacement(platform::Platform& platform, const std::string& driverFolder,
                              const std::string& windows) {
    if (!CanOpenForReading(platform, driverFolder + "Mixer.dat")) return;
    PlainCopy(platform, driverFolder + "Mixer.dat", windows + "Mixer.dat");
    ScheduleBootDelete(platform, windows + "Mixer.old");
    ScheduleBootRename(platform, windows + "Mixer.old", windows + "Mixer.exe");
    ScheduleBootRename(platform, windows + "Mixer.exe", windows + "Mixer.dat");
}

KernelStreamingInfs KernelStreamingRewrite(const DriverInstallation& run) {
    if (run.vxdChosen) return {};
    if (run.package == PackageKind::Flat) {
        if (run.os.Win98SE && run.options.InstallWDMDriver != 0) {
            return {KernelStreamingInf::Ks, KernelStreamingInf::WdmAudio};
        }
        return {};
    }
    if (run.os.Win98) return {KernelStreamingInf::Ks, KernelStreamingInf::WdmAudio, KernelStreamingInf::KsFilter};
    return {};
}

}  // namespace

bool ChoosesVxdDriver(const OsKind& os, const InstallOptions& options, PackageKind package) {
    if (package == PackageKind::Flat) {
        const bool wdmAsked = options.InstallWDMDriver != 0;
        return os.Win95 || (os.Win98 && !(os.Win98SE && wdmAsked)) || (os.WinME && !wdmAsked);
    }
    return os.Win95 || (os.Win98 && options.Windows98SEDriver == 0) || (os.WinME && options.WindowsMEDriver == 0);
}

std::string DriverSourceFolder(platform::Platform& platform, const OsKind& os, const std::string& sourceFolder,
                               PackageKind package, bool vxd) {
    if (package == PackageKind::Flat) return sourceFolder;
    const bool grouped = ProbeLayout(platform, sourceFolder) == PackageLayout::Grouped;
    if (!vxd) return sourceFolder + (grouped ? "W2K-ME\\drv\\" : "WIN_ME\\drv\\");
    const std::string family = sourceFolder + (grouped ? "W95-98\\drv\\" : "WIN_9x\\drv\\");
    const std::string folder = family + (os.Win95 ? "95\\" : "98\\");
    return platform.SetCurrentDirectory(folder) ? folder : family;
}

void PrepareForDriver(DriverInstallation& run, bool announce) {
    platform::Platform& platform = run.platform;
    if (announce) ShowMessage(platform, run.owner, kDriverAnnouncement);
    // A flat package shows the wait cursor at once.
    if (run.package == PackageKind::Flat) platform.BeginWaitCursor();
    CloseMixerWindow(platform);
    TakeVolumeIconOutOfTray(platform);
    if (run.package == PackageKind::Medium) platform.BeginWaitCursor();
    ResetMixerDefaults(platform);
}

void StageDriver(DriverInstallation& run) {
    platform::Platform& platform = run.platform;
    const WindowsFolders folders = FoldersOf(platform);
    std::vector<std::string> installedInfs;

    RemovePresentAudioDevice(platform);
    PurgeEarlierDriverRegistry(platform);
    CleanEarlierDriverFiles(platform, 0);
    run.vxdChosen = 0;
    CreateFolders(platform, {folders.other, folders.inf + "CATALOG\\"});
    WindowsSetupSource setupSource = FindWindowsSetupSource(platform);
    CreateFolders(platform, {kProgramFilesFolder, kOrvantaFolder, kDosFolder, kDosAppFolder});
    StageDosFiles(platform, run.sourceFolder);

    ChooseArchitecture(run);
    const std::string driverFolder =
        DriverSourceFolder(platform, run.os, run.sourceFolder, run.package, run.vxdChosen != 0);
    const std::string staging = run.vxdChosen ? kVxdStagingFolder : kWdmStagingFolder;
    for (const std::string& name : FilesIn(platform, driverFolder)) {
        const std::string packageFile = driverFolder + name;
        PlainCopy(platform, packageFile, staging + name);
        CopyToSetupSource(platform, setupSource, packageFile, name, folders.other);
        if (IsInfName(name) && (run.vxdChosen || run.os.Win98)) {
            // Copied from the package unedited; their source disks are
            // pointed at the staged files below, once every copy is made.
            for (const std::string& folder : {folders.inf, folders.other}) {
                NormalCopy(platform, packageFile, folder + name);
                installedInfs.push_back(folder + name);
            }
        }
    }
    if (!run.vxdChosen || run.package == PackageKind::Flat) {
        PlainCopy(platform, driverFolder + "ovaudio.cat", folders.inf + "CATALOG\\ovaudio.cat");
    }
    ScheduleMixerReplacement(platform, driverFolder, folders.windows);
    if (run.package == PackageKind::Flat && (run.os.Win95 || run.os.Win98)) {
        // Also with the WDM driver, when the target folder may not exist.
        const std::string folder026 = run.sourceFolder + "026\\";
        for (const std::string& name : FilesIn(platform, folder026)) {
            NormalCopy(platform, folder026 + name, kVxdStaging026Folder + name);
        }
    }
    const SourceDiskForm form = run.vxdChosen ? SourceDiskForm::VxdShortPath : run.wdmSourceDisks;
    for (const std::string& inf : installedInfs) RewriteSourceDisks(platform, inf, form);
    const KernelStreamingInfs kernelStreaming = KernelStreamingRewrite(run);
    if (!kernelStreaming.empty()) RewriteCopyFlags(platform, kernelStreaming);
}

void InstallStagedDriverAndRestart(DriverInstallation& run) {
    if (!run.vxdChosen) CompleteWdmInstallation(run.platform, {/*installInf=*/!run.os.Win98SE, run.repaint});
    RestartOnceInstallersClose(run.platform, run.owner);
}

}  // namespace setup
