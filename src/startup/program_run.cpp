#include "startup/program_run.h"

#include <memory>
#include <optional>
#include <string>

#include "environment/install_options.h"
#include "environment/source_folder.h"
#include "platform/journal/journal_text.h"
#include "platform/journal/journaling_platform.h"
#include "startup/log_switch.h"
#include "startup/setup_app.h"

namespace setup {

namespace {

std::string RequestedLog(platform::Platform& machine) {
    const std::optional<std::string> typed = TakeLogSwitch(machine.CommandLine()).path;
    return typed ? *typed : ReadLogPath(machine, DetermineSourceFolder(machine));
}

}  // namespace

void RunProgram(platform::Platform& machine, platform::Journal* journal) {
    const std::string logPath = RequestedLog(machine);
    // Opened on the machine itself: the log's own writes are not effects.
    const std::unique_ptr<platform::FileStream> log = logPath.empty() ? nullptr : machine.fopen(logPath, "w");
    if (!journal && !log) {
        SetupApp(machine).Run();
        return;
    }
    // The effects alone: the caller's journal may also hold the machine's
    // own happenings, which are no business of the log.
    platform::Journal effects(/*keepEntries=*/false);
    effects.SetListener([&](const platform::JournalEntry& entry) {
        if (journal) journal->Add(entry.time, entry.kind, entry.fields);
        if (log) {
            // In text mode the run-time writes "\r\n", as a Windows editor expects.
            log->Write(platform::JournalLine(entry) + "\n");
            log->Flush();
        }
    });
    platform::JournalingPlatform journaled(machine, effects);
    SetupApp(journaled).Run();
    journaled.Record("program returned", {{"code", "0"}});
}

}  // namespace setup
