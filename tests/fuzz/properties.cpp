#include <algorithm>
#include <memory>

#include "fault_campaign/campaign.h"
#include "fuzz/inf_rules_property.h"
#include "inf/inf_config_switches.h"
#include "inf/inf_copy_flags.h"
#include "inf/inf_settings_values.h"
#include "platform/faults/fault_injecting_platform.h"
#include "platform/vm/machine_folder.h"
#include "platform/vm/profile.h"
#include "platform/vm/text_lines.h"

namespace fuzzing {

namespace {

std::string CheckCopyFlags(std::uint8_t choices, const std::string& file) {
    const std::string inf = "C:\\WINDOWS\\INF\\", names[] = {"ks", "wdmaudio", "ksfilter"};
    vm::VirtualMachine m;
    setup::KernelStreamingInfs chosen;
    for (int i = 0; i < 3; ++i) {
        m.Files().PutFile(inf + names[i] + ".inf", file);
        if (choices & (1u << i)) chosen.Add(static_cast<setup::KernelStreamingInf>(i));
    }
    if (choices & 0x08) m.Faults().push_back({"CopyFile", 0});
    if (choices & 0x10) m.Faults().push_back({"fopen", 2});
    platform::FaultInjectingPlatform faulty(m, m.FaultPlan());
    setup::RewriteCopyFlags(faulty, chosen);
    for (int i = 0; i < 3; ++i) {
        // The INF as it was, unless chosen and its ".new" file made (as the rule may) and copied over it.
        const std::optional<std::string> made = m.Files().ReadFile(inf + names[i] + ".new");
        const bool replaced = chosen.Has(static_cast<setup::KernelStreamingInf>(i)) && made && !(choices & 0x08);
        const std::string problem = made ? campaign::CopyFlagDifference(file, *made) : "";
        if (!problem.empty()) return names[i] + ".new: " + problem;
        if (m.Files().ReadFile(inf + names[i] + ".inf") != (replaced ? *made : file)) return names[i] + ".inf is wrong";
    }
    return "";
}

}  // namespace

std::string CheckInfRule(const std::string& input) {
    if (input.size() < 2) return "";
    const std::string file = input.substr(2), inf = "C:\\WINDOWS\\INF\\OVAUDIO.INF";
    const int rule = static_cast<std::uint8_t>(input[0]) % 3;
    if (rule == 2) return CheckCopyFlags(static_cast<std::uint8_t>(input[1]), file);
    setup::OptionState options;
    bool* boxes[] = {&options.motherboard, &options.lineInRear, &options.lineInBass, &options.micBass,
                     &options.disableMidi, &options.disableGamePort, &options.disableLegacy};
    for (int bit = 0; bit < 7; ++bit) *boxes[bit] = (input[1] >> bit) & 1;
    vm::VirtualMachine m;
    m.Files().PutFile(inf, file);
    if (rule == 1) setup::RewriteSettingsValues(m, inf, options);
    if (std::unique_ptr<platform::FileStream> stream = rule == 0 ? m.fopen(inf, "r+") : nullptr) {
        setup::RewriteConfigSwitches(m, inf, *stream, options);
        stream->Seek(0, SEEK_END);
        stream->Flush();
    }
    return campaign::InPlaceDifference(file, *m.Files().ReadFile(inf), rule == 0 ? 5 : 2);
}

// machine.ini loads, or is refused as a machine folder's fault; loaded, its events run.
std::string CheckMachineIni(const std::string& text) {
    vm::VirtualMachine m;
    try {
        vm::ApplyMachineIni(text, "machine.ini", m);
        std::uint32_t root = 0;
        if (m.CM_Locate_DevNode(root, std::nullopt, 0) == platform::CR_SUCCESS) m.CM_Reenumerate_DevNode(root, 0);
        m.Sleep(10'000'000);  // every event that comes within the time limit
    } catch (const vm::MachineFolderError&) {
    } catch (const vm::VirtualTimeLimit&) {
    }
    return "";
}

// REGEDIT4 text is refused, or read into a registry that saves to text reading back the same.
std::string CheckRegFile(const std::string& text) {
    vm::Registry parsed;
    try {
        parsed = vm::Registry::ParseRegFile(text);
    } catch (const vm::Registry::ParseError&) {
        return "";
    }
    try {
        return vm::Registry::ParseRegFile(parsed.ExportRegFile()) == parsed ? "" : "the saved registry reads back otherwise";
    } catch (const vm::Registry::ParseError& error) {
        return std::string("the saved registry does not read back: ") + error.what();
    }
}

// A section, a key and a value, each ended by a NUL byte, then a profile
// file: the key written reads back as the value without blanks and quotes.
std::string CheckProfile(const std::string& input) {
    // As a program can write them: no line breaks, no Ctrl-Z (a blank to the
    // profile functions), no ']' in a section, no '=' or '[' in a key.
    std::string parts[3];
    std::size_t start = 0;
    for (int i = 0; i < 3 && input.find('\0', start) != std::string::npos; start = input.find('\0', start) + 1, ++i) {
        for (char c : input.substr(start, input.find('\0', start) - start)) {
            if (c != '\r' && c != '\n' && c != '\x1A' && !(i == 0 && c == ']') && !(i == 1 && (c == '=' || c == '['))) parts[i] += c;
        }
    }
    const std::string content = input.substr(start), section = parts[0], value = parts[2];
    std::string key = vm::text::TrimBlanks(parts[1]), expected = vm::text::TrimBlanks(value);
    while (!key.empty() && key[0] == ';') key = vm::text::TrimBlanks(key.substr(1));
    if (expected.size() > 1 && (expected[0] == '"' || expected[0] == '\'') && expected.back() == expected[0]) {
        expected = expected.substr(1, expected.size() - 2);
    }
    const std::string after = vm::profile::WriteString(content, section, key, value, vm::profile::System::Win9x);
    return vm::profile::ReadString(after, section, key) == expected ? "" : "[" + section + "] " + key + " does not read back";
}

}  // namespace fuzzing
