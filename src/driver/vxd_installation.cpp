#include "driver/vxd_installation.h"

#include "cleanup/driver_file_retirement.h"
#include "cleanup/registry_purge.h"
#include "driver/restart.h"
#include "driver/staging.h"
#include "environment/companion_applications.h"
#include "environment/os_kind.h"
#include "environment/paths.h"
#include "environment/registry_key.h"
#include "inf/inf_config_switches.h"
#include "inf/inf_source_disks.h"

namespace setup {

namespace {

constexpr const char* kNotOnNt = "This driver can not be used on Windows NT or Windows 2000.";
constexpr std::size_t kPathBytes = 260;
constexpr const char* kMixerKeys[] = {"Software\\PCI Audio Applications\\Mixer", "Software\\Orvanta\\Mixer"};

// "INF\OTHER\" of the Windows folder when it exists (it then stays the
// current directory), else "INF\".
std::string InfTargetFolder(platform::Platform& platform) {
    const std::string infFolder = WindowsFolder(platform) + "INF\\";
    return platform.SetCurrentDirectory(infFolder + "OTHER\\") ? infFolder + "OTHER\\" : infFolder;
}

void StageDlsFiles(platform::Platform& platform) {
    const std::string system = WithBackslash(platform.GetSystemDirectory());
    for (const char* name : {"DLSWAVE.DAT", "DLSTABLE.DAT"}) {
        NormalCopy(platform, system + name, std::string(kVxdStagingFolder) + name);
    }
}

// An INF copy edited for the user's choices; listed even when it cannot be
// opened, so that it still gets its source-disk entry.
void PlaceEditedInf(platform::Platform& platform, const std::string& from, const std::string& to,
                    const OptionState& options, std::vector<std::string>& installedInfs) {
    NormalCopy(platform, from, to);
    if (std::unique_ptr<platform::FileStream> inf = platform.fopen(to, "r+")) {
        RewriteConfigSwitches(platform, to, *inf, options);
        inf->Seek(0, SEEK_END);
        inf->Flush();
    }
    installedInfs.push_back(to);
}

std::optional<std::string> RegisteredMixerFolder(platform::Platform& platform, const char* keyPath) {
    const std::string folder =
        RegistryKey(platform, platform::HKEY_LOCAL_MACHINE, keyPath, platform::KEY_QUERY_VALUE).Text("Path", kPathBytes).value_or("");
    if (folder.empty()) return std::nullopt;
    const std::string candidate = WithBackslash(folder);
    if (!CanOpenForReading(platform, candidate + "Mixer.exe")) return std::nullopt;
    return candidate;
}

void ReplaceInstalledMixer(platform::Platform& platform) {
    std::optional<std::string> folder;
    for (const char* keyPath : kMixerKeys) {
        folder = RegisteredMixerFolder(platform, keyPath);
        if (folder) break;
    }
    if (!folder) return;
    const std::string staged = std::string(kVxdStagingFolder) + "Mixer.exe";
    NormalCopy(platform, staged, *folder + "Mixer.exe");
    const std::string windowsMixer = WindowsFolder(platform) + "Mixer.exe";
    if (CanOpenForReading(platform, windowsMixer)) NormalCopy(platform, staged, windowsMixer);
}

}  // namespace

void InstallVxdDriver(platform::Platform& platform, platform::DialogWindow& dialog, const std::string& packageFolder,
                      int fullPackage, const OptionState& options) {
    platform.OutputDebugString("VxD driver installation: FullPackage=" + std::to_string(fullPackage) + " " +
                               Describe(options));
    platform.BeginWaitCursor();
    CloseCompanionApplications(platform);
    const OsKind os = DetermineOsKind(platform);
    if (os.NT4 || os.Win2000) {
        platform.MessageBox(dialog.Handle(), kNotOnNt, "Information", platform::MB_OK);
        platform.ExitProcess(0);
        return;
    }
    const bool windows9x = os.Win95 || os.Win98 || os.WinME;

    PurgeEarlierDriverRegistry(platform);
    CleanEarlierDriverFiles(platform, 1);
    const std::string infTarget = InfTargetFolder(platform);
    CreateFolders(platform, {kProgramFilesFolder, kOrvantaFolder, kVxdStagingFolder, kVxdStaging026Folder});
    if (fullPackage == 0) StageDlsFiles(platform);

    std::vector<std::string> installedInfs;
    for (const std::string& name : FilesIn(platform, packageFolder)) {
        NormalCopy(platform, packageFolder + name, kVxdStagingFolder + name);
        if (windows9x && IsInfName(name)) {
            PlaceEditedInf(platform, packageFolder + name, infTarget + name, options, installedInfs);
        }
    }
    if (windows9x) {
        for (const std::string& name : FilesIn(platform, packageFolder + "026\\")) {
            NormalCopy(platform, packageFolder + "026\\" + name, kVxdStaging026Folder + name);
        }
    }
    for (const std::string& inf : installedInfs) RewriteSourceDisks(platform, inf, SourceDiskForm::VxdLongPath);
    ReplaceInstalledMixer(platform);

    RequestRestart(platform, dialog.Handle());
    platform.ExitProcess(0);
}

}  // namespace setup
