// The VxD and WDM drivers installed from their option dialogs, end to end on
// virtual machines whose Plug and Play answers on a timetable.
#include <gtest/gtest.h>

#include "platform/vm/machine_folder.h"
#include "platform/vm/profile.h"
#include "support/machine_fixture.h"

namespace {

using testsupport::Package;
using testsupport::Replaced;
using testsupport::TestInf;
using testsupport::TestMachine;
using vm::WindowsVersion;

constexpr const char* kFinal = "Setup completed! The system will restart now!";

struct VxdMachine : TestMachine {
    explicit VxdMachine(WindowsVersion version, const std::string& clicks = "ok")
        : TestMachine(version, "[Windows]\nSoundDeck = SoundDeckFrame\n[Dialogs]\n103 = " + clicks + "\n") {
        PutSetupIni("[InstallOption]\r\nWebSetup=1\r\n");
        PutPackage(Package::Vxd);
        PutMedium("Mixer.exe", "new mixer");
        PutMedium("Readme.txt", "read me");
        Files().PutFile("C:\\WINDOWS\\SYSTEM\\DLSWAVE.DAT", "dls wave");
        Files().PutFile("C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD", "old driver");
        Files().PutFile("C:\\Program Files\\PCI Audio\\Mixer.exe", "old mixer");
        Files().PutFile("C:\\WINDOWS\\Mixer.exe", "old mixer");
        Files().PutFile("C:\\WINDOWS\\WIN.INI", "[windows]\r\nrun=old.exe\r\n");
        ImportRegistry("[HKEY_LOCAL_MACHINE\\Software\\Orvanta\\Mixer]\n\"Path\"=\"C:\\\\Program Files\\\\PCI Audio\"\n");
    }
};

TEST(VxdInstallation, StagesEditsRetiresAndRestarts) {
    VxdMachine machine(WindowsVersion::Win98, "click 1012, click 1000, ok");
    const setupsim::RunResult result = machine.Run();
    EXPECT_EQ(result.ending, setupsim::Ending::ExitProcess);
    EXPECT_TRUE(result.restartRequested);
    const std::string staging = "C:\\Program Files\\Orvanta\\WIN_9x\\";
    // Every package file staged, the system's DLS file too ("FullPackage" 0).
    for (const char* name : {"OEMSETUP.INF", "Driver.Inf", "ovaudio.vxd", "Readme.txt", "setup.exe", "setup.ini", "DLSWAVE.DAT"}) {
        EXPECT_TRUE(machine.Files().IsFile(staging + name)) << name;
    }
    EXPECT_EQ(machine.Files().ReadFile(staging + "OVAUDIO.INF"), TestInf("vxd/OVAUDIO.INF"));
    // INF copies in INF\OTHER: MIDI off, Line-in/Center-Subwoofer, the long staging path.
    const std::string disk = "1=\"Orvanta PCI Audio Driver Disk\",,0";
    const std::string expected = Replaced(TestInf("vxd/OVAUDIO.INF"),
                                          {{"HKR,Config,DISMPU,1,0", "HKR,Config,DISMPU,1,1"},
                                           {"HKR,Config,LINEINasREAR,1,1", "HKR,Config,LINEINasREAR,1,0"},
                                           {"HKR,Config,LINEINasBASS,1,0", "HKR,Config,LINEINasBASS,1,1"},
                                           {disk, disk + ", C:\\Program Files\\Orvanta\\WIN_9x"}});
    EXPECT_EQ(machine.Files().ReadFile("C:\\WINDOWS\\INF\\OTHER\\OVAUDIO.INF"), expected);
    EXPECT_EQ(machine.Files().ReadFile("C:\\WINDOWS\\INF\\OTHER\\OEMSETUP.INF"), expected);
    EXPECT_FALSE(machine.Files().Exists("C:\\WINDOWS\\INF\\OTHER\\Driver.Inf"));
    // Earlier driver files retired at the next start; WIN.INI's run emptied.
    EXPECT_EQ(machine.ProfileValue("C:\\WINDOWS\\WININIT.INI", "rename", "C:\\WINDOWS\\SYSTEM\\OVAUDIO.OLD"),
              "C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD");
    EXPECT_EQ(machine.Files().ReadFile("C:\\WINDOWS\\WIN.INI"), "[windows]\r\nrun= \r\n");
    // The registered mixer and the Windows folder's one replaced.
    EXPECT_EQ(machine.Files().ReadFile("C:\\Program Files\\PCI Audio\\Mixer.exe"), "new mixer");
    EXPECT_EQ(machine.Files().ReadFile("C:\\WINDOWS\\Mixer.exe"), "new mixer");
    EXPECT_EQ(machine.Journal("send message", "window"), std::vector<std::string>{"\"SoundDeck\""});
    EXPECT_EQ(machine.Messages(), std::vector<std::string>{kFinal});
    EXPECT_EQ(machine.Journal("message box", "owner"), std::vector<std::string>{"dialog 103"});
    // 500 ms after SoundDeck, 500 ms more, 100 ms before the DISMPU edit.
    EXPECT_EQ(result.virtualTime, 1200u);
}

TEST(VxdInstallation, SystemsFoldersAndPackages) {
    struct Row {
        WindowsVersion version;
        const char* setupIni;
        bool otherFolder;
        const char* present;  // a file afterwards
        const char* absent;   // "" when no file is to be missing
    } rows[] = {
        {WindowsVersion::Win95, "", true, "C:\\WINDOWS\\INF\\OTHER\\OVAUDIO.INF", "C:\\WINDOWS\\INF\\OVAUDIO.INF"},
        {WindowsVersion::WinME, "", true, "C:\\WINDOWS\\INF\\OTHER\\OVAUDIO.INF", ""},
        {WindowsVersion::Win98SE, "", false, "C:\\WINDOWS\\INF\\OVAUDIO.INF", ""},
        // A full package brings its own DLS files.
        {WindowsVersion::Win98, "FullPackage=1\r\n", true, "C:\\Program Files\\Orvanta\\WIN_9x\\026\\wave.026",
         "C:\\Program Files\\Orvanta\\WIN_9x\\DLSWAVE.DAT"},
    };
    for (const Row& row : rows) {
        VxdMachine machine(row.version);
        machine.PutSetupIni(std::string("[InstallOption]\r\nWebSetup=1\r\n") + row.setupIni);
        if (!row.otherFolder) machine.Files().Remove("C:\\WINDOWS\\INF\\OTHER");
        EXPECT_TRUE(machine.Run().restartRequested) << vm::ToString(row.version);
        EXPECT_TRUE(machine.Files().IsFile(row.present)) << vm::ToString(row.version);
        if (*row.absent) {
            EXPECT_FALSE(machine.Files().Exists(row.absent)) << vm::ToString(row.version);
        }
    }
}

TEST(VxdInstallation, MixerRegisteredWithoutItsProgramFallsBackToTheSecondKey) {
    VxdMachine machine(WindowsVersion::Win98);
    machine.ImportRegistry("[HKEY_LOCAL_MACHINE\\Software\\PCI Audio Applications\\Mixer]\n\"Path\"=\"C:\\\\Gone\"\n");
    machine.Files().Remove("C:\\WINDOWS\\Mixer.exe");
    machine.Run();
    EXPECT_EQ(machine.Files().ReadFile("C:\\Program Files\\PCI Audio\\Mixer.exe"), "new mixer");
    EXPECT_FALSE(machine.Files().Exists("C:\\Gone\\Mixer.exe"));
    EXPECT_FALSE(machine.Files().Exists("C:\\WINDOWS\\Mixer.exe"));
}

constexpr const char* kSystray = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray";

// The mixer count can also rise between the first two reads, which no
// timed event can express.
struct WdmMachine : TestMachine {
    bool mixerRisesOnFirstCheck = false;
    int mixerReads = 0;

