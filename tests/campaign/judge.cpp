// The judges of a finished run: its ending, the places it wrote to and
// deleted from, and the INF bytes it changed.
#include <map>
#include <regex>
#include <set>

#include "campaign/campaign.h"
#include "campaign/inf_judge.h"
#include "platform/vm/ini_text.h"
#include "platform/vm/profile.h"

namespace campaign {

namespace {

using Entry = vm::FileSystem::Entry;

// The messages shown as letters after the ending (r returned, x ended its
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
const std::set<std::string> kAfterRestart = {"restart requested", "wait cursor", "dialog closed", "exit process"};

void CheckEnding(const vm::Journal& journal, const setupsim::RunResult& result, const Flow& flow,
                 std::vector<std::string>& problems) {
    std::string shown(1, result.ending == setupsim::Ending::Returned ? 'r' : 'x');
    std::vector<std::string> outcomes;
    bool restart = false;
    for (const vm::JournalEntry& entry : journal.Entries()) {
        if (restart && !kAfterRestart.count(entry.kind)) problems.push_back("\"" + entry.kind + "\" after the restart request");
        restart |= entry.kind == "restart requested" || (entry.kind == "fault" && entry.Get("operation") == "ExitWindowsEx");
        if (entry.kind == "trace" && entry.Get("text").rfind("outcome: ", 0) == 0) outcomes.push_back(entry.Get("text").substr(9));
        if (entry.kind != "message box") continue;
        shown += '?';
        for (const auto& [letter, text] : kMessages) shown.back() = entry.Get("text") == text ? letter : shown.back();
    }
    if (result.exitCode != 0) problems.push_back("exit code " + std::to_string(result.exitCode));
    if (restart != (shown.back() == 'C')) problems.push_back(restart ? "a restart without the final message" : "no restart after the final message");
    if (outcomes.size() != 1) return problems.push_back(std::to_string(outcomes.size()) + " outcomes chosen");
    const std::string& outcome = outcomes[0];
    std::string allowed = kEndings.count(outcome) ? kEndings.at(outcome) : "no flow has this outcome";
    if (outcome == "main setup dialog") allowed += std::string("(") + flow.mainEnding + ")";
    if (outcome.find("dialog") != std::string::npos && journal.Count("dialog missing") > 0) allowed = "r";
    if (outcome.find("silent") != std::string::npos && journal.Count("dialog shown") > 0) allowed = "no dialog";
    if (!std::regex_match(shown, std::regex(allowed))) problems.push_back(outcome + ": ended " + shown + ", not " + allowed);
}

bool NamesEarlierDriver(const std::string& inf) {
    for (const char* key : {"SSC-Legacy.DeviceDesc", "WDM_OVPCI.Wave.szPname"}) {
        const std::string value = vm::profile::ReadString(inf, "Strings", key).value_or("").substr(0, 7);
        if (value == "OVX4320" || value == "OVX4720" || value == "OVAUDIO" || value == "Orvanta") return true;
    }
    return false;
}

// What an INF file differs in from one it may have been copied from: in the
// INF folders the in-place edits and the source-disk entries, in the
// staging folders the in-place edits, elsewhere nothing.
std::string InfDifference(const std::string& path, bool infFolder, std::string source, std::string copy) {
    if (infFolder) {
        source = WithoutSourceDisks(source);
        copy = WithoutSourceDisks(copy);
        // A section added after an unterminated last line ends that line first.
        if (copy.size() == source.size() + 2 && !source.empty() && source.back() != '\n' && copy.compare(source.size(), 2, "\r\n") == 0) copy.resize(source.size());
    } else if (path.rfind("c:\\program files\\orvanta\\", 0) != 0) {
        return source == copy ? "" : "differs from its package file";
    }
    return InPlaceDifference(source, copy, 7);
}

}  // namespace

std::vector<std::string> Judge(vm::VirtualMachine& machine, const std::vector<Entry>& beforeList,
                               const setupsim::RunResult& result, const Flow& flow) {
    std::vector<std::string> problems;
    if (result.ending != setupsim::Ending::Hung) CheckEnding(machine.GetJournal(), result, flow, problems);
    const std::string w = std::regex_replace(vm::Lower(machine.settings.windowsFolder), std::regex(R"([\\.^$|()\[\]{}*+?])"), R"(\$&)");
    const std::regex mayWrite(R"(c:\\program files(\\orvanta(\\.*)?)?|c:\\ovmixer\\mixer\.exe|c:\\windows\\options\\cabs\\[^\\]+|)" +
        w + R"(\\inf(\\other|\\catalog)?\\[^\\]+|)" + w + R"(\\(wininit\.ini|win\.ini|ovcdplay\.ini|ovxsetup\.ini|mixerdef\.ini|mixer\.dat|mixer\.exe))");
    // Earlier drivers' INF files with their PNF files, and the driver database.
    const std::regex mayDelete(w + R"(\\inf\\(drvdata|drvidx)\.bin|)" + w + R"(\\inf\\(oem|ov|other\\)[^\\]*\.(inf|pnf))");
    const std::regex infFolder(w + R"(\\inf(\\other)?\\[^\\]+)"), ksInf(w + R"(\\inf\\(ks|wdmaudio|ksfilter)\.inf)");
    std::map<std::string, const Entry*> before, after;
    for (const Entry& entry : beforeList) before[vm::Lower(entry.path)] = &entry;
    const std::vector<Entry> afterList = machine.Files().Snapshot();
    for (const Entry& entry : afterList) after[vm::Lower(entry.path)] = &entry;
    for (const auto& [path, file] : after) {
        const Entry* old = before.count(path) ? before.at(path) : nullptr;
        if (old && old->content == file->content && old->attributes == file->attributes) continue;
        if (!std::regex_match(path, mayWrite)) problems.push_back((old ? "changed " : "created ") + file->path);
        const std::string name = path.substr(path.rfind('\\') + 1);
        if (file->directory || name.find(".inf") == std::string::npos || !std::regex_match(path, mayWrite)) continue;
        if (old && std::regex_match(path, ksInf)) {
            const std::string problem = CopyFlagDifference(old->content, file->content);
            if (!problem.empty()) problems.push_back(file->path + ": " + problem);
            continue;
        }
        // Copied from the package's file of that name or edited where it was;
        // a failed copy leaves the source-disk entries to make the file alone.
        std::vector<std::string> sources = {old ? old->content : ""};
        for (const auto& [from, entry] : before) {
            if (from[0] == 'e' && from.substr(from.rfind('\\') + 1) == name) sources.push_back(entry->content);
        }
        std::string problem;
        for (const std::string& source : sources) {
            problem = InfDifference(path, std::regex_match(path, infFolder), source, file->content);
            if (problem.empty()) break;
        }
        if (!problem.empty()) problems.push_back(file->path + ": " + problem);
    }
    const bool mediumGone = machine.Files().Find("E:\\*.*").empty();  // taken out as a whole
    for (const auto& [path, file] : before) {
        if (after.count(path) || (path[0] == 'e' && mediumGone)) continue;
        const auto inf = before.find(path.substr(0, path.size() - 3) + "inf");
        if (!std::regex_match(path, mayDelete) ||
            (path.find(".bin") == std::string::npos && (inf == before.end() || !NamesEarlierDriver(inf->second->content)))) {
            problems.push_back("deleted " + file->path);
        }
    }
    // The journal shows writes too that a later deletion hid.
    const std::pair<const char*, const char*> kWrites[] = {{"copy file", "to"}, {"write profile", "file"},
        {"write file", "path"}, {"open file", "path"}, {"create folder", "path"}, {"set attributes", "path"}};
    std::set<std::string> seen;
    for (const vm::JournalEntry& entry : machine.GetJournal().Entries()) {
        for (const auto& [kind, field] : kWrites) {
            if (entry.kind != kind || entry.Get("result") == "failed") continue;
            const std::string full = machine.FullPath(entry.Get(field)).value_or("?"), folder = full.substr(0, full.rfind('\\'));
            const std::string path = machine.Files().LongPath(folder).value_or(folder) + full.substr(folder.size());
            if (!std::regex_match(vm::Lower(path), mayWrite) && seen.insert(vm::Lower(path)).second) problems.push_back(std::string(kind) + " " + path);
        }
    }
    return problems;
}

}  // namespace campaign
