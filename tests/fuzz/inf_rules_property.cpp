#include "fuzz/inf_rules_property.h"

#include <cstdio>
#include <memory>
#include <set>
#include <vector>

#include "driver/inf_config_switches.h"
#include "driver/inf_copy_flags.h"
#include "driver/inf_settings_values.h"
#include "platform/vm/machine.h"

namespace fuzzing {

namespace {

const std::string kInfFolder = "C:\\WINDOWS\\INF\\";
const std::string kPackageInf = kInfFolder + "OVAUDIO.INF";

struct EditableLine {
    const char* text;
    std::size_t column;     // of the character the rule may change, counted from the line's start
    const char* newValues;  // what it may become
};

const EditableLine kSwitchLines[] = {
    {"HKR,Config,DISMPU,1,0", 20, "1"},       {"HKR,Config,DISJSTK,1,0", 21, "1"},
    {"HKR,Config,LINEINasREAR,1,1", 26, "0"}, {"HKR,Config,LINEINasBASS,1,0", 26, "1"},
    {"HKR,Config,MICasBASS,1,0", 23, "1"},
};

const EditableLine kSettingsLines[] = {
    {"HKR,\"Settings\",\"EnableLegacy\",    0x00010001,0x03,0,0,0", 48, "2"},
    {"HKR,\"Settings\",\"JackConfig\",      0x00010001,0x05,0,0,0", 48, "01234567"},
};

// The text the rule works on: the run-time drops a Ctrl-Z that ends a file
// opened for update in text mode.
std::string AsOpenedForUpdate(std::string file) {
    if (!file.empty() && file.back() == '\x1A') file.pop_back();
    return file;
}

std::size_t LineStartOf(const std::string& text, std::size_t position) {
    const std::size_t newline = position == 0 ? std::string::npos : text.rfind('\n', position - 1);
    return newline == std::string::npos ? 0 : newline + 1;
}

// Whether the change at position is one of the edits the lines allow:
// wholeLine means the line must be exactly the text, with a line end after it.
std::string CheckEdit(const std::string& before, const std::string& after, std::size_t position,
                      const EditableLine* lines, std::size_t lineCount, bool wholeLine) {
    for (std::size_t i = 0; i < lineCount; ++i) {
        const EditableLine& line = lines[i];
        if (position < line.column) continue;
        const std::size_t start = position - line.column;
        if (LineStartOf(before, position) != start) continue;
        const std::string text = line.text;
        if (before.compare(start, text.size(), text) != 0) continue;
        if (wholeLine && before.compare(start + text.size(), 1, "\n") != 0 &&
            before.compare(start + text.size(), 2, "\r\n") != 0) {
            continue;
        }
        if (before.find('\n', position) == std::string::npos) return "an edit in a line without a line end";
        if (std::string(line.newValues).find(after[position]) == std::string::npos) return "a wrong new value";
        return "";
    }
    return "a change at offset " + std::to_string(position) + " outside the lines the rule edits";
}

std::string CheckInPlaceEdits(const std::string& before, const std::string& after, std::size_t maxEdits,
                              const EditableLine* lines, std::size_t lineCount, bool wholeLine) {
    if (after.size() != before.size()) return "the file's length changed";
    std::size_t edits = 0;
    for (std::size_t position = 0; position < before.size(); ++position) {
        if (before[position] == after[position]) continue;
        if (++edits > maxEdits) return "more bytes changed than the rule may change";
        const std::string problem = CheckEdit(before, after, position, lines, lineCount, wholeLine);
        if (!problem.empty()) return problem;
    }
    return "";
}

setup::OptionState OptionsOf(std::uint8_t choices) {
    setup::OptionState options;
    options.motherboard = (choices & 0x01) != 0;
    options.lineInRear = (choices & 0x02) != 0;
    options.lineInBass = (choices & 0x04) != 0;
    options.micBass = (choices & 0x08) != 0;
    options.disableMidi = (choices & 0x10) != 0;
    options.disableGamePort = (choices & 0x20) != 0;
    options.disableLegacy = (choices & 0x40) != 0;
    return options;
}

std::string FileOn(vm::VirtualMachine& machine, const std::string& path) {
    return machine.Files().ReadFile(path).value_or("(missing)");
}

std::string CheckConfigSwitches(std::uint8_t choices, const std::string& file) {
    vm::VirtualMachine machine;
    machine.Files().PutFile(kPackageInf, file);
    {
        const std::unique_ptr<platform::FileStream> inf = machine.fopen(kPackageInf, "r+");
        if (!inf) return "the INF did not open";
        setup::RewriteConfigSwitches(machine, *inf, OptionsOf(choices));
        inf->Seek(0, SEEK_END);
        inf->Flush();
    }
    return CheckInPlaceEdits(AsOpenedForUpdate(file), FileOn(machine, kPackageInf), 5, kSwitchLines,
                             std::size(kSwitchLines), true);
}

std::string CheckSettingsValues(std::uint8_t choices, const std::string& file) {
    vm::VirtualMachine machine;
    machine.Files().PutFile(kPackageInf, file);
    setup::RewriteSettingsValues(machine, kPackageInf, OptionsOf(choices));
    return CheckInPlaceEdits(AsOpenedForUpdate(file), FileOn(machine, kPackageInf), 2, kSettingsLines,
                             std::size(kSettingsLines), false);
}

const char* const kFlaggedNames[] = {"ksuser.dll", "stream.sys", "ks.sys", "ksproxy.ax", "mspclock.sys", "mskssrv.sys"};

// The flagged entry that may stand for a line: the one of the name the line
// begins with, in any case.
std::string ReplacementFor(const std::string& line) {
    for (const char* name : kFlaggedNames) {
        const std::string text = name;
        if (line.size() < text.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < text.size() && same; ++i) {
            const char c = line[i] >= 'A' && line[i] <= 'Z' ? static_cast<char>(line[i] - 'A' + 'a') : line[i];
            same = c == text[i];
        }
        if (same) return text + ",,,0x00000010\r\n";
    }
    return "";
}

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t newline = text.find('\n', start);
        const std::size_t end = newline == std::string::npos ? text.size() : newline + 1;
        lines.push_back(text.substr(start, end - start));
        start = end;
    }
    return lines;
}

