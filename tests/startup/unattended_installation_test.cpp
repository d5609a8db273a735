// /DRIVER, "DriverOnly" and flat packages on virtual machines: which driver,
// from where, which INF rules, and the boot-time mixer swap.
#include <gtest/gtest.h>

#include "driver/inf_test_support.h"
#include "platform/vm/profile.h"

namespace {

using testsupport::TestMachine;
using vm::WindowsVersion;

constexpr const char* kVxdStaging = "C:\\Program Files\\Orvanta\\WIN_9x\\";
constexpr const char* kWdmStaging = "C:\\Program Files\\Orvanta\\WIN_ME\\";

struct UnattendedMachine : TestMachine {
    UnattendedMachine(WindowsVersion version, const std::string& setupIni, bool flat) : TestMachine(version) {
        PutSetupIni(setupIni);
        if (flat) {
            PutMedium("OVAUDIO.INF", inftest::TestInf("wdm/OVAUDIO.INF"));
            PutMedium("OVVXD.INF", inftest::TestInf("vxd/OVAUDIO.INF"));
            PutMedium("ovaudio.cat", "catalog");
            PutMedium("Mixer.dat", "new mixer");
            PutMedium("026\\a.026", "026");
        } else {
            PutMedium("W2K-ME\\drv\\OVAUDIO.INF", inftest::TestInf("wdm/OVAUDIO.INF"));
            PutMedium("W2K-ME\\drv\\ovwdm.sys", "wdm");
            PutMedium("W2K-ME\\drv\\ovaudio.cat", "catalog");
            PutMedium("W2K-ME\\drv\\Mixer.dat", "new mixer");
            PutMedium("W95-98\\drv\\95\\OVAUDIO.INF", inftest::TestInf("vxd/OVAUDIO.INF"));
            PutMedium("W95-98\\drv\\98\\OVAUDIO.INF", inftest::TestInf("vxd/OVAUDIO.INF"));
            PutMedium("W95-98\\drv\\98\\ovaudio.vxd", "vxd 98");
            PutMedium("Dosdrv\\OVSB.COM", "dos");
            PutMedium("Dosdrv\\DOSAPP\\OVMIX.EXE", "dos app");
        }
        Files().PutDirectory("C:\\WINDOWS\\INF\\OTHER");
        for (const char* name : {"ks.inf", "wdmaudio.inf", "ksfilter.inf"}) {
            Files().PutFile(std::string("C:\\WINDOWS\\INF\\") + name, inftest::TestInf(std::string("system/") + name));
        }
        Files().PutFile("C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD", "old");
        Files().PutFile(settings.systemFolder + "\\SYSTRAY.EXE", "MZ");
        SetMixerDevices(0);
        AddEvent({vm::TimedEvent::Anchor::Reenumeration, 1, "mixer arrives",
                  [](vm::VirtualMachine& m) { m.SetMixerDevices(1); }});
    }
    bool IsFile(const std::string& path) { return Files().IsFile(path); }
    std::string SourceDisks(const std::string& path, const char* key) {
        return vm::profile::ReadString(Files().ReadFile(path).value_or(""), "SourceDisksNames", key).value_or("(none)");
    }
    bool KsRewritten(const char* name) {
        return Files().ReadFile(std::string("C:\\WINDOWS\\INF\\") + name) ==
               inftest::TestInf(std::string("system/rewritten/") + name);
    }
};

TEST(UnattendedInstallationTest, EachSystemInEachVariant) {
    struct Row {
        WindowsVersion version;
        const char* commandLine;
        const char* setupIni;
        bool flat;
        bool vxd;
        const char* stagedFrom;      // a file that shows the driver folder used
        const char* infInOther;      // the source-disk value of the INF copy in INF\OTHER, "(no file)" when none
        std::vector<const char*> ks;  // kernel-streaming INFs rewritten
        bool oemInf;
    } rows[] = {
        {WindowsVersion::Win95, "/DRIVER", "", false, true, "W95-98\\drv\\95",
         "\"Orvanta PCI Audio Driver Disk\",,0, C:\\PROGRA~1\\ORVANTA\\WIN_9X", {}, false},
        {WindowsVersion::Win98, "/DRIVER", "", false, true, "ovaudio.vxd",
         "\"Orvanta PCI Audio Driver Disk\",,0, C:\\PROGRA~1\\ORVANTA\\WIN_9X", {}, false},
        {WindowsVersion::Win98, "/DRIVER", "[InstallOption]\nWindows98SEDriver=1\n", false, false, "ovwdm.sys",
         "\"Orvanta WDM Audio Driver Disk\",,,C:\\PROGRA~1\\ORVANTA\\WIN_ME", {"ks.inf", "wdmaudio.inf", "ksfilter.inf"},
         true},
        {WindowsVersion::Win98SE, "", "[InstallOption]\nDriverOnly=1\nWindows98SEDriver=1\n", false, false, "ovwdm.sys",
         "\"Orvanta WDM Audio Driver Disk\",,,C:\\PROGRA~1\\ORVANTA\\WIN_ME", {"ks.inf", "wdmaudio.inf", "ksfilter.inf"},
         false},
        {WindowsVersion::WinME, "/DRIVER", "", false, false, "ovwdm.sys", "(no file)", {}, true},
        {WindowsVersion::WinME, "/DRIVER", "[InstallOption]\nWindowsMEDriver=0\n", false, true, "ovaudio.vxd",
         "\"Orvanta PCI Audio Driver Disk\",,0, C:\\PROGRA~1\\ORVANTA\\WIN_9X", {}, false},
        {WindowsVersion::Win98, "", "[InstallOption]\nWebSetup=2\nInstallWDMDriver=1\n", true, true, "OVVXD.INF",
         "\"Orvanta PCI Audio Driver Disk\",,0, C:\\PROGRA~1\\ORVANTA\\WIN_9X", {}, false},
        {WindowsVersion::Win98SE, "", "[InstallOption]\nWebSetup=2\nInstallWDMDriver=1\n", true, false, "OVVXD.INF",
         "\"Orvanta WDM Audio Driver Disk\",,,C:\\PROGRA~1\\ORVANTA\\WIN_ME", {"ks.inf", "wdmaudio.inf"}, false},
        {WindowsVersion::WinME, "", "[InstallOption]\nWebSetup=2\n", true, true, "OVVXD.INF",
         "\"Orvanta PCI Audio Driver Disk\",,0, C:\\PROGRA~1\\ORVANTA\\WIN_9X", {}, false},
        {WindowsVersion::WinME, "", "[InstallOption]\nWebSetup=3\nInstallWDMDriver=1\n", true, false, "OVVXD.INF",
         "(no file)", {}, true},
    };
    for (const Row& row : rows) {
        UnattendedMachine machine(row.version, row.setupIni, row.flat);
        machine.settings.commandLine = row.commandLine;
        const setupsim::RunResult result = machine.Run();
        const std::string where = std::string(vm::ToString(row.version)) + " " + row.commandLine + " " + row.setupIni;
        EXPECT_TRUE(result.restartRequested) << where;
        EXPECT_EQ(result.exitCode, 0u) << where;
        const std::string staging = row.vxd ? kVxdStaging : kWdmStaging;
        const std::string staged = std::string(row.stagedFrom) == "W95-98\\drv\\95" ? "OVAUDIO.INF" : row.stagedFrom;
        EXPECT_TRUE(machine.IsFile(staging + staged)) << where;
        EXPECT_FALSE(machine.Files().Exists(row.vxd ? kWdmStaging : kVxdStaging)) << where;
        const std::string other = "C:\\WINDOWS\\INF\\OTHER\\OVAUDIO.INF";
        const std::string otherFlat = row.vxd ? "C:\\WINDOWS\\INF\\OTHER\\OVVXD.INF" : other;
        const std::string infCopy = row.flat ? otherFlat : other;
        if (std::string(row.infInOther) == "(no file)") {
            EXPECT_FALSE(machine.Files().Exists(infCopy)) << where;
        } else {
            EXPECT_EQ(machine.SourceDisks(infCopy, row.vxd ? "1" : "200"), row.infInOther) << where;
            EXPECT_EQ(machine.SourceDisks(infCopy.substr(0, 15) + infCopy.substr(21), row.vxd ? "1" : "200"),
                      row.infInOther)
                << where;  // the copy in INF\ too
        }
        for (const char* name : {"ks.inf", "wdmaudio.inf", "ksfilter.inf"}) {
            const bool expected = std::find(row.ks.begin(), row.ks.end(), std::string(name)) != row.ks.end();
            EXPECT_EQ(machine.KsRewritten(name), expected) << where << " " << name;
        }
        EXPECT_EQ(machine.GetJournal().Count("install INF"), row.oemInf ? 1u : 0u) << where;
        // Earlier driver files are retired only for the VxD driver.
        EXPECT_EQ(machine.ProfileValue("C:\\WINDOWS\\WININIT.INI", "rename", "C:\\WINDOWS\\SYSTEM\\OVAUDIO.OLD") ==
                      "C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD",
                  row.vxd)
            << where;
    }
}

TEST(UnattendedInstallationTest, MediumStagesDosFilesAndFallsBackToTheDrvFolder) {
    UnattendedMachine machine(WindowsVersion::Win95, "", false);
    machine.Files().Remove("E:\\W95-98\\drv\\95");
    machine.PutMedium("W95-98\\drv\\generic.vxd", "generic");
    machine.settings.commandLine = "/DRIVER";
    machine.Run();
    EXPECT_EQ(machine.Files().ReadFile(std::string(kVxdStaging) + "generic.vxd"), "generic");
    EXPECT_EQ(machine.Files().ReadFile("C:\\Program Files\\Orvanta\\DOS\\OVSB.COM"), "dos");
    EXPECT_EQ(machine.Files().ReadFile("C:\\Program Files\\Orvanta\\DOS\\DOSAPP\\OVMIX.EXE"), "dos app");
}

TEST(UnattendedInstallationTest, MixerSwapLinesAndASecondRun) {
    UnattendedMachine machine(WindowsVersion::WinME, "", false);
    machine.settings.commandLine = "/DRIVER";
    machine.Files().PutFile("C:\\WINDOWS\\WININIT.INI", "[rename]\r\nNUL=C:\\OTHER\\TEMP.TMP\r\n");
    machine.Run();
    const std::string lines =
        "[rename]\r\nNUL=C:\\WINDOWS\\Mixer.old\r\nC:\\WINDOWS\\Mixer.old=C:\\WINDOWS\\Mixer.exe\r\n"
        "C:\\WINDOWS\\Mixer.exe=C:\\WINDOWS\\Mixer.dat\r\n";
    EXPECT_EQ(machine.Files().ReadFile("C:\\WINDOWS\\WININIT.INI"), lines);
    EXPECT_EQ(machine.Files().ReadFile("C:\\WINDOWS\\Mixer.dat"), "new mixer");

    UnattendedMachine again(WindowsVersion::WinME, "", false);
    again.settings.commandLine = "/DRIVER";
    again.Files().PutFile("C:\\WINDOWS\\WININIT.INI", lines);
    again.Run();
    EXPECT_EQ(again.Files().ReadFile("C:\\WINDOWS\\WININIT.INI"), lines);
}

TEST(UnattendedInstallationTest, NoMixerDatNoSwap) {
    UnattendedMachine machine(WindowsVersion::WinME, "", false);
    machine.Files().Remove("E:\\W2K-ME\\drv\\Mixer.dat");
    machine.settings.commandLine = "/DRIVER";
    machine.Run();
    EXPECT_FALSE(machine.Files().Exists("C:\\WINDOWS\\WININIT.INI"));
}

TEST(UnattendedInstallationTest, MessagesAndTheWaitCursorInEachVariant) {
    for (bool flat : {false, true}) {
        UnattendedMachine machine(WindowsVersion::Win98, flat ? "[InstallOption]\nWebSetup=2\n" : "", flat);
        machine.settings.commandLine = flat ? "" : "/DRIVER";
        machine.Windows().push_back({"Mixer", "OVMixerFrame", true});
        machine.Run();
        const auto& journal = machine.GetJournal().Entries();
        std::vector<std::string> order;
        for (const vm::JournalEntry& entry : journal) {
            if (entry.kind == "message box" || entry.kind == "wait cursor" || entry.kind == "send message") {
                order.push_back(entry.kind);
            }
        }
        const std::vector<std::string> expected =
            flat ? std::vector<std::string>{"message box", "wait cursor", "send message", "message box"}
                 : std::vector<std::string>{"message box", "send message", "wait cursor", "message box"};
        EXPECT_EQ(order, expected) << (flat ? "flat" : "medium");
        for (const std::string& text : machine.Messages()) EXPECT_FALSE(text.empty());
        const auto boxes = machine.GetJournal().OfKind("message box");
        EXPECT_EQ(boxes.front().Get("owner"), "(none)");
        EXPECT_EQ(boxes.back().Get("text"), "Setup completed! The system will restart now!");
    }
}

}  // namespace
