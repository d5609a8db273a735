#include "setupsim/report.h"

#include <sstream>

#include "platform/journal/journal_text.h"

namespace setupsim {

namespace {

bool SameSleep(const platform::JournalEntry& a, const platform::JournalEntry& b) {
    return a.kind == "sleep" && b.kind == "sleep" && a.fields == b.fields;
}

std::string Machine(vm::VirtualMachine& machine) {
    const vm::MachineSettings& s = machine.settings;
    return "Windows " + std::string(vm::ToString(s.version)) + ", " + s.language + ", " + s.programPath +
           (s.commandLine.empty() ? " (no command line)" : " " + s.commandLine);
}

std::string DescribeEnding(const RunResult& result) {
    std::ostringstream text;
    switch (result.ending) {
        case Ending::Returned: text << "the program returned and ended (exit code 0)"; break;
        case Ending::ExitProcess: text << "the program ended its process with exit code " << result.exitCode; break;
        case Ending::Hung: text << "the program was still waiting at the machine's time limit"; break;
    }
    text << " after " << result.virtualTime << " ms of virtual time; "
         << (result.restartRequested ? "Windows restarts." : "no restart.");
    return text.str();
}

}  // namespace

std::string TextReport(vm::VirtualMachine& machine, const RunResult& result) {
    std::ostringstream out;
    out << "setupsim: " << Machine(machine) << "\n\n";
    for (const std::string& line : result.header) out << line << "\n";
    out << "\nJournal\n";
    const auto& entries = machine.GetJournal().Entries();
    for (std::size_t i = 0; i < entries.size();) {
        std::size_t repeats = 1;
        while (i + repeats < entries.size() && SameSleep(entries[i], entries[i + repeats])) ++repeats;
        out << platform::JournalLine(entries[i]);
        if (repeats > 1) out << "  (x" << repeats << ")";
        out << "\n";
        i += repeats;
    }
    out << "\nEnding: " << DescribeEnding(result) << "\n\nChanges\n";
    if (result.changes.empty()) out << "  (none)\n";
    for (const vm::Change& change : result.changes) {
        out << "  " << change.sign << " " << change.what << "\n";
        for (const std::string& detail : change.details) out << "      " << detail << "\n";
    }
    if (!result.reads.empty()) out << "\nReads\n";
    for (const Read& read : result.reads) out << "  " << read.kind << std::string(16 - read.kind.size(), ' ') << read.what << "\n";
    return out.str();
}

nlohmann::json JsonReport(vm::VirtualMachine& machine, const RunResult& result) {
    nlohmann::json report;
    const vm::MachineSettings& s = machine.settings;
    report["machine"] = {{"windows", vm::ToString(s.version)},
                         {"language", s.language},
                         {"programPath", s.programPath},
                         {"commandLine", s.commandLine}};
    nlohmann::json journal = nlohmann::json::array();
    for (const platform::JournalEntry& entry : machine.GetJournal().Entries()) {
        nlohmann::json item = {{"time", entry.time}, {"kind", entry.kind}};
        for (const auto& [key, value] : entry.fields) item[key] = value;
        journal.push_back(item);
    }
    report["header"] = result.header;
    report["journal"] = journal;
    report["ending"] = {{"how", ToString(result.ending)},
                        {"exitCode", result.exitCode},
                        {"restart", result.restartRequested},
                        {"virtualTimeMs", result.virtualTime}};
    nlohmann::json changes = nlohmann::json::array();
    for (const vm::Change& change : result.changes) {
        changes.push_back({{"change", std::string(1, change.sign)}, {"what", change.what}, {"details", change.details}});
    }
    report["changes"] = changes;
    nlohmann::json reads = nlohmann::json::array();
    for (const Read& read : result.reads) reads.push_back({{"kind", read.kind}, {"what", read.what}});
    if (!result.reads.empty()) report["reads"] = reads;
    return report;
}

}  // namespace setupsim
