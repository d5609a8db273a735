// /DRIVER, "DriverOnly" and flat packages: which driver, from where, which
// INF rules, and the boot-time mixer swap.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/vm/profile.h"
#include "support/machine_fixture.h"

namespace {

using testsupport::Package;
using testsupport::TestInf;
using testsupport::TestMachine;
using vm::WindowsVersion;

constexpr const char* kVxdStaging = "C:\\Program Files\\Orvanta\\WIN_9x\\";
constexpr const char* kWdmStaging = "C:\\Program Files\\Orvanta\\WIN_ME\\";
constexpr const char* kWininit = "C:\\WINDOWS\\WININIT.INI";

struct UnattendedMachine : TestMachine {
    UnattendedMachine(WindowsVersion version, const std::string& commandLine, const std::string& setupIni, bool flat)
        : TestMachine(version, "[Windows]\nMixer = OVMixerFrame\n") {
        settings.commandLine = commandLine;
        PutSetupIni(setupIni);
        PutPackage(flat ? Package::Flat : Package::Medium);
        Files().PutFile("C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD", "old");
        AddEvent({vm::TimedEvent::Anchor::Reenumeration, 1, "mixer arrives", [](vm::VirtualMachine& m) { m.SetMixerDevices(1); }});
    }
    std::string SourceDisk(const std::string& path, const char* key) {
        return vm::profile::ReadString(Files().ReadFile(path).value_or(""), "SourceDisksNames", key).value_or("(none)");
    }
};

TEST(UnattendedInstallation, EachSystemInEachVariant) {
    const char* vxdDisk = "\"Orvanta PCI Audio Driver Disk\",,0, C:\\PROGRA~1\\ORVANTA\\WIN_9X";
    const char* wdmDisk = "\"Orvanta WDM Audio Driver Disk\",,,C:\\PROGRA~1\\ORVANTA\\WIN_ME";
    struct Row {
        WindowsVersion version;
        const char* commandLine;
        const char* setupIni;
        bool flat, vxd;
        const char* staged;  // a staged file that shows the driver folder used
        const char* disk;    // the source disk of the INF copies in INF\OTHER and INF, "" when none
        const char* ks;      // the kernel-streaming INFs rewritten
        bool oemInf;
    } rows[] = {
        {WindowsVersion::Win95, "/DRIVER", "", false, true, "OVAUDIO.INF", vxdDisk, "", false},
        {WindowsVersion::Win98, "/DRIVER", "", false, true, "ovaudio.vxd", vxdDisk, "", false},
        {WindowsVersion::Win98, "/DRIVER", "[InstallOption]\nWindows98SEDriver=1\n", false, false, "ovwdm.sys", wdmDisk,
         "ks.inf wdmaudio.inf ksfilter.inf", true},
        {WindowsVersion::Win98SE, "", "[InstallOption]\nDriverOnly=1\nWindows98SEDriver=1\n", false, false, "ovwdm.sys", wdmDisk,
         "ks.inf wdmaudio.inf ksfilter.inf", false},
        {WindowsVersion::WinME, "/DRIVER", "", false, false, "ovwdm.sys", "", "", true},
        {WindowsVersion::WinME, "/DRIVER", "[InstallOption]\nWindowsMEDriver=0\n", false, true, "ovaudio.vxd", vxdDisk, "", false},
        {WindowsVersion::Win98, "", "[InstallOption]\nWebSetup=2\nInstallWDMDriver=1\n", true, true, "OVVXD.INF", vxdDisk, "", false},
        {WindowsVersion::Win98SE, "", "[InstallOption]\nWebSetup=2\nInstallWDMDriver=1\n", true, false, "OVVXD.INF", wdmDisk,
         "ks.inf wdmaudio.inf", false},
        {WindowsVersion::WinME, "", "[InstallOption]\nWebSetup=3\nInstallWDMDriver=1\n", true, false, "OVVXD.INF", "", "", true},
    };
    for (const Row& row : rows) {
        UnattendedMachine machine(row.version, row.commandLine, row.setupIni, row.flat);
        const setupsim::RunResult result = machine.Run();
        const std::string where = std::string(vm::ToString(row.version)) + " " + row.commandLine + " " + row.setupIni;
        EXPECT_TRUE(result.restartRequested) << where;
        EXPECT_EQ(result.exitCode, 0u) << where;
        EXPECT_EQ(machine.Sleeps(5000), 1u) << where;  // Windows given its time before the restart
        EXPECT_TRUE(machine.Files().IsFile((row.vxd ? kVxdStaging : kWdmStaging) + std::string(row.staged))) << where;
        EXPECT_FALSE(machine.Files().Exists(row.vxd ? kWdmStaging : kVxdStaging)) << where;
        const std::string copy = row.flat && row.vxd ? "OVVXD.INF" : "OVAUDIO.INF";
        for (const std::string folder : {"C:\\WINDOWS\\INF\\OTHER\\", "C:\\WINDOWS\\INF\\"}) {
            if (*row.disk) {
                EXPECT_EQ(machine.SourceDisk(folder + copy, row.vxd ? "1" : "200"), row.disk) << where << folder;
            } else {
                EXPECT_FALSE(machine.Files().Exists(folder + copy)) << where;
            }
        }
        for (const std::string name : {"ks.inf", "wdmaudio.inf", "ksfilter.inf"}) {
            const bool rewritten = machine.Files().ReadFile("C:\\WINDOWS\\INF\\" + name) == TestInf("system/rewritten/" + name);
            EXPECT_EQ(rewritten, std::string(row.ks).find(name) != std::string::npos) << where << " " << name;
        }
        EXPECT_EQ(machine.GetJournal().Count("install INF"), row.oemInf ? 1u : 0u) << where;
        // Earlier driver files are retired only for the VxD driver.
        EXPECT_EQ(machine.ProfileValue(kWininit, "rename", "C:\\WINDOWS\\SYSTEM\\OVAUDIO.OLD") == "C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD",
                  row.vxd) << where;
        // The announcement without an owner; the mixer closed before the wait cursor only from the medium.
        std::vector<std::string> order;
        for (const platform::JournalEntry& entry : machine.GetJournal().Entries()) {
            if (entry.kind == "message box" || entry.kind == "wait cursor" || entry.kind == "send message") {
                order.push_back(entry.kind);
            }
        }
        EXPECT_EQ(order, (row.flat ? std::vector<std::string>{"message box", "wait cursor", "send message", "message box"}
                                   : std::vector<std::string>{"message box", "send message", "wait cursor", "message box"})) << where;
        EXPECT_EQ(machine.Journal("message box", "owner").front(), "(none)") << where;
        EXPECT_EQ(machine.Messages().back(), "Setup completed! The system will restart now!") << where;
    }
}

TEST(UnattendedInstallation, MediumStagesDosFilesAndFallsBackToTheDrvFolder) {
    UnattendedMachine machine(WindowsVersion::Win95, "/DRIVER", "", false);
    machine.Files().Remove("E:\\W95-98\\drv\\95");
    machine.PutMedium("W95-98\\drv\\generic.vxd", "generic");
    machine.Run();
    EXPECT_EQ(machine.Files().ReadFile(std::string(kVxdStaging) + "generic.vxd"), "generic");
    EXPECT_EQ(machine.Files().ReadFile("C:\\Program Files\\Orvanta\\DOS\\OVSB.COM"), "dos");
    EXPECT_EQ(machine.Files().ReadFile("C:\\Program Files\\Orvanta\\DOS\\DOSAPP\\OVMIX.EXE"), "dos app");
}

TEST(UnattendedInstallation, MixerSwappedAtTheNextStartOnce) {
    const std::string lines =
        "[rename]\r\nNUL=C:\\WINDOWS\\Mixer.old\r\nC:\\WINDOWS\\Mixer.old=C:\\WINDOWS\\Mixer.exe\r\n"
        "C:\\WINDOWS\\Mixer.exe=C:\\WINDOWS\\Mixer.dat\r\n";
    // Before: an earlier boot-delete line, the lines of a first run, no Mixer.dat.
    const std::tuple<std::string, bool, std::string> rows[] = {
        {"[rename]\r\nNUL=C:\\OTHER\\TEMP.TMP\r\n", true, lines},
        {lines, true, lines},
        {"", false, "(none)"},
    };
    for (const auto& [before, mixerDat, after] : rows) {
        UnattendedMachine machine(WindowsVersion::WinME, "/DRIVER", "", false);
        if (!before.empty()) machine.Files().PutFile(kWininit, before);
        if (!mixerDat) machine.Files().Remove("E:\\W2K-ME\\drv\\Mixer.dat");
        machine.Run();
        EXPECT_EQ(machine.Files().ReadFile(kWininit).value_or("(none)"), after) << before;
        if (mixerDat) {
            EXPECT_EQ(machine.Files().ReadFile("C:\\WINDOWS\\Mixer.dat"), "new mixer");
        }
    }
}

}  // namespace
