// A run and its judges: its ending, where it wrote and deleted, the INF
// bytes it changed; a crash or a run past its real time, which no judge
// afterwards sees, ends the process naming the run.
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <map>
#include <regex>
#include <set>

#include "fault_campaign/campaign.h"
#include "platform/vm/ini_text.h"

namespace campaign {

namespace {

using Entry = vm::FileSystem::Entry;

// The messages as letters after the ending (r returned, x ended its
// process), and the endings each outcome allows.
const std::pair<char, const char*> kMessages[] = {
    {'A', "The driver will be installed now. It need a few minutes to complete."},
    {'C', "Setup completed! The system will restart now!"}, {'W', "Can not find the setup program for Windows 2000/XP."},
    {'P', "Can not find the PCI Audio Applications setup program.\n Please insert the installation CD now."},
    {'N', "Can not find the PCI Audio Applications setup program."}, {'F', "Can not find installation files."},
    {'V', "This driver can not be used on Windows NT or Windows 2000."},
    {'D', "This WDM driver can only be installed on Windows 98SE/ME/2000"}};
const std::map<std::string, std::string> kEndings = {{"applications launch", "xN?"},
    {"hand-over to the Windows 2000/XP setup program", "rW?"}, {"silent end on Windows NT 4.0", "x"},
    {"unattended driver installation from the medium", "xAC"}, {"VxD driver option dialog", "x(C|V)"},
    {"unattended driver installation from a flat package", "xAC"}, {"WDM driver option dialog", "x(AC|D)"},
    {"main setup dialog", "xF|r"}};
const std::set<std::string> kAfterRestart = {"restart requested", "wait cursor", "dialog closed", "exit process", "program returned"};

void CheckEnding(const platform::Journal& journal, const setupsim::RunResult& result, const Flow& flow,
                 std::vector<std::string>& problems) {
    std::string shown(1, result.ending == setupsim::Ending::Returned ? 'r' : 'x'), outcome;
    bool restart = false;
    for (const platform::JournalEntry& entry : journal.Entries()) {
        if (restart && !kAfterRestart.count(entry.kind)) problems.push_back("\"" + entry.kind + "\" after the restart request");
        restart |= entry.kind == "restart requested" || (entry.kind == "fault" && entry.Get("operation") == "ExitWindowsEx");
        const std::string text = entry.Get("text");
        if (entry.kind == "trace" && text.rfind("outcome: ", 0) == 0) outcome += (outcome.empty() ? "" : ", ") + text.substr(9);
        if (entry.kind != "message box") continue;
        shown += '?';
        for (const auto& [letter, message] : kMessages) shown.back() = text == message ? letter : shown.back();
    }
    if (result.exitCode != 0) problems.push_back("exit code " + std::to_string(result.exitCode));
    if (restart != (shown.back() == 'C')) problems.push_back(restart ? "a restart but no final message" : "no restart");
    std::string allowed = kEndings.count(outcome) ? kEndings.at(outcome) : "one outcome";
    if (outcome[0] == 'm') allowed += std::string("(") + flow.mainEnding + ")";
    if (outcome.find("dialog") != std::string::npos && journal.Count("dialog missing") > 0) allowed = "r";
    if (outcome[0] == 's' && journal.Count("dialog shown") > 0) allowed = "no dialog";
    if (!std::regex_match(shown, std::regex(allowed))) problems.push_back(outcome + ": ended " + shown + ", not " + allowed);
}

// From a file it may have been copied from: in the INF folders the in-place
// edits and the source-disk entries, in the staging folders the in-place
// edits, elsewhere none.
std::string InfDifference(const std::string& path, bool infFolder, std::string source, std::string copy) {
    const bool staged = path.rfind("c:\\program files\\orvanta\\", 0) == 0;
    if (!infFolder) return staged || source == copy ? InPlaceDifference(source, copy, 7) : "a copy that differs";
    source = WithoutSourceDisks(source);
    copy = WithoutSourceDisks(copy);
    // A section added after an unterminated last line ends that line first,
    // and Windows 9x puts a blank line before each section it adds: CR LFs
    // alone after the source's bytes.
    const std::string added = copy.size() > source.size() ? copy.substr(source.size()) : "";
    bool lineEnds = !added.empty() && added.size() % 2 == 0;
    for (std::size_t i = 0; lineEnds && i < added.size(); i += 2) lineEnds = added.compare(i, 2, "\r\n") == 0;
    return InPlaceDifference(source, lineEnds ? copy.substr(0, source.size()) : copy, 7);
}

char gMessage[300];  // for the signal handler

void OnSignal(int signal) {
    if (write(STDERR_FILENO, gMessage, std::strlen(gMessage)) < 0) return;
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void Judge(vm::VirtualMachine& machine, const std::vector<Entry>& beforeList, const setupsim::RunResult& result,
           const Flow& flow, std::vector<std::string>& problems) {
    const bool hung = result.ending == setupsim::Ending::Hung;
    if (hung) problems.push_back("hung: waiting after " + std::to_string(machine.Now()) + " ms");
    if (!hung) CheckEnding(machine.GetJournal(), result, flow, problems);
    const std::string w =
        std::regex_replace(vm::Lower(machine.settings.windowsFolder), std::regex(R"([\\.^$|()\[\]{}*+?])"), R"(\$&)");
    const std::regex mayWrite(R"(c:\\program files(\\orvanta(\\.*)?)?|c:\\ovmixer\\mixer\.exe|)"
                              R"(c:\\windows\\options\\cabs\\[^\\]+|)" +
                              w + R"(\\inf(\\other|\\catalog)?\\[^\\]+|)" + w +
                              R"(\\(wininit\.ini|win\.ini|ovcdplay\.ini|ovxsetup\.ini|mixerdef\.ini|mixer\.dat|mixer\.exe))");
    // The earlier drivers' INF files with their PNF files (machine/), and the driver database.
    const std::regex mayDelete(w + R"(\\inf\\(drvdata\.bin|drvidx\.bin|oem3\.inf|oem3\.pnf|other\\oem1\.(inf|pnf)))");
    const std::regex infFolder(w + R"(\\inf(\\other)?\\[^\\]+)"), ksInf(w + R"(\\inf\\(ks|wdmaudio|ksfilter)\.inf)");
    std::map<std::string, const Entry*> before, after;
    for (const Entry& entry : beforeList) before[vm::Lower(entry.path)] = &entry;
    const std::vector<Entry> afterList = machine.Files().Snapshot();
    for (const Entry& entry : afterList) after[vm::Lower(entry.path)] = &entry;
    for (const auto& [path, file] : after) {
        const Entry* old = before.count(path) ? before.at(path) : nullptr;
        if (old && old->content == file->content && old->attributes == file->attributes) continue;
        const std::string name = path.substr(path.rfind('\\') + 1);
        if (!std::regex_match(path, mayWrite)) problems.push_back((old ? "changed " : "created ") + file->path);
        if (!std::regex_match(path, mayWrite) || file->directory || name.find(".inf") == std::string::npos) continue;
        // Copied from the package's file of that name, or edited where it was;
        // a failed copy leaves the source-disk entries to make the file alone.
        std::vector<std::string> sources = {old ? old->content : ""};
        for (const auto& [from, entry] : before) {
            if (from[0] == 'e' && from.substr(from.rfind('\\') + 1) == name) sources.push_back(entry->content);
        }
        std::string problem = "?";
        for (std::size_t i = 0; i < sources.size() && !problem.empty(); ++i) {
            problem = old && std::regex_match(path, ksInf)
                          ? CopyFlagDifference(old->content, file->content)
                          : InfDifference(path, std::regex_match(path, infFolder), sources[i], file->content);
        }
        if (!problem.empty()) problems.push_back(file->path + ": " + problem);
    }
    const bool mediumGone = machine.Files().Find("E:\\*.*").empty();  // taken out as a whole
    for (const auto& [path, file] : before) {
        if (!after.count(path) && !(path[0] == 'e' && mediumGone) && !std::regex_match(path, mayDelete)) {
            problems.push_back("deleted " + file->path);
        }
    }
}

}  // namespace

Report RunAndJudge(const Flow& flow, vm::VirtualMachine& machine, const std::string& run, unsigned realSeconds) {
    std::snprintf(gMessage, sizeof gMessage, "\nfault campaign: %s crashed or ran past %u s\n", run.c_str(), realSeconds);
    for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGALRM}) std::signal(signal, OnSignal);
    alarm(realSeconds);
    const std::vector<vm::FileSystem::Entry> before = machine.Files().Snapshot();
    Report report;
    try {
        Judge(machine, before, setupsim::RunSetup(machine), flow, report);
    } catch (const std::exception& error) {
        report = {std::string("crashed: ") + error.what()};
    }
    alarm(0);
    return report;
}

std::uint64_t RunCampaign(const std::vector<std::string>& names, std::uint32_t firstSeed, std::uint64_t seeds, double seconds,
                          const OnRun& onRun) {
    const auto start = std::chrono::steady_clock::now();
    std::uint64_t done = 0;
    for (auto seed = firstSeed; (seeds == 0 || done < seeds) && (seconds <= 0 || std::chrono::duration<double>(
                                    std::chrono::steady_clock::now() - start).count() < seconds); ++seed, ++done) {
        for (const Flow& flow : Flows()) {
            if (!names.empty() && std::find(names.begin(), names.end(), flow.name) == names.end()) continue;
            vm::VirtualMachine machine;
            const std::string plan = Build(flow, seed, machine);
            const Report report = RunAndJudge(flow, machine, std::string(flow.name) + " seed " + std::to_string(seed), 60);
            onRun(flow, seed, plan, report, machine);
        }
    }
    return done;
}

}  // namespace campaign