// Whether out is the lines of in, in order, each as it was or replaced.
bool IsLinesOrReplacements(const std::string& in, const std::string& out) {
    std::set<std::size_t> reachable = {0};
    for (const std::string& line : LinesOf(in)) {
        const std::string replacement = ReplacementFor(line);
        std::set<std::size_t> next;
        for (std::size_t at : reachable) {
            if (out.compare(at, line.size(), line) == 0) next.insert(at + line.size());
            if (!replacement.empty() && out.compare(at, replacement.size(), replacement) == 0)
                next.insert(at + replacement.size());
        }
        reachable.swap(next);
    }
    return reachable.count(out.size()) != 0;
}

std::string CheckCopyFlags(std::uint8_t choices, const std::string& file) {
    struct Pair {
        setup::KernelStreamingInf id;
        const char* inf;
        const char* newFile;
    };
    const Pair pairs[] = {{setup::KernelStreamingInf::Ks, "ks.inf", "ks.new"},
                          {setup::KernelStreamingInf::WdmAudio, "wdmaudio.inf", "wdmaudio.new"},
                          {setup::KernelStreamingInf::KsFilter, "ksfilter.inf", "ksfilter.new"}};
    vm::VirtualMachine machine;
    std::set<setup::KernelStreamingInf> chosen;
    for (std::size_t i = 0; i < std::size(pairs); ++i) {
        machine.Files().PutFile(kInfFolder + pairs[i].inf, file);
        if ((choices & (1u << i)) != 0) chosen.insert(pairs[i].id);
    }
    const bool copyFails = (choices & 0x08) != 0;
    if (copyFails) machine.Faults().push_back({"CopyFile", 0});
    if ((choices & 0x10) != 0) machine.Faults().push_back({"fopen", 2});
    setup::RewriteCopyFlags(machine, chosen);

    for (const Pair& pair : pairs) {
        const std::string inf = FileOn(machine, kInfFolder + pair.inf);
        const std::optional<std::string> written = machine.Files().ReadFile(kInfFolder + pair.newFile);
        if (chosen.count(pair.id) == 0) {
            if (inf != file || written) return std::string(pair.inf) + " was touched though not chosen";
            continue;
        }
        if (!written) continue;  // its ".new" file did not open: the INF must be as it was
        if (!IsLinesOrReplacements(file, *written)) return std::string(pair.newFile) + " is not the INF's lines";
        if (inf != file && inf != *written) return std::string(pair.inf) + " is neither as it was nor the .new file";
        if (!copyFails && inf != *written) return std::string(pair.inf) + " was not replaced";
        if (copyFails && inf != file) return std::string(pair.inf) + " changed though the copy failed";
    }
    for (const Pair& pair : pairs) {
        if (!machine.Files().ReadFile(kInfFolder + pair.newFile) && FileOn(machine, kInfFolder + pair.inf) != file)
            return std::string(pair.inf) + " changed without its .new file";
    }
    return "";
}

}  // namespace

std::string MakeInput(FuzzedRule rule, std::uint8_t choices, const std::string& file) {
    return std::string(1, static_cast<char>(rule)) + static_cast<char>(choices) + file;
}

std::string CheckInfRule(const std::string& input) {
    if (input.size() < 2) return "";
    const auto rule = static_cast<std::uint8_t>(input[0]) % 3;
    const auto choices = static_cast<std::uint8_t>(input[1]);
    const std::string file = input.substr(2);
    switch (static_cast<FuzzedRule>(rule)) {
        case FuzzedRule::ConfigSwitches: return CheckConfigSwitches(choices, file);
        case FuzzedRule::SettingsValues: return CheckSettingsValues(choices, file);
        case FuzzedRule::CopyFlags: return CheckCopyFlags(choices, file);
    }
    return "";
}

}  // namespace fuzzing