    explicit WdmMachine(WindowsVersion version, const std::string& machineIni = "")
        : TestMachine(version, "[Windows]\nMixer = OVMixerFrame\n[SourceList]\nPath = D:\\WIN98\n[Devices]\n"
                               "Device = PCI\\VEN_1D9C&DEV_0111&SUBSYS_01111D9C, PCI\\VEN_1D9C&DEV_0111\n" + machineIni) {
        PutSetupIni("[InstallOption]\r\nWebSetup=1\r\nInstallWDMDriver=1\r\n");
        PutPackage(Package::Wdm);
        Files().PutFile("C:\\WINDOWS\\mixerdef.ini", "[RUNTIME]\r\nInitialize=1\r\n");
        Files().PutFile("C:\\WINDOWS\\INF\\Drvdata.bin", "db");
        Files().PutDirectory("C:\\WINDOWS\\OPTIONS\\CABS");
        ImportRegistry(std::string("[HKEY_CURRENT_USER\\") + kSystray + "]\n\"Services\"=dword:00000005\n"
                       "[HKEY_USERS\\.DEFAULT\\" + kSystray + "]\n\"Services\"=dword:00000007\n"
                       "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Setup]\n"
                       "\"SourcePath\"=\"C:\\\\WINDOWS\\\\OPTIONS\\\\CABS\"\n"
                       "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\MEDIA\\0000]\n"
                       "\"DriverDesc\"=\"OVX4720/R3DX PCI Audio Device\"\n"
                       "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\MEDIA\\0000\\Settings]\n"
                       "\"EnableLegacy\"=dword:00000002\n");
    }

