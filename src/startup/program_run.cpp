#include "startup/program_run.h"

#include <memory>
#include <optional>
#include <string>

#include "environment/install_options.h"
#include "environment/source_folder.h"
#include "platform/journal/journal_text.h"
#include "platform/journal/journaling_platform.h"
#include "startup/log_guard.h"
#include "startup/log_header.h"
#include "startup/log_switch.h"
#include "startup/setup_app.h"

namespace setup {

namespace {

std::string RequestedLog(platform::Platform& machine) {
    const std::optional<std::string> typed = TakeLogSwitch(machine.CommandLine()).path;
    return typed ? *typed : ReadLogPath(machine, DetermineSourceFolder(machine));
}

// Opened on the machine itself: the log's own writes are not effects. A
// drive without a disk raises no box: a log that cannot be opened changes
// nothing else.
std::unique_ptr<platform::FileStream> OpenLog(platform::Platform& machine, std::optional<std::string>& path) {
    const std::string requested = RequestedLog(machine);
    if (requested.empty()) return nullptr;
    const std::uint32_t errorMode = machine.SetErrorMode(platform::SEM_FAILCRITICALERRORS);
    path = PlaceLog(machine, requested);
    std::unique_ptr<platform::FileStream> log = path ? machine.fopen(*path, "w") : nullptr;
    machine.SetErrorMode(errorMode);
    return log;
}

}  // namespace

void RunProgram(platform::Platform& machine, platform::Journal* journal, std::vector<std::string>* header) {
    std::optional<std::string> logPath;
    const std::unique_ptr<platform::FileStream> log = OpenLog(machine, logPath);
    if (!journal && !log) {
        SetupApp(machine).Run();
        return;
    }
    const std::vector<std::string> lines = LogHeader(GatherRunFacts(machine));
    if (header) *header = lines;
    for (const std::string& line : lines) {
        if (log) log->Write(line + "\n");
    }
    // The effects alone: the caller's journal may also hold the machine's
    // own happenings, which are no business of the log.
    platform::Journal effects(/*keepEntries=*/false);
    effects.SetListener([&](const platform::JournalEntry& entry) {
        if (journal) journal->Add(entry.time, entry.kind, entry.fields);
        if (log) {
            // In text mode the run-time writes "\r\n", as a Windows editor
            // expects. A disk taken out meanwhile raises no box either.
            const std::uint32_t errorMode = machine.SetErrorMode(platform::SEM_FAILCRITICALERRORS);
            log->Write(platform::JournalLine(entry) + "\n");
            log->Flush();
            machine.SetErrorMode(errorMode);
        }
    });
    // The journal sees the machine as the run without a log would.
    std::optional<LogHidingPlatform> hidden;
    if (log) hidden.emplace(machine, *logPath);
    platform::JournalingPlatform journaled(hidden ? static_cast<platform::Platform&>(*hidden) : machine, effects);
    SetupApp(journaled).Run();
    journaled.Record("program returned", {{"code", "0"}});
}

}  // namespace setup
