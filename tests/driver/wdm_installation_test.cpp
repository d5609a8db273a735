// The WDM driver installed from its option dialog on virtual machines whose
// Plug and Play answers on a timetable: the waits, counted exactly.
#include <gtest/gtest.h>

#include "driver/inf_test_support.h"
#include "platform/vm/machine_folder.h"
#include "platform/vm/profile.h"

namespace {

using testsupport::TestMachine;
using vm::WindowsVersion;

constexpr const char* kMedia = "System\\CurrentControlSet\\Services\\Class\\MEDIA";
constexpr const char* kSystray = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray";

// A machine whose mixer count can also rise between the first two reads,
// which no timed event can express.
struct WdmMachine : TestMachine {
    bool mixerRisesOnFirstCheck = false;
    int mixerReads = 0;

    explicit WdmMachine(WindowsVersion version, const std::string& extraIni = "") : TestMachine(version) {
        PutSetupIni("[InstallOption]\r\nWebSetup=1\r\nInstallWDMDriver=1\r\n");
        PutMedium("OVAUDIO.INF", inftest::TestInf("wdm/OVAUDIO.INF"));
        PutMedium("ovwdm.sys", "WDM");
        PutMedium("ovaudio.cat", "catalog");
        Files().PutFile(settings.systemFolder + "\\SYSTRAY.EXE", "MZ");
        Files().PutFile("C:\\WINDOWS\\mixerdef.ini", "[RUNTIME]\r\nInitialize=1\r\n");
        Files().PutFile("C:\\WINDOWS\\INF\\Drvdata.bin", "db");
        Files().PutDirectory("C:\\WINDOWS\\OPTIONS\\CABS");
        vm::Registry registry = vm::Registry::ParseRegFile(
            "REGEDIT4\r\n"
            "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray]\r\n"
            "\"Services\"=dword:00000005\r\n"
            "[HKEY_USERS\\.DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray]\r\n"
            "\"Services\"=dword:00000007\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Setup]\r\n"
            "\"SourcePath\"=\"C:\\\\WINDOWS\\\\OPTIONS\\\\CABS\"\r\n"
            "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\MEDIA\\0000]\r\n"
            "\"DriverDesc\"=\"OVX4720/R3DX PCI Audio Device\"\r\n"
            "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\MEDIA\\0000\\Settings]\r\n"
            "\"EnableLegacy\"=dword:00000002\r\n");
        Reg() = registry;
        SourceList().push_back("D:\\WIN98");
        Windows().push_back({"Mixer", "OVMixerFrame", true});
        Devices().push_back({{"PCI\\VEN_1D9C&DEV_0111&SUBSYS_01111D9C", "PCI\\VEN_1D9C&DEV_0111"}, true});
        vm::ApplyMachineIni(extraIni, "machine.ini", *this);
    }

    std::uint32_t mixerGetNumDevs() override {
        ++mixerReads;
        if (mixerRisesOnFirstCheck) return mixerReads == 1 ? 1 : 2;
        return vm::VirtualMachine::mixerGetNumDevs();
    }