    std::uint32_t mixerGetNumDevs() override {
        ++mixerReads;
        if (mixerRisesOnFirstCheck) return mixerReads == 1 ? 1 : 2;
        return vm::VirtualMachine::mixerGetNumDevs();
    }
};

TEST(WdmInstallation, WaitsCountedExactly) {
    const std::string services = std::string("registry-set HKEY_CURRENT_USER\\") + kSystray + " | Services | dword:00000005";
    struct Row {
        const char* name;
        bool risesOnFirstCheck;
        std::string events;
        int enableLegacy;
        std::size_t mixerWaits, twoSecondWaits, windowPolls;  // 3000 ms; the tray's or the game port's; 1000 ms
    } rows[] = {
        {"mixer after 7 waits, tray after 2", false,
         "reenumeration 20000 = mixer-devices 1\nreenumeration 30000 = " + services, 2, 7, 2, 10},
        {"mixer never rises, tray never returns", false, "", 2, 60, 30, 10},
        {"mixer after 7 waits, the tray's value unreadable after 2: the earlier value stands", false,
         "reenumeration 20000 = mixer-devices 1\nreenumeration 30000 = registry-delete HKEY_CURRENT_USER\\" +
             std::string(kSystray), 2, 7, 30, 10},
        {"mixer at once: no tray wait; game port on pass 4", true,
         "reenumeration 10000 = registry-set HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\MEDIA\\0001"
         " | DriverDesc | \"OVX4720/R3DX PCI game port\"", 3, 0, 3, 10},
        {"game port never comes: 20 passes", true, "", 3, 0, 20, 10},
        {"installer windows from 1.5 s to 9 s", true,
         "reenumeration 1500 = window-open Found New Hardware | OVDNINST\n"
         "reenumeration 9000 = window-close Found New Hardware", 2, 0, 0, 18},
    };
    for (const Row& row : rows) {
        WdmMachine machine(WindowsVersion::WinME, "[Events]\n" + row.events + "\n");
        machine.mixerRisesOnFirstCheck = row.risesOnFirstCheck;
        machine.ImportRegistry("[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\MEDIA\\0000\\Settings]\n"
                               "\"EnableLegacy\"=dword:0000000" + std::to_string(row.enableLegacy) + "\n");
        EXPECT_TRUE(machine.Run().restartRequested) << row.name;
        EXPECT_EQ(machine.Sleeps(3000), row.mixerWaits) << row.name;
        EXPECT_EQ(machine.Sleeps(2000), row.twoSecondWaits) << row.name;
        EXPECT_EQ(machine.Sleeps(1000), row.windowPolls) << row.name;
        EXPECT_EQ(machine.Sleeps(5000), 1u) << row.name;
    }
}

TEST(WdmInstallation, StagesPlacesAndHandsOverOnMe) {
    WdmMachine machine(WindowsVersion::WinME, "[Dialogs]\n131 = click 1007, click 1000, ok\n");
    machine.mixerRisesOnFirstCheck = true;
    ASSERT_TRUE(machine.Run().restartRequested);
    // The staged INF gets the Settings values; its copies in INF and
    // INF\OTHER the source-disk entries too; the setup source the package's.
    const std::string settings = Replaced(TestInf("wdm/OVAUDIO.INF"), {{"0x00010001,0x03,0,0,0", "0x00010001,0x02,0,0,0"},
                                                                       {"0x00010001,0x05,0,0,0", "0x00010001,0x00,0,0,0"}});
    EXPECT_EQ(machine.Files().ReadFile("C:\\Program Files\\Orvanta\\WIN_ME\\OVAUDIO.INF"), settings);
    const std::string placed = Replaced(settings, {{"Disk\",,,", "Disk\",,,C:\\PROGRA~1\\ORVANTA\\WIN_ME"},
                                                   {"ovprop.dll=200\r\n", "ovprop.dll=200\r\novaudio.cat=200\r\n"}});
    EXPECT_EQ(machine.Files().ReadFile("C:\\WINDOWS\\INF\\OVAUDIO.INF"), placed);
    EXPECT_EQ(machine.Files().ReadFile("C:\\WINDOWS\\INF\\OTHER\\OVAUDIO.INF"), placed);
    EXPECT_EQ(machine.Files().ReadFile("C:\\WINDOWS\\OPTIONS\\CABS\\OVAUDIO.INF"), TestInf("wdm/OVAUDIO.INF"));
    EXPECT_EQ(machine.Files().ReadFile("C:\\WINDOWS\\INF\\CATALOG\\ovaudio.cat"), "catalog");
    EXPECT_FALSE(machine.Files().Exists("C:\\WINDOWS\\INF\\Drvdata.bin"));
    EXPECT_EQ(machine.ProfileValue("C:\\WINDOWS\\mixerdef.ini", "RUNTIME", "Initialize"), "0");
    EXPECT_EQ(machine.Journal("install INF", "inf"), std::vector<std::string>{"C:\\Program Files\\Orvanta\\WIN_ME\\OVAUDIO.INF"});
    EXPECT_EQ(machine.SourceList(), (std::vector<std::string>{"D:\\WIN98", "C:\\Program Files\\Orvanta\\WIN_ME"}));
    for (const char* kind : {"remove device", "re-enumerate devices", "dialog hidden"}) {
        EXPECT_EQ(machine.GetJournal().Count(kind), 1u) << kind;
    }
    EXPECT_EQ(machine.Messages(), (std::vector<std::string>{
                                      "The driver will be installed now. It need a few minutes to complete.", kFinal}));
    EXPECT_EQ(machine.Journal("message box", "owner"), (std::vector<std::string>{"(none)", "dialog 131"}));
    // The tray's volume bit is cleared in both keys and SysTray restarted.
    EXPECT_EQ(machine.Reg().Find(platform::HKEY_CURRENT_USER, kSystray)->values[0].data, vm::Registry::DwordData(1));
    EXPECT_EQ(machine.Reg().Find(platform::HKEY_USERS, std::string(".DEFAULT\\") + kSystray)->values[0].data,
              vm::Registry::DwordData(3));
    EXPECT_EQ(machine.Started(), std::vector<std::string>{"SysTray.exe"});
}

TEST(WdmInstallation, NoOemInfOn98SeAndASetupSourceThatRefuses) {
    // Nor can the source list be read: the staged folder is added to it.
    WdmMachine machine(WindowsVersion::Win98SE, "[Faults]\nSetupQuerySourceList = always\n");
    machine.mixerRisesOnFirstCheck = true;
    machine.Files().AddDrive('D');
    machine.Files().PutDirectory("D:\\CABS");
    machine.Files().SetDriveReadOnly('D', true);
    machine.ImportRegistry("[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Setup]\n"
                           "\"SourcePath\"=\"D:\\\\CABS\"\n");
    EXPECT_TRUE(machine.Run().restartRequested);
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
    EXPECT_EQ(machine.SourceList(), (std::vector<std::string>{"D:\\WIN98", "C:\\Program Files\\Orvanta\\WIN_ME"}));
    EXPECT_EQ(machine.GetJournal().Count("set source list"), 0u);
}

TEST(DriverInstallation, RefusedSystemsChangeNothingOfTheDriver) {
    struct Row {
        WindowsVersion version;
        bool wdm;
        const char* text;  // the refusal, "" when the dialog never opens
        const char* caption;
    } rows[] = {
        {WindowsVersion::NT4, false, "This driver can not be used on Windows NT or Windows 2000.", "Information"},
        {WindowsVersion::Win2000, false, "", ""},  // the hand-over comes first
        {WindowsVersion::Win95, true, "This WDM driver can only be installed on Windows 98SE/ME/2000", "setup"},
        {WindowsVersion::Win98, true, "This WDM driver can only be installed on Windows 98SE/ME/2000", "setup"},
        {WindowsVersion::NT4, true, "This WDM driver can only be installed on Windows 98SE/ME/2000", "setup"},
    };
    for (const Row& row : rows) {
        std::unique_ptr<TestMachine> machine;
        if (row.wdm) machine = std::make_unique<WdmMachine>(row.version);
        else machine = std::make_unique<VxdMachine>(row.version);
        const setupsim::RunResult result = machine->Run();
        const std::string where = std::string(vm::ToString(row.version)) + (row.wdm ? " WDM" : " VxD");
        EXPECT_FALSE(result.restartRequested) << where;
        EXPECT_EQ(result.exitCode, 0u) << where;
        EXPECT_FALSE(machine->Files().Exists("C:\\Program Files\\Orvanta")) << where;
        EXPECT_FALSE(machine->Files().Exists("C:\\WINDOWS\\WININIT.INI")) << where;
        if (!*row.text) {
            EXPECT_TRUE(machine->GetJournal().OfKind("dialog shown").empty()) << where;
            continue;
        }
        EXPECT_EQ(machine->Messages().back(), row.text) << where;
        EXPECT_EQ(machine->Journal("message box", "caption").back(), row.caption) << where;
        if (row.wdm) {
            // What the WDM flow did before it asked the system stays done.
            EXPECT_EQ(machine->ProfileValue("C:\\WINDOWS\\mixerdef.ini", "RUNTIME", "Initialize"), "0") << where;
            EXPECT_EQ(machine->Started(), std::vector<std::string>{"SysTray.exe"}) << where;
            EXPECT_EQ(machine->GetJournal().Count("remove device"), 0u) << where;
        }
    }
}

}  // namespace
