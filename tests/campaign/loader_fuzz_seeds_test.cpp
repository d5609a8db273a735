// The loader and profile fuzz targets' promises, kept on their seeds in
// every build: the bundled machine, every campaign flow's machine, and the
// awkward shapes the fuzzers start from.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "campaign/scenario.h"
#include "fuzz/loader_properties.h"

namespace {

std::string ExampleFile(const std::string& name) {
    std::ifstream in(std::string(SETUP_SOURCE_DIR) + "/examples/win98se-cd/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<campaign::Scenario> FlowScenarios() {
    std::vector<campaign::Scenario> scenarios;
    for (const campaign::Flow& flow : campaign::Flows()) {
        scenarios.push_back(campaign::BuildScenario(flow, campaign::DefaultEnvironment(flow)));
    }
    return scenarios;
}

TEST(LoaderFuzzSeeds, MachineIniLoadsOrNamesItsFaultyLine) {
    std::vector<std::string> texts = {
        ExampleFile("machine.ini"),
        "",
        "[Machine]\nWindows = 12\n",
        "no section\n",
        "[Machine]\r\nTimeLimit = 0\r\n[Events]\r\nat 5 = mixer-devices 3\r\n",
        "[Events]\nat 5 = registry-set HKLM\\A | B | dword:1\nreenumeration 9 = registry-delete HKLM\\A | B\n",
        "[Events]\nat 1 = registry-set HKLM | @ | \"x\"\nat 2 = registry-delete HKCU\n",
        "[Events]\nat 1 = file-remove E:\\\nat 2 = file-put C:\\A\\B.TXT | text\nat 3 = file-put :: | x\n",
        "[Events]\nat 99999999999999 = device-add PCI\\X\nat 4 = window-open A\nat 5 = window-close A\n",
        "[Faults]\n* = random 1e400 seed 1\n",
        "[Faults]\n* = random nan\n",
        "[Faults]\n* = random 0.5 seed 3\n[Events]\nreenumeration 1 = mixer-devices 1\n",
        "[Dialogs]\n999999999999999 = click 1\n",
        "[Attributes]\nC:\\NONE.TXT = R\n",
        "[Answers]\nx = OK after\n",
        "[Programs]\nA.EXE = runs 1, exit, idle 2\n",
        std::string("[Machine]\nWindowsFolder = C:\\\0WIN\n", 31),
    };
    for (const campaign::Scenario& scenario : FlowScenarios()) texts.push_back(scenario.machineIni);
    for (const std::string& text : texts) EXPECT_EQ(fuzzing::CheckMachineIni(text), "") << text;
}

TEST(LoaderFuzzSeeds, RegFileReadsBackAsSaved) {
    std::vector<std::string> texts = {
        ExampleFile("registry.reg"),
        "",
        "REGEDIT4",
        "REGEDIT4\r\n[HKLM\\A]\r\n\"a\"=hex:01,\\\r\n  02\r\n",
        "REGEDIT4\r\n[HKLM\\A]\r\n\"a\"=hex:01,\\\r\n",
        "REGEDIT4\r\n[HKLM\\a]b]\r\n@=\"x\\\\y\\\"z\"\r\n\"\"=dword:1\r\n",
        "REGEDIT4\r\n[HKEY_LOCAL_MACHINE]\r\n\"root\"=hex(0):\r\n[-HKLM\\A]\r\n[HKLM\\-x]\r\n",
        std::string("REGEDIT4\r\n[HKLM\\\0]\r\n\"v\"=\"\0\"\r\n", 28),
        "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n[HKCU\\S]\r\n\"m\"=hex(7):41,00,00\r\n",
        "REGEDIT4\r\n\"orphan\"=\"x\"\r\n",
        "\xFF\xFEREGEDIT4",
    };
    for (const campaign::Scenario& scenario : FlowScenarios()) texts.push_back(scenario.registry.ExportRegFile());
    for (const std::string& text : texts) EXPECT_EQ(fuzzing::CheckRegFile(text), "") << text;
}

TEST(LoaderFuzzSeeds, ProfileWritesReadBack) {
    const std::string setupIni = ExampleFile("E/setup.ini");
    const std::string key = std::string("InstallOption\0WebSetup\0 \"1\" \0", 29);
    const std::vector<std::string> inputs = {
        key + setupIni,
        key,
        std::string("rename\0NUL\0C:\\WINDOWS\\Mixer.old\0", 33) + "[rename]\r\nNUL=C:\\TEMP.TMP",
        std::string("New\0Key\0\0", 9) + "[Old]\rA=1\r",
        std::string(" s \0 ;k \0 'v' \0", 15) + "[s]\n;k=1\nk = 2\n[s]\nk=3",
        std::string("s\0k\0v\0", 6) + "[s\r\nk=1\r\n[s]\r\n=x\r\n",
        "no separators at all",
    };
    for (const std::string& input : inputs) EXPECT_EQ(fuzzing::CheckProfile(input), "") << input;
}

}  // namespace
