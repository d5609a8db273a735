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

// The log writes the journal's lines as they come, and stops with the run
// even when the journal lives on.
class LogWriter {
public:
    LogWriter(platform::Journal& journal, std::unique_ptr<platform::FileStream> file)
        : journal_(journal), file_(std::move(file)) {
        if (!file_) return;
        journal_.SetListener([this](const platform::JournalEntry& entry) {
            // In text mode the run-time writes "\r\n", as a Windows editor expects.
            file_->Write(platform::JournalLine(entry) + "\n");
            file_->Flush();
        });
    }
    ~LogWriter() {
        if (file_) journal_.SetListener({});
    }
    LogWriter(const LogWriter&) = delete;
    LogWriter& operator=(const LogWriter&) = delete;

private:
    platform::Journal& journal_;
    std::unique_ptr<platform::FileStream> file_;
};

}  // namespace

void RunProgram(platform::Platform& machine, platform::Journal* journal) {
    const std::string logPath = RequestedLog(machine);
    // Opened on the machine itself: the log's own writes are not effects.
    std::unique_ptr<platform::FileStream> log = logPath.empty() ? nullptr : machine.fopen(logPath, "w");
    if (!journal && !log) {
        SetupApp(machine).Run();
        return;
    }
    platform::Journal logOnly(/*keepEntries=*/false);
    platform::Journal& target = journal ? *journal : logOnly;
    const LogWriter writer(target, std::move(log));
    platform::JournalingPlatform journaled(machine, target);
    SetupApp(journaled).Run();
    journaled.Record("program returned", {{"code", "0"}});
}

}  // namespace setup
