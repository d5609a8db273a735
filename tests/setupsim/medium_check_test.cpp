// setupsim check: each kind of finding on a medium broken on purpose, the
// clean examples, setup.ini and INF files line by line, and the plan of
// driver folders and installers.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "medium_test_support.h"
#include "setupsim/inf_check.h"
#include "setupsim/medium_check.h"
#include "setupsim/setup_ini_check.h"
#include "setupsim/system_plan.h"
#include "startup/install_options.h"

namespace {

using namespace medium_test;
using setupsim::Severity;

TEST(MediumCheckTest, BrokenMediumShowsEachKindOfFinding) {
    const setupsim::CheckReport report = setupsim::CheckMedium(setupsim::LoadMedium(kExamples + "broken-medium"));
    const std::vector<setupsim::Finding> findings = AllFindings(report);
    struct Row {
        Severity severity;
        const char* fragment;
    } rows[] = {
        {Severity::Warning, "WIN_ME\\ is present too, but the program never uses it"},
        {Severity::Warning, "\"windowsMEDriver\" differs from \"WindowsMEDriver\" only in case"},
        {Severity::Error, "\"Windows98SEDriverAskUsr\" looks like a misspelt \"Windows98SEDriverAskUser\""},
        {Severity::Error, "DriverOnly = \"no\" is not a number: the program reads 0"},
        {Severity::Warning, "\"Colour\" is not a key the program reads"},
        {Severity::Error, "Windows 95, VxD driver: the driver folders W95-98\\drv\\95\\ and W95-98\\drv\\ are missing"},
        {Severity::Warning, "Windows 95, VxD driver: the applications installer W95-98\\app\\Setup.exe is missing; "
                            "the program falls back to W2K-ME\\app\\Setup.exe"},
        {Severity::Error, "Windows NT 4.0: the applications installer NT40\\app\\Setup.exe is missing"},
        {Severity::Error, "Windows XP: neither W2KSetup.dat nor W2KSetup.exe is on the medium"},
        {Severity::Warning, "Dosdrv\\ is missing"},
        {Severity::Error, "ovaudio.cat is missing from W2K-ME\\drv\\"},
        {Severity::Warning, "Mixer.dat is missing from W2K-ME\\drv\\"},
        {Severity::Error, "W2K-ME\\drv\\OVKS.Inf: the program looks for \".inf\" or \".INF\""},
        {Severity::Error, "OVAUDIO.INF has no line HKR,\"Settings\",\"EnableLegacy\""},
        {Severity::Error, "OVAUDIO.INF line 33 differs by blanks from the line the rule looks for"},
        {Severity::Error, "OVAUDIO.INF line 8 [SourceDiskNames] looks like a misspelt [SourceDisksNames]"},
        {Severity::Warning, "OVAUDIO.INF has 37 line ends that are an LF alone"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(CountFindings(findings, row.severity, row.fragment), 1u) << row.fragment << "\n" << Describe(findings);
    }
    const Output cli = Setupsim({"check", kExamples + "broken-medium"});
    EXPECT_EQ(cli.code, 1);
    EXPECT_NE(cli.out.find("setupsim check: medium folder"), std::string::npos);
    EXPECT_NE(cli.out.find("\n  error: line 5: "), std::string::npos) << cli.out;
}

TEST(MediumCheckTest, CleanExamplesHaveNoErrors) {
    struct Row {
        const char* example;
        const char* found;  // how the report names what it read
        bool warnings;      // the Windows 98 SE example's medium carries no INF files
    } rows[] = {
        {"win98se-cd", "machine folder", true},
        {"win98se-cd/E", "medium folder", true},
        {"flat-package", "medium folder", false},
    };
    for (const Row& row : rows) {
        const Output plain = Setupsim({"check", kExamples + row.example});
        EXPECT_EQ(plain.code, 0) << row.example << "\n" << plain.out << plain.err;
        EXPECT_EQ(plain.out.rfind(std::string("setupsim check: ") + row.found, 0), 0u) << plain.out;
        EXPECT_NE(plain.out.find("\n0 errors,"), std::string::npos) << plain.out;
        const Output strict = Setupsim({"check", "--strict", kExamples + row.example});
        EXPECT_EQ(strict.code, row.warnings ? 1 : 0) << row.example;
    }
}

TEST(MediumCheckTest, JsonFindingsAndUsageErrors) {
    const Output json = Setupsim({"check", "--json", kExamples + "broken-medium"});
    EXPECT_EQ(json.code, 1);
    const nlohmann::json report = nlohmann::json::parse(json.out);
    EXPECT_GT(report["errors"].get<int>(), 0);
    std::size_t errors = 0;
    for (const auto& finding : report["findings"]) errors += finding["severity"] == "error" ? 1 : 0;
    EXPECT_EQ(errors, report["errors"].get<std::size_t>());

    struct Row {
        std::vector<std::string> args;
        const char* mentions;
    } rows[] = {
        {{"check"}, "MEDIUM"},
        {{"check", kExamples + "no-such-medium"}, "is not a folder"},
        {{"matrix", kExamples + "no-such-medium"}, "is not a folder"},
    };
    for (const Row& row : rows) {
        const Output result = Setupsim(row.args);
        EXPECT_EQ(result.code, 2) << result.err;
        EXPECT_NE(result.err.find(row.mentions), std::string::npos) << result.err;
    }
}

TEST(MediumCheckTest, MachineFolderGivesTheFolderOfItsProgram) {
    namespace fs = std::filesystem;
    const fs::path machine = fs::temp_directory_path() / ("medium-check-" + std::to_string(::getpid()));
    fs::remove_all(machine);
    fs::create_directories(machine / "E" / "Drivers" / "W2K-ME" / "drv");
    std::ofstream(machine / "machine.ini") << "[Machine]\nProgramPath = E:\\Drivers\\setup.exe\n";
    std::ofstream(machine / "E" / "Drivers" / "setup.exe") << "MZ";
    std::ofstream(machine / "E" / "Drivers" / "W2K-ME" / "drv" / "ovwdm.sys") << "MZ";
    std::ofstream(machine / "E" / "other.txt") << "not on the medium";

    const setupsim::Medium medium = setupsim::LoadMedium(machine.string());
    std::vector<std::string> paths;
    for (const setupsim::MediumEntry& entry : medium.entries) paths.push_back(entry.path);
    // Name order, upper case first, as machine folders load.
    EXPECT_EQ(paths, (std::vector<std::string>{"W2K-ME", "W2K-ME\\drv", "W2K-ME\\drv\\ovwdm.sys", "setup.exe"}));
    EXPECT_NE(medium.origin.find("E:\\Drivers\\"), std::string::npos) << medium.origin;

    std::ofstream(machine / "machine.ini") << "[Machine]\nProgramPath = E:\\Elsewhere\\setup.exe\n";
    EXPECT_THROW(setupsim::LoadMedium(machine.string()), setupsim::MediumError);
    fs::remove_all(machine);
}

TEST(MediumCheckSetupIniTest, KeysAndValuesAsTheProgramReadsThem) {
    struct Row {
        const char* text;  // nullptr: no setup.ini
        Severity severity;
        const char* fragment;  // nullptr: no finding at all
    } rows[] = {
        {"[InstallOption]\r\nDriverOnly=1\r\nWindowsMEDriver=-1\r\n[Default]\r\nUsingCDDA=007\r\n", Severity::Ok, nullptr},
        {nullptr, Severity::Warning, "there is no setup.ini"},
        {"[InstallOption]\nDriverOnly=1x\n", Severity::Error, "\"1x\" is not a number: the program reads 1"},
        {"[InstallOption]\nDriverOnly=1 ; yes\n", Severity::Warning, "reads 1 and ignores the text after it"},
        {"[InstallOption]\nDriverOnly=yes\n", Severity::Error, "\"yes\" is not a number: the program reads 0"},
        {"[InstallOption]\nWebSetup=+1\n", Severity::Error, "\"+1\" is not a number: the program reads 0"},
        {"[InstallOption]\nDriverOnly=0x10\n", Severity::Error, "the program reads 0"},
        {"[InstallOption]\nWindowsMEDriver=\n", Severity::Error, "is empty: the program reads 0, not the default 1"},
        {"[InstallOption]\nDriverOnly=\n", Severity::Warning, "is empty: the program reads 0"},
        {"[InstallOption]\nDriverOnly=4294967297\n", Severity::Error, "is out of range: the program reads 1"},
        {"[InstallOption]\ndriveronly=1\n", Severity::Warning, "only in case; the profile functions ignore case"},
        {"[InstallOption]\nDriverOnlyy=1\n", Severity::Error, "looks like a misspelt \"DriverOnly\""},
        {"[InstallOption]\nWebSetu=1\n", Severity::Error, "so \"WebSetup\" keeps its default 0"},
        {"[InstallOption]\nDriverOnly=1\nDrverOnly=1\n", Severity::Warning, "(\"DriverOnly\" is set as well)"},
        {"[InstallOption]\nColour=blue\n", Severity::Warning, "\"Colour\" is not a key the program reads"},
        {"[InstallOptions]\nDriverOnly=1\n", Severity::Error, "looks like a misspelt [InstallOption]"},
        {"[Extras]\nDriverOnly=1\n", Severity::Warning, "[Extras] is not a section the program reads"},
        {"[installoption]\nDriverOnly=1\n", Severity::Warning, "differs from [InstallOption] only in case"},
        {"[InstallOption]\nUsingCDDA=1\n", Severity::Error, "is read from [Default], not from [InstallOption]"},
        {"[InstallOption]\nDriverOnly=1\nDriverOnly=0\n", Severity::Warning, "line 3: \"DriverOnly\" is set again: the program reads the one on line 2"},
        {"[InstallOption]\nDriverOnly=1\n[InstallOption]\nWebSetup=1\n", Severity::Warning, "line 3: [InstallOption] appears again"},
        {"DriverOnly=1\n[InstallOption]\n", Severity::Error, "stands before any section header"},
    };
    for (const Row& row : rows) {
        const std::optional<std::string> text = row.text ? std::optional<std::string>(row.text) : std::nullopt;
        const std::vector<setupsim::Finding> findings = setupsim::CheckSetupIni(text);
        const std::string context = std::string(row.text ? row.text : "(none)") + "\n" + Describe(findings);
        if (!row.fragment) {
            EXPECT_TRUE(findings.empty()) << context;
            continue;
        }
        ASSERT_EQ(findings.size(), 1u) << context;
        EXPECT_EQ(findings[0].severity, row.severity) << context;
        EXPECT_NE(findings[0].text.find(row.fragment), std::string::npos) << context;
    }
}

// A package INF of each kind as the rules want it, with CR LF line ends.
std::string Crlf(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

const std::string kVxdInf =
    "[Version]\nSignature=\"$CHICAGO$\"\n\n[SourceDisksNames]\n1=\"Orvanta VxD Audio Driver Disk\",,0001\n\n"
    "[OVX4720.AddReg]\nHKR,Config,DISMPU,1,0\nHKR,Config,DISJSTK,1,0\nHKR,Config,LINEINasREAR,1,1\n"
    "HKR,Config,LINEINasBASS,1,0\nHKR,Config,MICasBASS,1,0\n";
const std::string kWdmInf =
    "[Version]\nSignature=\"$CHICAGO$\"\n\n[SourceDisksNames]\n200=\"Orvanta WDM Audio Driver Disk\",,,\n\n"
    "[OVX4720.AddReg]\nHKR,\"Settings\",\"EnableLegacy\",    0x00010001,0x03,0,0,0\n"
    "HKR,\"Settings\",\"JackConfig\",      0x00010001,0x05,0,0,0\n";

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(MediumCheckInfTest, LinesTheRulesLookFor) {
    using setupsim::InfKind;
    const std::string vxd = Crlf(kVxdInf);
    const std::string wdm = Crlf(kWdmInf);
    struct Row {
        std::string content;
        InfKind kind;
        Severity severity;
        const char* fragment;
    } rows[] = {
        {vxd, InfKind::Vxd, Severity::Ok, "every line the rules edit and [SourceDisksNames] 1 are as the rules look for"},
        {wdm, InfKind::Wdm, Severity::Ok, "[SourceDisksNames] 200 are as the rules look for"},
        // A Settings line may go on after its 55 characters.
        {Replaced(wdm, "0x05,0,0,0", "0x05,0,0,0 ; jacks"), InfKind::Wdm, Severity::Ok, "are as the rules look for"},
        {Replaced(vxd, "DISMPU,1,0", "DISMPU,1,0 ; MIDI"), InfKind::Vxd, Severity::Error,
         "line 8 differs by a comment from the line the rule looks for: the Disable MIDI port choice"},
        {Replaced(vxd, "HKR,Config,DISJSTK", "hkr,config,DISJSTK"), InfKind::Vxd, Severity::Error,
         "line 9 differs by case from"},
        {Replaced(vxd, "HKR,Config,MICasBASS", "HKR, Config,MICASBASS"), InfKind::Vxd, Severity::Error,
         "line 12 differs by blanks and case from"},
        {Replaced(vxd, "LINEINasREAR,1,1", "LINEINasREAR,1,0"), InfKind::Vxd, Severity::Error,
         "differs by the value 0 where the rule expects 1"},
        {Replaced(wdm, "0x00010001,0x03", "0x00010001,0x01"), InfKind::Wdm, Severity::Error,
         "differs by the value 1 where the rule expects 3"},
        {Replaced(wdm, "\"JackConfig\",      ", "\"JackConfig\",     "), InfKind::Wdm, Severity::Error,
         "line 9 differs by blanks from the line the rule looks for: the phone-jack choice"},
        {Replaced(vxd, "HKR,Config,DISMPU,1,0\r\n", ""), InfKind::Vxd, Severity::Error,
         "has no line HKR,Config,DISMPU,1,0: the Disable MIDI port choice would silently change nothing"},
        {vxd.substr(0, vxd.size() - 2), InfKind::Vxd, Severity::Error,
         "line 12 differs by a missing line end (the last line of a file is never matched)"},
        {Replaced(vxd, "1=\"Orvanta", "2=\"Orvanta"), InfKind::Vxd, Severity::Error, "has no [SourceDisksNames] 1"},
        {Replaced(wdm, "200=\"Orvanta WDM Audio Driver Disk\",,,", "200="), InfKind::Wdm, Severity::Error,
         "has no [SourceDisksNames] 200 (or it is empty)"},
        {Replaced(wdm, "[SourceDisksNames]", "[SourceDiskNames]"), InfKind::Wdm, Severity::Error,
         "line 4 [SourceDiskNames] looks like a misspelt [SourceDisksNames]"},
        {kVxdInf, InfKind::Vxd, Severity::Warning, "has 12 line ends that are an LF alone"},
    };
    for (const Row& row : rows) {
        const std::vector<setupsim::Finding> findings = setupsim::CheckInfFile("OVAUDIO.INF", row.content, row.kind);
        EXPECT_EQ(findings.size(), 1u) << row.fragment << "\n" << Describe(findings);
        EXPECT_EQ(CountFindings(findings, row.severity, row.fragment), 1u) << row.fragment << "\n" << Describe(findings);
    }
}

TEST(MediumCheckInfTest, CrAloneHidesEveryLineFromTheRules) {
    std::string content = Crlf(kVxdInf);
    for (std::size_t at = content.find("\r\n"); at != std::string::npos; at = content.find("\r\n", at)) {
        content.erase(at + 1, 1);
    }
    const std::vector<setupsim::Finding> findings = setupsim::CheckInfFile("OV.INF", content, setupsim::InfKind::Vxd);
    EXPECT_EQ(CountFindings(findings, Severity::Error, "has no line HKR,Config,"), 5u) << Describe(findings);
    EXPECT_EQ(CountFindings(findings, Severity::Error, "line ends that are a CR alone"), 1u) << Describe(findings);
}

TEST(MediumCheckInfTest, KindOfAnInfInAFolderThatServesBoth) {
    EXPECT_EQ(setupsim::LikelyInfKind(Crlf(kVxdInf)), setupsim::InfKind::Vxd);
    EXPECT_EQ(setupsim::LikelyInfKind(Crlf(kWdmInf)), setupsim::InfKind::Wdm);
    // Two WDM lines outweigh a stray VxD one.
    EXPECT_EQ(setupsim::LikelyInfKind(Crlf(kWdmInf) + "HKR,Config,DISMPU,1,0\r\n"), setupsim::InfKind::Wdm);
}

}  // namespace

namespace {

// "98SE VxD W95-98\drv\98\ -> W95-98\app\Setup.exe", one per planned driver.
std::vector<std::string> PlannedDrivers(const setupsim::Medium& medium) {
    vm::VirtualMachine machine;
    setupsim::PutMedium(machine.Files(), medium);
    const setupsim::SystemsCheck systems =
        setupsim::CheckSystems(machine, setup::ReadInstallOptions(machine, setupsim::kMediumRoot));
    std::vector<std::string> planned;
    for (const setupsim::PlannedDriver& driver : systems.drivers) {
        planned.push_back(std::string(vm::ToString(driver.version)) + " " + (driver.vxd ? "VxD " : "WDM ") +
                          setupsim::OnMedium(driver.driverFolder) + (driver.asked ? " asked" : "") +
                          (driver.installer ? " -> " + setupsim::OnMedium(*driver.installer) : ""));
    }
    return planned;
}

TEST(MediumCheckSystemsTest, DriverFolderAndInstallerPerSystem) {
    const std::pair<std::string, std::string> perSystemFiles[] = {
        {"WIN_9x\\drv\\95\\ovaudio.vxd", "MZ"}, {"WIN_9x\\drv\\98\\ovaudio.vxd", "MZ"},
        {"WIN_ME\\drv\\ovwdm.sys", "MZ"},       {"WIN_9x\\app\\Setup.exe", "MZ"},
        {"WIN_ME\\app\\Setup.exe", "MZ"},       {"WIN_NT40\\app\\Setup.exe", "MZ"},
    };
    auto medium = [&](const std::string& setupIni, std::vector<std::pair<std::string, std::string>> files) {
        files.push_back({"setup.ini", setupIni});
        return MediumOf(files);
    };
    const std::vector<std::pair<std::string, std::string>> perSystem(std::begin(perSystemFiles), std::end(perSystemFiles));
    struct Row {
        setupsim::Medium medium;
        std::vector<std::string> planned;
    } rows[] = {
        {medium("", perSystem),
         {"95 VxD WIN_9x\\drv\\95\\ -> WIN_9x\\app\\Setup.exe", "98 VxD WIN_9x\\drv\\98\\ -> WIN_9x\\app\\Setup.exe",
          "98SE VxD WIN_9x\\drv\\98\\ -> WIN_9x\\app\\Setup.exe", "ME WDM WIN_ME\\drv\\ -> WIN_ME\\app\\Setup.exe"}},
        // The user is asked on 98 SE and ME; the 98 first edition follows Windows98SEDriver.
        {medium("[InstallOption]\nWindows98SEDriverAskUser=1\nWindowsMEDriverAskUser=1\nWindows98SEDriver=1\n", perSystem),
         {"95 VxD WIN_9x\\drv\\95\\ -> WIN_9x\\app\\Setup.exe", "98 WDM WIN_ME\\drv\\ -> WIN_ME\\app\\Setup.exe",
          "98SE VxD WIN_9x\\drv\\98\\ asked -> WIN_9x\\app\\Setup.exe",
          "98SE WDM WIN_ME\\drv\\ asked -> WIN_ME\\app\\Setup.exe",
          "ME VxD WIN_9x\\drv\\98\\ asked -> WIN_9x\\app\\Setup.exe", "ME WDM WIN_ME\\drv\\ asked -> WIN_ME\\app\\Setup.exe"}},
        // Without its system's folder the VxD driver comes from drv\ itself.
        {medium("[InstallOption]\nWindowsMEDriver=0\n",
                {{"W2K-ME\\app\\Setup.exe", "MZ"}, {"W95-98\\drv\\ovaudio.vxd", "MZ"}, {"W95-98\\app\\Setup.exe", "MZ"}}),
         {"95 VxD W95-98\\drv\\ -> W95-98\\app\\Setup.exe", "98 VxD W95-98\\drv\\ -> W95-98\\app\\Setup.exe",
          "98SE VxD W95-98\\drv\\ -> W95-98\\app\\Setup.exe", "ME VxD W95-98\\drv\\ -> W95-98\\app\\Setup.exe"}},
        // The option dialogs take the package folder; the WDM one refuses 95 and 98.
        {medium("[InstallOption]\nWebSetup=1\nInstallWDMDriver=1\n", {{"OVAUDIO.INF", ""}}),
         {"98SE WDM ", "ME WDM "}},
        {medium("[InstallOption]\nWebSetup=2\n", {{"OVAUDIO.INF", ""}}),
         {"95 VxD ", "98 VxD ", "98SE VxD ", "ME VxD "}},
    };
    for (const Row& row : rows) EXPECT_EQ(PlannedDrivers(row.medium), row.planned);
}

}  // namespace

namespace {

TEST(MediumCheckTest, TheOtherDriversInfIsLeftAlone) {
    const setupsim::Medium medium = MediumOf({{"setup.ini", "[InstallOption]\r\nWebSetup=1\r\nInstallWDMDriver=1\r\n"},
                                              {"OV9XAUD.INF", Crlf(kVxdInf)},
                                              {"OVAUDIO.INF", Crlf(kWdmInf)},
                                              {"ovaudio.cat", "catalog"},
                                              {"W2KSetup.exe", "MZ"}});
    const std::vector<setupsim::Finding> findings = AllFindings(setupsim::CheckMedium(medium));
    EXPECT_EQ(CountFindings(findings, Severity::Warning,
                            "OV9XAUD.INF looks like a VxD INF file, but only the WDM driver is staged from the package "
                            "folder"),
              1u)
        << Describe(findings);
    EXPECT_EQ(CountFindings(findings, Severity::Ok, "OVAUDIO.INF (WDM): every line"), 1u) << Describe(findings);
    EXPECT_EQ(CountFindings(findings, Severity::Error, ""), 0u) << Describe(findings);
}

TEST(MediumCheckTest, LinkBackIntoTheMediumIsRefused) {
    namespace fs = std::filesystem;
    const fs::path medium = fs::temp_directory_path() / ("medium-check-loop-" + std::to_string(::getpid()));
    fs::remove_all(medium);
    fs::create_directories(medium / "W2K-ME");
    fs::create_directory_symlink(medium, medium / "W2K-ME" / "again");
    const Output result = Setupsim({"check", medium.string()});
    EXPECT_EQ(result.code, 2);
    EXPECT_NE(result.err.find("a link leads back into a folder above it"), std::string::npos) << result.err;
    fs::remove_all(medium);
}

}  // namespace
