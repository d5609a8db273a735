#include "driver/wdm_completion.h"

#include "driver/staging.h"
#include "driver/system_tray.h"
#include "environment/paths.h"
#include "environment/registry_key.h"

namespace setup {

namespace {

constexpr std::uint32_t kSourceListFlags = platform::SRCLIST_SYSTEM | platform::SRCLIST_USER;
constexpr const char* kMediaClassKey = "System\\CurrentControlSet\\Services\\Class\\MEDIA";
constexpr std::size_t kMediaNameChars = 21;  // names of up to 20 characters
constexpr std::size_t kDescriptionBytes = 255;
constexpr const char* kAudioDevices[] = {"OVX4720/R3DX PCI Audio Device", "OVX4320/R3DX PCI Audio Device"};
constexpr const char* kGamePort = "OVX4720/R3DX PCI game port";

constexpr std::uint32_t kMixerPause = 3000;
constexpr int kMaxMixerWaits = 60;
constexpr std::uint32_t kWindowPoll = 1000;
constexpr int kQuietPolls = 5;
constexpr std::uint32_t kTrayPause = 2000;
constexpr int kMaxTrayWaits = 30;
constexpr std::uint32_t kGamePortPause = 2000;
constexpr int kMaxGamePortPasses = 20;

void Repaint(const std::function<void()>& repaint) {
    if (repaint) repaint();
}

void DeleteDriverDatabase(platform::Platform& platform) {
    const std::string infFolder = WindowsFolder(platform) + "INF\\";
    for (const char* name : {"Drvdata.bin", "Drvidx.bin"}) {
        platform.SetFileAttributes(infFolder + name, platform::FILE_ATTRIBUTE_NORMAL);
        platform.DeleteFile(infFolder + name);
    }
}

// Every entry is kept: a list of any length gains the staged folder. A list
// that cannot be read (Wine has no SetupQuerySourceListA) is not replaced:
// the staged folder alone is added to it, so that Plug and Play finds the
// staged files instead of asking for the driver disk.
void AddStagedFolderToSources(platform::Platform& platform) {
    std::optional<std::vector<std::string>> current = platform.SetupQuerySourceList(kSourceListFlags);
    if (!current) {
        platform.SetupAddToSourceList(kSourceListFlags, kWdmStagingPath);
        return;
    }
    std::vector<std::string> sources = *current;
    sources.push_back(kWdmStagingPath);
    platform.SetupSetSourceList(kSourceListFlags, sources);
    platform.SetupFreeSourceList(*current);
}

void ReenumerateDevices(platform::Platform& platform) {
    std::uint32_t root = 0;
    if (platform.CM_Locate_DevNode(root, std::nullopt, platform::CM_LOCATE_DEVNODE_NORMAL) == platform::CR_SUCCESS) {
        platform.CM_Reenumerate_DevNode(root, 0);
    }
}

int WaitForNewMixerDevice(platform::Platform& platform, const std::function<void()>& repaint) {
    const std::uint32_t before = platform.mixerGetNumDevs();
    std::uint32_t now = before;
    int waits = 0;
    while (now <= before && waits < kMaxMixerWaits) {
        now = platform.mixerGetNumDevs();
        if (now <= before) {
            ++waits;
            platform.Sleep(kMixerPause);
            Repaint(repaint);
        }
    }
    return waits;
}

void WaitForTrayVolumeIcon(platform::Platform& platform, const std::function<void()>& repaint) {
    RegistryKey key(platform, platform::HKEY_CURRENT_USER, kSystrayKey, platform::KEY_ALL_ACCESS);
    if (const std::optional<std::uint32_t> first = ReadTrayServices(key)) {
        std::uint32_t services = *first;
        for (int waits = 0; !(services & kTrayVolumeService) && waits < kMaxTrayWaits; ++waits) {
            platform.Sleep(kTrayPause);
            Repaint(repaint);
            // A read that fails leaves the value read before: the wait goes on.
            services = ReadTrayServices(key).value_or(services);
        }
    }
}

// Each sub-key of the MEDIA class until visit returns true.
void ForEachMediaInstance(platform::Platform& platform, const std::function<bool(const std::string&)>& visit) {
    RegistryKey media(platform, platform::HKEY_LOCAL_MACHINE, kMediaClassKey,
                      platform::KEY_QUERY_VALUE | platform::KEY_ENUMERATE_SUB_KEYS);
    for (std::uint32_t index = 0;; ++index) {
        const std::optional<std::string> name = media.SubKeyName(index, kMediaNameChars);
        if (!name || visit(std::string(kMediaClassKey) + "\\" + *name)) break;
    }
}

std::optional<std::string> DriverDescription(platform::Platform& platform, const std::string& instance) {
    return RegistryKey(platform, platform::HKEY_LOCAL_MACHINE, instance, platform::KEY_QUERY_VALUE)
        .Text("DriverDesc", kDescriptionBytes);
}

bool LegacyDevicesEnabled(platform::Platform& platform) {
    bool legacy = false;
    ForEachMediaInstance(platform, [&](const std::string& instance) {
        const std::optional<std::string> description = DriverDescription(platform, instance);
        if (!description || (*description != kAudioDevices[0] && *description != kAudioDevices[1])) return false;
        const std::optional<platform::RegValue> value =
            RegistryKey(platform, platform::HKEY_LOCAL_MACHINE, instance + "\\Settings", platform::KEY_ALL_ACCESS)
                .Value("EnableLegacy", 4);
        const bool read = value && !value->data.empty();
        if (read) legacy = (static_cast<unsigned char>(value->data[0]) & 0x1) != 0;
        return read;
    });
    return legacy;
}

bool GamePortPresent(platform::Platform& platform) {
    bool found = false;
    ForEachMediaInstance(platform, [&](const std::string& instance) {
        found = DriverDescription(platform, instance) == std::optional<std::string>(kGamePort);
        return found;
    });
    return found;
}

void WaitForGamePort(platform::Platform& platform, const std::function<void()>& repaint) {
    for (int pass = 0; pass < kMaxGamePortPasses; ++pass) {
        if (GamePortPresent(platform)) return;
        platform.Sleep(kGamePortPause);
        Repaint(repaint);
    }
}

}  // namespace

void WaitForInstallerWindows(platform::Platform& platform, const std::function<void()>& repaint) {
    int quiet = 0;
    for (;;) {
        platform.Sleep(kWindowPoll);
        Repaint(repaint);
        const bool seen =
            platform.FindWindowEx(std::string("OVDNINST"), std::nullopt) != 0 ||
            platform.FindWindowEx(std::string("__Win95SetupDiskQuery"), std::string("__Win95SetupDiskQuery")) != 0;
        quiet = seen ? 0 : quiet + 1;
        if (!seen && quiet >= kQuietPolls) return;
    }
}

void CompleteWdmInstallation(platform::Platform& platform, const WdmCompletion& how) {
    DeleteDriverDatabase(platform);
    if (how.installInf) {
        platform.SetupCopyOEMInf(std::string(kWdmStagingFolder) + "OVAUDIO.INF", kWdmStagingPath, platform::SPOST_PATH,
                                 0);
    }
    AddStagedFolderToSources(platform);
    ReenumerateDevices(platform);
    const int mixerWaits = WaitForNewMixerDevice(platform, how.repaint);
    WaitForInstallerWindows(platform, how.repaint);
    // A driver that arrived at once needs no wait for its tray icon.
    if (mixerWaits > 0) WaitForTrayVolumeIcon(platform, how.repaint);
    if (LegacyDevicesEnabled(platform)) WaitForGamePort(platform, how.repaint);
}

}  // namespace setup
