// The cleanup operations on the real Win32 backend under Wine, through
// cleanup_runner.exe: the present device, the registry purge, the INF files,
// the retirement lines of WININIT.INI and the "run" entry of WIN.INI.
//
// Wine answers like Windows NT where the two families differ: the device
// tree lives under System\CurrentControlSet\Enum, HKEY_CLASSES_ROOT is
// HKLM\Software\Classes, and WIN.INI's [Windows] section is mapped to the
// user's "Windows NT\CurrentVersion\Windows" key.
#include <gtest/gtest.h>

#include <iostream>
#include <memory>

#include "harness.h"

namespace winetest {
namespace {

constexpr const char* kRunner = "C:\\cleanup\\cleanup_runner.exe";
constexpr const char* kRunnerLog = "C:\\cleanup\\steps.log";
constexpr const char* kRegistryFile = "C:\\cleanup\\earlier-driver.reg";
constexpr const char* kWininit = "C:\\windows\\WININIT.INI";
constexpr const char* kWinIniMapping = "HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
constexpr const char* kMedia = "HKLM\\System\\CurrentControlSet\\services\\Class\\MEDIA";
constexpr const char* kResources = "HKLM\\System\\CurrentControlSet\\control\\MediaResources";
constexpr const char* kDeviceTree = "HKLM\\System\\CurrentControlSet\\Enum";
constexpr const char* kAudioDevice = "PCI\\VEN_1D9C&DEV_0111&SUBSYS_01111D9C&REV_02";

std::string CleanupRunnerExe() { return std::string(WINE_TESTS_WIN64_DIR) + "/cleanup_runner.exe"; }

// REG_MULTI_SZ as REGEDIT4 writes it.
std::string MultiSz(const std::vector<std::string>& texts) {
    static const char digits[] = "0123456789abcdef";
    std::string bytes;
    for (const std::string& text : texts) bytes += text + '\0';
    bytes += '\0';
    std::string hex = "hex(7):";
    for (size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(bytes[i]);
        hex += std::string(i ? "," : "") + digits[byte >> 4] + digits[byte & 0xF];
    }
    return hex;
}

std::string Device(const std::string& instance, const std::vector<std::string>& hardwareIds) {
    return "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Enum\\" + instance + "]\r\n\"HardwareID\"=" +
           MultiSz(hardwareIds) + "\r\n\"ClassGUID\"=\"{4d36e96c-e325-11ce-bfc1-08002be10318}\"\r\n\r\n";
}

// An earlier driver's traces among other drivers' entries, as REGEDIT4 text.
std::string EarlierDriverRegistry() {
    const std::string hklm = "[HKEY_LOCAL_MACHINE\\";
    const std::string hkcr = "[HKEY_CLASSES_ROOT\\";
    const std::string media = hklm + "System\\CurrentControlSet\\services\\Class\\MEDIA\\";
    const std::string resources = hklm + "System\\CurrentControlSet\\control\\MediaResources\\";
    return "REGEDIT4\r\n\r\n" + media + "0003]\r\n\"ProviderName\"=\"Orvanta\"\r\n\r\n" + media +
           "0003\\Drivers\\wave]\r\n\r\n" + media + "0004]\r\n\"ProviderName\"=\"Other Maker\"\r\n\r\n" + resources +
           "wave\\OVWAVE0003A]\r\n\r\n" + resources + "midi\\OVMIDI0003B]\r\n\r\n" + resources +
           "wave\\OTHER0004A]\r\n\r\n" + hklm + "Enum\\PCI\\VEN_8086&DEV_7000\\BUS_00&DEV_01&FUNC_00]\r\n\r\n" +
           hklm + "Enum\\PCI\\" + kAudioDevice + "\\BUS_00&DEV_0A&FUNC_00]\r\n\"Class\"=\"MEDIA\"\r\n\r\n" + hklm +
           "Enum\\PCI\\VEN_1D9C&DEV_0112\\BUS_00&DEV_0B&FUNC_00]\r\n\r\n" + hklm +
           "Enum\\PCI\\VEN_1D9C&DEV_0211\\BUS_00&DEV_0C&FUNC_00]\r\n\r\n" + hklm + "Enum\\OVX\\CHILD0000\\0]\r\n\r\n" +
           hklm + "Enum\\OVX\\XCHILD0001]\r\n\r\n" + hklm + "Enum\\VIRTUAL\\SSC-SWMIDI\\0000]\r\n\r\n" + hklm +
           "Enum\\VIRTUAL\\SSC-JOYSTK]\r\n\r\n" + hkcr + "Audio3D]\r\n@=\"3D\"\r\n\r\n" + hkcr +
           "CLSID\\{D8F1EEE0-F634-11CF-8700-00A0245D918B}\\InprocServer32]\r\n\r\n" + hklm +
           "SOFTWARE\\ASIO\\OVX4720 ASIO]\r\n\"CLSID\"=\"x\"\r\n\r\n" + hkcr +
           "CLSID\\{188135E1-D565-11d2-854F-00A0C99F5D19}\\InprocServer32]\r\n\r\n" +
           Device(std::string(kAudioDevice) + "\\4&1&0&08", {kAudioDevice, "PCI\\VEN_1D9C&DEV_0111"}) +
           Device(std::string(kAudioDevice) + "\\4&1&0&10", {kAudioDevice, "PCI\\VEN_1D9C&DEV_0111"}) +
           Device("ROOT\\OVLOWER\\0000", {"pci\\ven_1d9c&dev_0111&rev_01"});
}

std::string Inf(const std::string& key, const std::string& value) {
    return "[Version]\r\nSignature=\"$CHICAGO$\"\r\n\r\n[Strings]\r\n" + key + "=\"" + value + "\"\r\n";
}

class CleanupUnderWine : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string missing = MissingPrerequisites({CleanupRunnerExe()});
        ASSERT_TRUE(missing.empty()) << missing;
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        prefix_ = std::make_unique<WinePrefix>(std::string(test->test_suite_name()) + "." + test->name(), "win98");
        prefix_->CopyIn(CleanupRunnerExe(), kRunner);
    }

