#include "driver/wdm_installation.h"

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
#include "environment/os_kind.h"
#include "environment/paths.h"
#include "inf/inf_settings_values.h"
#include "inf/inf_source_disks.h"

namespace setup {

namespace {
constexpr const char* kWdmSystemsOnly = "This WDM driver can only be installed on Windows 98SE/ME/2000";
}

void InstallWdmDriver(platform::Platform& platform, platform::DialogWindow& dialog, const std::string& packageFolder,
                      const OptionState& options) {
    platform.OutputDebugString("WDM driver installation: " + Describe(options));
    platform.BeginWaitCursor();
    CloseCompanionApplications(platform, /*alsoMixer=*/true);
    ShowMessage(platform, 0, kDriverAnnouncement);
    dialog.Show(false);
    CloseMixerWindow(platform);
    TakeVolumeIconOutOfTray(platform);
    ResetMixerDefaults(platform);

    const OsKind os = DetermineOsKind(platform);
    if (os.Win95 || os.NT4 || os.Win2000 || (os.Win98 && !os.Win98SE)) {
        platform.MessageBox(dialog.Handle(), kWdmSystemsOnly, ApplicationName(platform), platform::MB_OK);
        platform.ExitProcess(0);
        return;
    }

    RemovePresentAudioDevice(platform);
    PurgeEarlierDriverRegistry(platform);
    CleanEarlierDriverFiles(platform, 0);
    const std::string infFolder = WindowsFolder(platform) + "INF\\";
    const std::string otherFolder = infFolder + "OTHER\\";
    CreateFolders(platform, {otherFolder, infFolder + "CATALOG\\"});
    WindowsSetupSource setupSource = FindWindowsSetupSource(platform);
    CreateFolders(platform, {kProgramFilesFolder, kOrvantaFolder, kWdmStagingFolder});

    std::vector<std::string> installedInfs;
    for (const std::string& name : FilesIn(platform, packageFolder)) {
        const std::string packageFile = packageFolder + name;
        const std::string staged = kWdmStagingFolder + name;
        NormalCopy(platform, packageFile, staged);
        CopyToSetupSource(platform, setupSource, packageFile, name, otherFolder);
        if (IsInfName(name)) {
            // The staged copy is edited; the setup source keeps the package's.
            RewriteSettingsValues(platform, staged, options);
            for (const std::string& folder : {infFolder, otherFolder}) {
                NormalCopy(platform, staged, folder + name);
                installedInfs.push_back(folder + name);
            }
        }
    }
    PlainCopy(platform, packageFolder + "ovaudio.cat", infFolder + "CATALOG\\ovaudio.cat");
    for (const std::string& inf : installedInfs) {
        RewriteSourceDisks(platform, inf, SourceDiskForm::WdmFixedDescription);
    }

    CompleteWdmInstallation(platform, {/*installInf=*/!os.Win98SE, {}});
    RestartOnceInstallersClose(platform, dialog.Handle());
    platform.ExitProcess(0);
}

}  // namespace setup
