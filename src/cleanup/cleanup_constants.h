// What the cleanup of earlier installations looks for, deletes and writes:
// registry locations, match texts, INF searches and the retirement table.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

namespace setup::cleanup {

// --- Registry purge ---

// Names read from the registry come through a buffer of this many
// characters, the terminator included: a longer name ends its enumeration.
constexpr std::size_t kNameChars = 80;
// The provider text is read into a buffer of this many bytes.
constexpr std::size_t kProviderTextBytes = 80;
// Stands for "the name only" when a value is enumerated for its name: a
// Windows 9x key holds at most 64 KB of values altogether, so no value there
// fails to fit.
constexpr std::size_t kAnyValueBytes = 64 * 1024;

constexpr const char* kMediaClassPath = "System\\CurrentControlSet\\services\\Class\\MEDIA";
constexpr std::size_t kInstanceNameChars = 4;
constexpr std::uint32_t kMaxInstanceValues = 1000;
constexpr const char* kProviderNameValue = "ProviderName";
// The provider text, cut after its first seven characters, equals this
// without regard to case.
constexpr const char* kMakerName = "ORVANTA";
constexpr std::size_t kMakerNameChars = 7;

constexpr const char* kMediaResourcesPath = "System\\CurrentControlSet\\control\\MediaResources\\";
// In the order they are swept.
constexpr const char* kMediaResourceTypes[] = {"aux", "joystick", "midi", "mixer", "wave"};
constexpr std::size_t kMaxResourceMatches = 15;

constexpr const char* kPciTreePath = "Enum\\PCI";
constexpr const char* kPciEntryPrefix = "VEN_1D9C&DEV_01";
constexpr const char* kChipEnumeratorPath = "Enum\\OVX";
constexpr const char* kChipEntryPrefix = "CHILD";

// In the order they are deleted.
constexpr const char* kVirtualDeviceKeys[] = {
    "Enum\\VIRTUAL\\SSC-SWMIDI", "Enum\\VIRTUAL\\SSC-DOSEMU", "Enum\\VIRTUAL\\SSC-LEGACY",
    "Enum\\VIRTUAL\\SSC-SBEMU",  "Enum\\VIRTUAL\\SSC-JOYSTK",
};

struct RegistryLocation {
    platform::HKey root;
    const char* path;
};

// The 3D-audio and ASIO registrations, in the order they are deleted.
constexpr RegistryLocation kCompanionKeys[] = {
    {platform::HKEY_CLASSES_ROOT, "Audio3D"},
    {platform::HKEY_CLASSES_ROOT, "CLSID\\{D8F1EEE0-F634-11CF-8700-00A0245D918B}"},
    {platform::HKEY_LOCAL_MACHINE, "SOFTWARE\\ASIO"},
    {platform::HKEY_CLASSES_ROOT, "CLSID\\{188135E1-D565-11d2-854F-00A0C99F5D19}"},
};

// --- INF files ---

// A file search inside the Windows folder: folder (relative, ending in a
// backslash) and name pattern.
struct InfSearch {
    const char* folder;
    const char* namePattern;
};

constexpr InfSearch kOtherInfFiles{"INF\\OTHER\\", "*.INF"};
constexpr InfSearch kOemInfFilesUpperCase{"INF\\", "OEM*.INF"};  // only when INF\OTHER holds none
constexpr InfSearch kOvInfFiles{"INF\\", "OV*.INF"};
constexpr InfSearch kOemInfFiles{"INF\\", "oem*.INF"};

constexpr const char* kInfStringsSection = "Strings";
// An INF file whose value of one of these keys begins with one of the
// earlier drivers' texts belongs to an earlier driver.
constexpr const char* kEarlierDriverKeys[] = {"SSC-Legacy.DeviceDesc", "WDM_OVPCI.Wave.szPname"};
constexpr const char* kEarlierDriverTexts[] = {"OVX4320", "OVX4720", "OVAUDIO", "Orvanta"};  // case counts
constexpr std::size_t kEarlierDriverTextChars = 7;
constexpr const char* kPrecompiledInfExtension = "PNF";

// --- Retirement of driver files ---

struct RetiredFile {
    const char* destination;  // relative to the Windows folder
    const char* source;
};

// In the order they are scheduled. Some retired names differ from their
// sources' (SMIDI32P.DLL becomes SMIDI32.OLD).
constexpr RetiredFile kRetiredFiles[] = {
    {"SYSTEM\\AUDIO3D.OLD", "SYSTEM\\AUDIO3D.DLL"},
    {"SYSTEM\\A3D.OLD", "SYSTEM\\A3D.DLL"},
    {"SYSTEM\\R3D.OLD", "SYSTEM\\R3D.DLL"},
    {"SYSTEM\\4320VXD.OLD", "SYSTEM\\OV4320.VXD"},
    {"SYSTEM\\OVAUDIO.OLD", "SYSTEM\\OVAUDIO.VXD"},
    {"SYSTEM\\4320FDRV.OLD", "SYSTEM\\OV4320FM.DRV"},
    {"SYSTEM\\OVPCIFM.OLD", "SYSTEM\\OVPCIFM.DRV"},
    {"SYSTEM\\OVMPU.OLD", "SYSTEM\\OVMPU.EXE"},
    {"SYSTEM\\OVMPUPCI.OLD", "SYSTEM\\OVMPUPCI.DRV"},
    {"SYSTEM\\OVPCI95.OLD", "SYSTEM\\OVPCI95.DRV"},
    {"SYSTEM\\OVSMIDI.OLD", "SYSTEM\\OVSMIDI.DRV"},
    {"SYSTEM\\OVSWMPU.OLD", "SYSTEM\\OVSWMPU.VXD"},
    {"SYSTEM\\DLSTABLE.OLD", "SYSTEM\\DLSTABLE.DAT"},
    {"SYSTEM\\DLSWAVE.OLD", "SYSTEM\\DLSWAVE.DAT"},
    {"SYSTEM\\SETAUDIO.OLD", "SYSTEM\\SETAUDIO.COM"},
    {"SYSTEM\\SMIDI32.OLD", "SYSTEM\\SMIDI32P.DLL"},
    {"SYSTEM\\SMIDIPCI.OLD", "SYSTEM\\SMIDIPCI.DLL"},
    {"SYSTEM\\PARSEDLS.OLD", "SYSTEM\\PARSEDLS.EXE"},
    {"SYSTEM\\ASIO4720.OLD", "SYSTEM\\ASIO4720.DLL"},
    {"SYSTEM\\OVSYNTH.OLD", "SYSTEM\\OVSYNTH.DRV"},
    {"SYSTEM32\\DRIVERS\\OVPCI.OLD", "SYSTEM32\\DRIVERS\\OVPCI.SYS"},
    {"INF\\CATALOG\\OVPCI.OLD", "INF\\CATALOG\\OVPCI.CAT"},
    {"SYSTEM32\\DRIVERS\\OVAUDIO.OLD", "SYSTEM32\\DRIVERS\\OVAUDIO.SYS"},
    {"INF\\CATALOG\\ovaudio.OLD", "INF\\CATALOG\\ovaudio.CAT"},
    {"SYSTEM32\\OVprop.OLD", "SYSTEM32\\OVprop.DLL"},
    {"SYSTEM\\CRLDS3D.OLD", "SYSTEM\\CRLDS3D.DLL"},
};

// WIN.INI [Windows] run= is emptied along with the retirement.
constexpr const char* kWinIni = "WIN.INI";
constexpr const char* kWinIniWindowsSection = "Windows";
constexpr const char* kWinIniRunKey = "run";
constexpr const char* kEmptyRunEntry = " ";

// --- Present device ---

// The hardware ID every flow removes the present device by.
constexpr const char* kAudioDeviceHardwareId = "PCI\\VEN_1D9C&DEV_0111";
constexpr std::size_t kHardwareIdListBytes = 1024;

}  // namespace setup::cleanup