    void TearDown() override {
        if (HasFailure() && prefix_) {
            prefix_->KeepForInspection();
            std::cout << "Wine prefix kept: " << prefix_->root() << "\nWine output: " << prefix_->OutputLog() << "\n";
        }
    }

    void ImportRegistry(const std::string& text) {
        prefix_->PutFile(kRegistryFile, text);
        const RunResult imported = prefix_->Run("reg", {"import", kRegistryFile});
        ASSERT_FALSE(imported.timed_out);
        ASSERT_EQ(imported.exit_code, 0) << "reg import failed";
    }

    // Runs the steps and waits for Wine to save the registry; the runner's
    // log lines.
    std::vector<std::string> RunSteps(const std::vector<std::string>& steps) {
        std::vector<std::string> arguments = {kRunnerLog};
        arguments.insert(arguments.end(), steps.begin(), steps.end());
        const RunResult run = prefix_->Run(kRunner, arguments);
        EXPECT_FALSE(run.timed_out) << "cleanup_runner.exe did not end";
        EXPECT_EQ(run.exit_code, 0);
        EXPECT_TRUE(prefix_->Shutdown());
        std::vector<std::string> lines;
        const std::string log = prefix_->ReadFile(kRunnerLog).value_or("");
        for (size_t start = 0; start < log.size();) {
            const size_t end = log.find("\r\n", start);
            lines.push_back(log.substr(start, end - start));
            start = end == std::string::npos ? log.size() : end + 2;
        }
        return lines;
    }

    std::unique_ptr<WinePrefix> prefix_;
};