    std::size_t Sleeps(std::uint32_t ms) {
        std::size_t count = 0;
        for (const auto& entry : GetJournal().OfKind("sleep")) count += entry.Get("ms") == std::to_string(ms);
        return count;
    }
};

TEST(WdmInstallationTest, WaitsCountedExactly) {
    struct Row {
        const char* name;
        bool risesOnFirstCheck;
        std::string events;
        const char* enableLegacy;
        std::size_t mixerWaits;      // 3000 ms
        std::size_t twoSecondWaits;  // the tray's or the game port's
        std::size_t windowPolls;     // 1000 ms, both window waits
    } rows[] = {
        {"mixer after 7 waits, tray after 2", false,
         "reenumeration 20000 = mixer-devices 1\nreenumeration 30000 = registry-set HKEY_CURRENT_USER\\" +
             std::string(kSystray) + " | Services | dword:00000005\n",
         "dword:00000002", 7, 2, 10},
        {"mixer never rises, tray never returns", false, "", "dword:00000002", 60, 30, 10},
        {"mixer at once: no tray wait; game port on pass 4", true,
         "reenumeration 10000 = registry-set HKEY_LOCAL_MACHINE\\" + std::string(kMedia) +
             "\\0001 | DriverDesc | \"OVX4720/R3DX PCI game port\"\n",
         "dword:00000003", 0, 3, 10},
        {"game port never comes: 20 passes", true, "", "dword:00000003", 0, 20, 10},
        {"installer windows from 1.5 s to 9 s", true,
         "reenumeration 1500 = window-open Found New Hardware | OVDNINST\n"
         "reenumeration 9000 = window-close Found New Hardware\n",
         "dword:00000002", 0, 0, 18},
    };
    for (const Row& row : rows) {
        WdmMachine machine(WindowsVersion::WinME, "[Events]\n" + row.events);
        machine.mixerRisesOnFirstCheck = row.risesOnFirstCheck;
        vm::Registry::Key* settings = machine.Reg().Find(platform::HKEY_LOCAL_MACHINE, std::string(kMedia) + "\\0000\\Settings");
        const std::string legacy = row.enableLegacy;
        vm::Registry::SetValue(*settings, "EnableLegacy", platform::REG_DWORD,
                               vm::Registry::DwordData(std::stoul(legacy.substr(6), nullptr, 16)));
        const setupsim::RunResult result = machine.Run();
        EXPECT_TRUE(result.restartRequested) << row.name;
        EXPECT_EQ(machine.Sleeps(3000), row.mixerWaits) << row.name;
        EXPECT_EQ(machine.Sleeps(2000), row.twoSecondWaits) << row.name;
        EXPECT_EQ(machine.Sleeps(1000), row.windowPolls) << row.name;
        EXPECT_EQ(machine.Sleeps(5000), 1u) << row.name;
    }
}

TEST(WdmInstallationTest, StagesPlacesAndHandsOverOnMe) {
    WdmMachine machine(WindowsVersion::WinME);
    machine.DialogScripts().push_back({131, {"click 1007", "click 1000", "ok"}, false});
    machine.mixerRisesOnFirstCheck = true;
    const setupsim::RunResult result = machine.Run();
    ASSERT_TRUE(result.restartRequested);

    // The staged INF gets the Settings values; its copies in INF and
    // INF\OTHER the source-disk entries too; the setup source the package's.
    const std::string settings = inftest::Replaced(
        inftest::TestInf("wdm/OVAUDIO.INF"),
        {{"0x00010001,0x03,0,0,0", "0x00010001,0x02,0,0,0"}, {"0x00010001,0x05,0,0,0", "0x00010001,0x00,0,0,0"}});
    EXPECT_EQ(machine.Files().ReadFile("C:\\Program Files\\Orvanta\\WIN_ME\\OVAUDIO.INF"), settings);
    std::string placed = vm::profile::WriteString(settings, "SourceDisksNames", "200",
                                                  "\"Orvanta WDM Audio Driver Disk\",,,C:\\PROGRA~1\\ORVANTA\\WIN_ME");
    placed = vm::profile::WriteString(placed, "SourceDisksFiles", "ovaudio.cat", "200");
    EXPECT_EQ(machine.Files().ReadFile("C:\\WINDOWS\\INF\\OVAUDIO.INF"), placed);
    EXPECT_EQ(machine.Files().ReadFile("C:\\WINDOWS\\INF\\OTHER\\OVAUDIO.INF"), placed);
    EXPECT_EQ(machine.Files().ReadFile("C:\\WINDOWS\\OPTIONS\\CABS\\OVAUDIO.INF"), inftest::TestInf("wdm/OVAUDIO.INF"));
    EXPECT_FALSE(machine.Files().Exists("C:\\WINDOWS\\OPTIONS\\CABS\\setup.ini"));
    EXPECT_EQ(machine.Files().ReadFile("C:\\WINDOWS\\INF\\CATALOG\\ovaudio.cat"), "catalog");
    EXPECT_FALSE(machine.Files().Exists("C:\\WINDOWS\\INF\\Drvdata.bin"));
    EXPECT_EQ(machine.ProfileValue("C:\\WINDOWS\\mixerdef.ini", "RUNTIME", "Initialize"), "0");

    const auto& journal = machine.GetJournal();
    ASSERT_EQ(journal.Count("install INF"), 1u);
    EXPECT_EQ(journal.OfKind("install INF")[0].Get("inf"), "C:\\Program Files\\Orvanta\\WIN_ME\\OVAUDIO.INF");
    EXPECT_EQ(machine.SourceList(), (std::vector<std::string>{"D:\\WIN98", "C:\\Program Files\\Orvanta\\WIN_ME"}));
    EXPECT_EQ(journal.Count("remove device"), 1u);
    EXPECT_EQ(journal.Count("re-enumerate devices"), 1u);
    EXPECT_EQ(journal.Count("dialog hidden"), 1u);
    const auto boxes = journal.OfKind("message box");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].Get("text"), "The driver will be installed now. It need a few minutes to complete.");
    EXPECT_EQ(boxes[0].Get("owner"), "(none)");
    EXPECT_EQ(boxes[1].Get("text"), "Setup completed! The system will restart now!");
    EXPECT_EQ(boxes[1].Get("owner"), "dialog 131");
    // The tray's volume bit is cleared in both keys and SysTray restarted.
    EXPECT_EQ(machine.Reg().Find(platform::HKEY_CURRENT_USER, kSystray)->values[0].data, vm::Registry::DwordData(1));
    EXPECT_EQ(machine.Reg().Find(platform::HKEY_USERS, std::string(".DEFAULT\\") + kSystray)->values[0].data,
              vm::Registry::DwordData(3));
    EXPECT_EQ(machine.Started(), std::vector<std::string>{"SysTray.exe"});
}

