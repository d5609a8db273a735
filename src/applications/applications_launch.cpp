#include "applications/applications_launch.h"

#include "environment/companion_applications.h"
#include "environment/messages.h"
#include "environment/package_layout.h"
#include "environment/paths.h"
#include "environment/registry_key.h"

namespace setup {

namespace {

constexpr const char* kUninstallKeys[] = {
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\PCI Audio Applications",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\PCI Audio WinNT Applications",
};
constexpr const char* kUninstallValues[] = {"InstallShieldUninstallString", "UninstallString"};
constexpr std::size_t kCommandBytes = 260;
constexpr std::uint32_t kUninstallerPoll = 1000;
constexpr const char* kNoInstaller = "Can not find the PCI Audio Applications setup program.";

struct InstallerFolders {
    const char* vxd;
    const char* wdm;
    const char* nt4;
};
constexpr InstallerFolders kGrouped{"W95-98\\app\\Setup.exe", "W2K-ME\\app\\Setup.exe", "NT40\\app\\Setup.exe"};
constexpr InstallerFolders kPerSystem{"WIN_9x\\app\\Setup.exe", "WIN_ME\\app\\Setup.exe", "WIN_NT40\\app\\Setup.exe"};

std::optional<std::string> UninstallCommand(platform::Platform& platform) {
    RegistryKey key(platform);
    for (const char* path : kUninstallKeys) {
        if (key.Reopen(platform::HKEY_LOCAL_MACHINE, path, platform::KEY_QUERY_VALUE)) break;
    }
    for (const char* name : kUninstallValues) {
        if (std::optional<std::string> command = key.Text(name, kCommandBytes)) return command;
    }
    return std::nullopt;
}

// Waits on the process between polls rather than polling without pause,
// which would keep a processor busy for as long as the uninstaller runs.
void WaitUntilEnded(platform::Platform& platform, platform::Handle process) {
    for (;;) {
        platform.WaitForInputIdle(process, kUninstallerPoll);
        const std::optional<std::uint32_t> code = platform.GetExitCodeProcess(process);
        if (!code || *code != platform::STILL_ACTIVE) return;
        platform.WaitForSingleObject(process, kUninstallerPoll);
    }
}

}  // namespace

int VxdBySetupIni(const OsKind& os, const InstallOptions& options) {
    return (os.WinME && options.WindowsMEDriver == 0) || (os.Win98SE && options.Windows98SEDriver == 0) ||
                   (os.Win98 && !os.Win98SE) || os.Win95
               ? 1
               : 0;
}

std::optional<std::string> ChooseApplicationsInstaller(platform::Platform& platform, const OsKind& os, int useVxd,
                                                       const std::string& sourceFolder) {
    const InstallerFolders& folders =
        ProbeLayout(platform, sourceFolder) == PackageLayout::Grouped ? kGrouped : kPerSystem;
    const char* relative = nullptr;
    if (os.Win95) {
        relative = folders.vxd;
    } else if (os.Win98 || os.WinME) {
        relative = useVxd ? folders.vxd : folders.wdm;
    } else if (os.NT4) {
        relative = folders.nt4;
    } else if (os.Win2000) {
        relative = folders.wdm;
    }
    if (!relative) return std::nullopt;
    const std::string chosen = sourceFolder + relative;
    if (os.Windows9x() && !CanOpenForReading(platform, chosen)) return sourceFolder + folders.wdm;
    return chosen;
}

void RemoveEarlierApplications(platform::Platform& platform) {
    const std::optional<std::string> command = UninstallCommand(platform);
    if (!command) return;
    platform.BeginWaitCursor();
    if (const platform::Handle process = platform.CreateProcess(*command + " -a", platform::SW_SHOW)) {
        WaitUntilEnded(platform, process);
        platform.CloseHandle(process);
    }
    platform.EndWaitCursor();
}

void RunApplicationsLaunch(platform::Platform& platform, const OsKind& os, const std::string& sourceFolder,
                           const InstallOptions& options) {
    CloseCompanionApplications(platform);
    RemoveEarlierApplications(platform);
    const std::optional<std::string> installer =
        ChooseApplicationsInstaller(platform, os, VxdBySetupIni(os, options), sourceFolder);
    if (installer && CanOpenForReading(platform, *installer)) {
        const platform::Handle process = platform.CreateProcess(*installer, platform::SW_SHOW);
        if (process) platform.CloseHandle(process);
    } else {
        ShowMessage(platform, 0, kNoInstaller);
    }
    platform.ExitProcess(0);
}

}  // namespace setup
