#include "startup/log_header.h"

#include "environment/install_options.h"
#include "environment/source_folder.h"
#include "startup/log_guard.h"

namespace setup {

namespace {

// Numbers without the C run-time's printf, which setup.exe does without.
std::string Padded(int number, std::size_t digits) {
    std::string text = std::to_string(number);
    return text.size() < digits ? std::string(digits - text.size(), '0') + text : text;
}

// "; setup.ini: DriverOnly=0 ... UsingCDDA=0": the numbers the run went by.
std::string SetupIniLine(const RunFacts& facts) {
    std::string line = "; setup.ini:";
    for (const SetupIniKey& key : kSetupIniKeys) {
        if (key.option) line += std::string(" ") + key.name + "=" + std::to_string(facts.options.*key.option);
    }
    return line + " UsingCDDA=" + std::to_string(facts.usingCdda);
}

}  // namespace

RunFacts GatherRunFacts(platform::Platform& machine) {
    RunFacts facts;
    facts.programPath = machine.ProgramPath();
    facts.commandLine = machine.CommandLine();
    facts.version = machine.GetVersionEx();
    facts.time = machine.GetLocalTime();
    facts.startFolder = machine.GetCurrentDirectory().value_or("(unknown)");
    facts.windowsFolder = machine.GetWindowsDirectory();
    facts.systemFolder = machine.GetSystemDirectory();
    const std::string sourceFolder = DetermineSourceFolder(machine);
    facts.options = ReadInstallOptions(machine, sourceFolder);
    facts.usingCdda = ReadUsingCdda(machine, sourceFolder);
    return facts;
}

std::vector<std::string> LogHeader(const RunFacts& facts) {
    const platform::OsVersionInfo& v = facts.version;
    // Windows 9x keeps the version in the build number's high word.
    const std::uint32_t build = v.platformId == 1 ? v.buildNumber & 0xFFFF : v.buildNumber;
    const platform::LocalTime& t = facts.time;
    return {
        std::string(kLogFirstLineStart) + " " + kProgramVersion + " log",
        "; command line: " + facts.programPath + (facts.commandLine.empty() ? "" : " " + facts.commandLine),
        "; Windows: platform " + std::to_string(v.platformId) + ", version " + std::to_string(v.majorVersion) + "." +
            std::to_string(v.minorVersion) + "." + std::to_string(build) + ", \"" + v.csdVersion + "\"",
        "; local time: " + Padded(t.year, 4) + "-" + Padded(t.month, 2) + "-" + Padded(t.day, 2) + " " + Padded(t.hour, 2) +
            ":" + Padded(t.minute, 2) + ":" + Padded(t.second, 2),
        "; start folder: " + facts.startFolder,
        "; Windows folder: " + facts.windowsFolder + ", system folder: " + facts.systemFolder,
        SetupIniLine(facts),
    };
}

}  // namespace setup