TEST(WdmInstallationTest, NoOemInfOn98SeAndASetupSourceThatRefuses) {
    WdmMachine machine(WindowsVersion::Win98SE);
    machine.mixerRisesOnFirstCheck = true;
    machine.Files().AddDrive('D');
    machine.Files().PutDirectory("D:\\CABS");
    machine.Files().SetDriveReadOnly('D', true);
    vm::Registry::SetValue(*machine.Reg().Find(platform::HKEY_LOCAL_MACHINE,
                                               "Software\\Microsoft\\Windows\\CurrentVersion\\Setup"),
                           "SourcePath", platform::REG_SZ, vm::Registry::SzData("D:\\CABS"));
    const setupsim::RunResult result = machine.Run();
    EXPECT_TRUE(result.restartRequested);
    EXPECT_EQ(machine.GetJournal().Count("install INF"), 0u);
    // setup.exe and setup.ini are never offered; OVAUDIO.INF is refused and
    // goes to INF\OTHER; after that nothing is offered to either place.
    std::vector<std::string> offered;
    for (const auto& copy : machine.GetJournal().OfKind("copy file")) {
        if (copy.Get("to").rfind("D:\\", 0) == 0) offered.push_back(copy.Get("to") + " " + copy.Get("result"));
    }
    EXPECT_EQ(offered, std::vector<std::string>{"D:\\CABS\\OVAUDIO.INF failed"});
    EXPECT_TRUE(machine.Files().IsFile("C:\\WINDOWS\\INF\\OTHER\\OVAUDIO.INF"));
    EXPECT_FALSE(machine.Files().Exists("C:\\WINDOWS\\INF\\OTHER\\ovwdm.sys"));
    EXPECT_FALSE(machine.Files().Exists("C:\\WINDOWS\\INF\\OTHER\\ovaudio.cat"));
}

TEST(WdmInstallationTest, RefusedSystemsKeepWhatHappenedBefore) {
    for (WindowsVersion version : {WindowsVersion::Win95, WindowsVersion::Win98, WindowsVersion::NT4}) {
        WdmMachine machine(version);
        const setupsim::RunResult result = machine.Run();
        EXPECT_FALSE(result.restartRequested);
        EXPECT_EQ(result.exitCode, 0u);
        const auto boxes = machine.GetJournal().OfKind("message box");
        ASSERT_EQ(boxes.size(), 2u) << vm::ToString(version);
        EXPECT_EQ(boxes[1].Get("text"), "This WDM driver can only be installed on Windows 98SE/ME/2000");
        EXPECT_EQ(boxes[1].Get("caption"), "setup");  // the program's name
        EXPECT_EQ(machine.ProfileValue("C:\\WINDOWS\\mixerdef.ini", "RUNTIME", "Initialize"), "0");
        EXPECT_EQ(machine.Started(), std::vector<std::string>{"SysTray.exe"});
        EXPECT_FALSE(machine.Files().Exists("C:\\Program Files\\Orvanta"));
        EXPECT_EQ(machine.GetJournal().Count("remove device"), 0u);
    }
}

}  // namespace
