#include "setupsim/matrix.h"

#include <cstring>

#include "driver/staging.h"
#include "platform/vm/name_compare.h"
#include "setupsim/fresh_machine.h"

namespace setupsim {

const StartMode kStartModes[3] = {{"defaults", ""}, {"/AP", "/AP"}, {"/DRIVER", "/DRIVER"}};

namespace {

constexpr const char* kOutcomeTrace = "outcome: ";

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && vm::name::Equal(text.substr(0, prefix.size()), prefix);
}

// The folder itself, with or without its trailing backslash.
bool SameFolder(const std::string& path, const std::string& folder) {
    const std::string bare = folder.substr(0, folder.size() - 1);
    return vm::name::Equal(path, folder) || vm::name::Equal(path, bare);
}

struct Staging {
    const char* name;
    const char* folder;
};
constexpr Staging kStagings[] = {{"VxD", setup::kVxdStagingFolder}, {"WDM", setup::kWdmStagingFolder}};

// The architecture is the staging folder the run created for it; the files
// are what actually arrived there.
void ReadStaging(const platform::JournalEntry& entry, MatrixRow& row) {
    for (const Staging& staging : kStagings) {
        if (entry.kind == "create folder" && SameFolder(entry.Get("path"), staging.folder)) row.driver = staging.name;
        if (entry.kind == "copy file" && entry.Get("result") == "ok" && StartsWith(entry.Get("to"), staging.folder)) {
            ++row.driverFilesStaged;
            const std::string from = entry.Get("from");
            if (row.driverSource.empty()) row.driverSource = from.substr(0, from.find_last_of('\\') + 1);
        }
    }
}

}  // namespace

const char* WindowsName(vm::WindowsVersion version) {
    switch (version) {
        case vm::WindowsVersion::Win95: return "95";
        case vm::WindowsVersion::Win98: return "98";
        case vm::WindowsVersion::Win98SE: return "98 SE";
        case vm::WindowsVersion::WinME: return "ME";
        case vm::WindowsVersion::NT4: return "NT 4.0";
        case vm::WindowsVersion::Win2000: return "2000";
        case vm::WindowsVersion::WinXP: return "XP";
    }
    return "?";
}

MatrixRow SummariseRun(vm::VirtualMachine& machine, const RunResult& result) {
    MatrixRow row;
    row.version = machine.settings.version;
    row.outcome = "-";
    row.driver = "-";
    row.ending = result.ending;
    row.restart = result.restartRequested;
    row.virtualTime = result.virtualTime;
    for (const platform::JournalEntry& entry : machine.GetJournal().Entries()) {
        const std::string text = entry.Get("text");
        if (entry.kind == "trace" && text.rfind(kOutcomeTrace, 0) == 0) row.outcome = text.substr(std::strlen(kOutcomeTrace));
        if (entry.kind == "message box") row.messages.push_back(text);
        if (entry.kind == "dialog shown") row.dialogs.push_back(entry.Get("title"));
        ReadStaging(entry, row);
    }
    for (const vm::StartedProcess& process : machine.Processes()) {
        if (StartsWith(process.program, kMediumRoot)) row.installers.push_back(process.commandLine);
    }
    return row;
}

std::vector<MatrixRow> RunMatrix(const Medium& medium) {
    std::vector<MatrixRow> rows;
    for (const vm::WindowsVersion version : vm::kAllWindowsVersions) {
        for (const StartMode& mode : kStartModes) {
            // One machine at a time: a medium may be large.
            vm::VirtualMachine machine;
            BuildFreshMachine(machine, version, mode.commandLine, medium);
            const RunResult result = RunSetup(machine);
            rows.push_back(SummariseRun(machine, result));
            rows.back().mode = mode.label;
        }
    }
    return rows;
}

}  // namespace setupsim
