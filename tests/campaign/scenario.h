// The flows of the fault campaign, each as a machine described by data: the
// files of a Windows installation with an earlier driver, a package medium,
// a registry and the machine.ini text that says what happens on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/vm/registry.h"
#include "platform/vm/windows_version.h"

namespace campaign {

// What the user ticks in the main dialog before pressing OK.
enum class MainDialogPlan { Both, DriverOnly, AppsOnly };

enum class MediumKind {
    Grouped,  // the full medium: W95-98, W2K-ME, NT40 and Dosdrv folders
    Flat,     // a download: the driver files beside setup.exe
};

struct Flow {
    const char* name;
    const char* description;
    vm::WindowsVersion version;
    const char* commandLine;
    const char* setupIni;
    MediumKind medium;
    MainDialogPlan plan;
    int optionDialog;  // 103 or 131 when WebSetup=1 opens one; 0 otherwise
};

const std::vector<Flow>& Flows();
std::optional<std::size_t> FindFlow(const std::string& name);

// What the bad inputs change before a scenario is built.
struct Environment {
    std::string windowsFolder;  // no trailing backslash
    bool readOnlyMedium = false;
    // The user's clicks in the option dialog before Install ("click 1007").
    std::vector<std::string> optionClicks;
};

Environment DefaultEnvironment(const Flow& flow);

struct Scenario {
    std::string flow;
    std::string windowsFolder;
    char mediumDrive = 'E';
    bool readOnlyMedium = false;
    MainDialogPlan plan = MainDialogPlan::Both;
    std::vector<std::string> folders;                          // made first, in order
    std::vector<std::pair<std::string, std::string>> files;   // full path, bytes; in creation order
    vm::Registry registry;
    std::string machineIni;     // a machine folder's machine.ini
    std::string setupSource;    // the Windows setup source ("SourcePath"), no trailing backslash
    std::string mixerFolder;    // where the registered mixer program lives, no trailing backslash
    // How the hardware lets the program down: a disk with this much room
    // left, a medium taken out before this copy from it (1 for the first) or
    // by a timed event.
    std::optional<std::uint64_t> diskFreeBytes;
    std::optional<std::uint64_t> mediumTakenOutAtCopy;
    bool mediumMayVanish = false;

    // The bytes of a file, nullptr when the scenario has none at that path
    // (case ignored).
    std::string* File(const std::string& path);
};

// Longest virtual time a run may take: every bounded wait of the flows at
// its limit, the scenario's own timetable and the user's pauses. A run that
// takes longer hangs.
extern const std::uint64_t kLongestRunMs;

Scenario BuildScenario(const Flow& flow, const Environment& environment);

}  // namespace campaign