TEST_F(CleanupUnderWine, DriverFlowOrderRemovesDevicePurgesRegistryAndDeletesInfFiles) {
    ImportRegistry(EarlierDriverRegistry());
    ASSERT_TRUE(prefix_->Shutdown());
    const std::vector<std::pair<std::string, std::string>> infFiles = {
        {"C:\\windows\\inf\\OTHER\\OVXLEG.INF", Inf("SSC-Legacy.DeviceDesc", "OVX4720 Legacy Audio")},
        {"C:\\windows\\inf\\OTHER\\OVXLEG.PNF", "pnf"},
        {"C:\\windows\\inf\\OTHER\\MODEM.INF", Inf("SSC-Legacy.DeviceDesc", "ovx4720 lower case")},
        {"C:\\windows\\inf\\OEM3.INF", Inf("WDM_OVPCI.Wave.szPname", "Orvanta PCI Wave")},
        {"C:\\windows\\inf\\OEM3.PNF", "pnf"},
        {"C:\\windows\\inf\\oem4.inf", Inf("WDM_OVPCI.Wave.szPname", "Other Wave")},
        {"C:\\windows\\inf\\OVAUDIO.INF", Inf("SSC-Legacy.DeviceDesc", "OVAUDIO")},
    };
    for (const auto& [path, content] : infFiles) prefix_->PutFile(path, content);
    prefix_->PutFile("C:\\windows\\system\\OVAUDIO.VXD", "vxd");

    const std::vector<std::string> log = RunSteps({"device", "purge", "files:0"});

    EXPECT_EQ(log, (std::vector<std::string>{std::string("device\t1\t") + kAudioDevice, "purge\t0", "files\t0"}));

    // The first of two like cards went; a lower-case ID did not match.
    const bool first = prefix_->HasRegistryKey(std::string(kDeviceTree) + "\\" + kAudioDevice + "\\4&1&0&08");
    const bool second = prefix_->HasRegistryKey(std::string(kDeviceTree) + "\\" + kAudioDevice + "\\4&1&0&10");
    EXPECT_NE(first, second) << "exactly one of the two devices is removed";
    EXPECT_TRUE(prefix_->HasRegistryKey(std::string(kDeviceTree) + "\\ROOT\\OVLOWER\\0000"));

    struct Key {
        std::string name;
        bool gone;
    };
    const Key keys[] = {
        {std::string(kMedia) + "\\0003", true},
        {std::string(kMedia) + "\\0004", false},
        {std::string(kResources) + "\\wave\\OVWAVE0003A", true},
        {std::string(kResources) + "\\midi\\OVMIDI0003B", true},
        {std::string(kResources) + "\\wave\\OTHER0004A", false},
        {std::string("HKLM\\Enum\\PCI\\") + kAudioDevice, true},
        {"HKLM\\Enum\\PCI\\VEN_1D9C&DEV_0112", true},
        {"HKLM\\Enum\\PCI\\VEN_1D9C&DEV_0211\\BUS_00&DEV_0C&FUNC_00", false},
        {"HKLM\\Enum\\PCI\\VEN_8086&DEV_7000\\BUS_00&DEV_01&FUNC_00", false},
        {"HKLM\\Enum\\OVX\\CHILD0000", true},
        {"HKLM\\Enum\\OVX\\XCHILD0001", false},
        {"HKLM\\Enum\\VIRTUAL\\SSC-SWMIDI", true},
        {"HKLM\\Enum\\VIRTUAL\\SSC-JOYSTK", true},
        {"HKLM\\Software\\Classes\\Audio3D", true},
        {"HKLM\\Software\\Classes\\CLSID\\{D8F1EEE0-F634-11CF-8700-00A0245D918B}", true},
        {"HKLM\\SOFTWARE\\ASIO", true},
        {"HKLM\\Software\\Classes\\CLSID\\{188135E1-D565-11d2-854F-00A0C99F5D19}", true},
        {"HKLM\\Software\\Classes\\CLSID", false},
    };
    for (const Key& key : keys) EXPECT_NE(prefix_->HasRegistryKey(key.name), key.gone) << key.name;

    const std::pair<const char*, bool> files[] = {
        {"C:\\windows\\inf\\OTHER\\OVXLEG.INF", true}, {"C:\\windows\\inf\\OTHER\\OVXLEG.PNF", true},
        {"C:\\windows\\inf\\OTHER\\MODEM.INF", false}, {"C:\\windows\\inf\\OEM3.INF", true},
        {"C:\\windows\\inf\\OEM3.PNF", true},          {"C:\\windows\\inf\\oem4.inf", false},
        {"C:\\windows\\inf\\OVAUDIO.INF", true},       {"C:\\windows\\inf\\input.inf", false},
        {"C:\\windows\\system\\OVAUDIO.VXD", false},
    };
    for (const auto& [path, gone] : files) EXPECT_NE(prefix_->Exists(path), gone) << path;

    // Without the retirement request neither profile is written.
    EXPECT_FALSE(prefix_->Exists(kWininit));
    EXPECT_EQ(prefix_->RegistryText(kWinIniMapping, "run"), "(missing)");
}

TEST_F(CleanupUnderWine, RetirementTakesEffectAtTheNextStart) {
    prefix_->PutFile("C:\\windows\\system\\SMIDI32P.DLL", "dll");
    prefix_->PutFile("C:\\windows\\system\\OVAUDIO.VXD", "vxd");
    prefix_->PutFile("C:\\windows\\system32\\drivers\\OVPCI.SYS", "sys");
    prefix_->SetRegistryString(kWinIniMapping, "run", "C:\\OV\\OVTRAY.EXE");

    // Twice in one session: the second retirement adds no line.
    EXPECT_EQ(RunSteps({"files:1", "files:1"}), (std::vector<std::string>{"files\t1", "files\t1"}));
    EXPECT_EQ(prefix_->ReadFile(kWininit).value_or("(no WININIT.INI)"),
              "[rename]\r\n"
              "C:\\windows\\SYSTEM\\OVAUDIO.OLD=C:\\windows\\SYSTEM\\OVAUDIO.VXD\r\n"
              "C:\\windows\\SYSTEM\\SMIDI32.OLD=C:\\windows\\SYSTEM\\SMIDI32P.DLL\r\n"
              "C:\\windows\\SYSTEM32\\DRIVERS\\OVPCI.OLD=C:\\windows\\SYSTEM32\\DRIVERS\\OVPCI.SYS\r\n");
    EXPECT_EQ(prefix_->RegistryText(kWinIniMapping, "run"), " ");
    EXPECT_TRUE(prefix_->Exists("C:\\windows\\system\\OVAUDIO.VXD")) << "nothing moves before the restart";

    // Wine's start-up carries out WININIT.INI as Windows 9x does.
    EXPECT_EQ(RunSteps({"files:0"}), std::vector<std::string>{"files\t0"});
    const std::pair<const char*, const char*> moved[] = {
        {"C:\\windows\\system\\OVAUDIO.OLD", "vxd"},
        {"C:\\windows\\system\\SMIDI32.OLD", "dll"},
        {"C:\\windows\\system32\\drivers\\OVPCI.OLD", "sys"},
    };
    for (const auto& [path, content] : moved) EXPECT_EQ(prefix_->ReadFile(path), content) << path;
    EXPECT_FALSE(prefix_->Exists("C:\\windows\\system\\OVAUDIO.VXD"));
    EXPECT_FALSE(prefix_->Exists("C:\\windows\\system\\SMIDI32P.DLL"));
}

}  // namespace
}  // namespace winetest
