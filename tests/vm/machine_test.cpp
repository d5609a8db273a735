// The machine through the platform interface, set up by machine.ini: registry
// the clock, programs, message boxes, devices, faults.
#include <gtest/gtest.h>

#include "platform/faults/fault_injecting_platform.h"
#include "platform/vm/machine.h"
#include "platform/vm/machine_folder.h"

namespace {

using namespace platform;

class VmMachine : public ::testing::Test {
protected:
    vm::VirtualMachine machine;
    FaultInjectingPlatform faulty{machine, machine.FaultPlan()};  // machine.ini's [Faults] carried out
    Platform& api = faulty;

    void Ini(const std::string& text) { vm::ApplyMachineIni(text, "machine.ini", machine); }
    void Reenumerate() {
        std::uint32_t root = 0;
        ASSERT_EQ(api.CM_Locate_DevNode(root, std::nullopt, 0), CR_SUCCESS);
        ASSERT_EQ(api.CM_Reenumerate_DevNode(root, 0), CR_SUCCESS);
    }
};

TEST_F(VmMachine, TimedEventsFireAtTheirVirtualTimes) {
    Ini("[Events]\nat 7000 = mixer-devices 2\nat 2000 = window-open Found New Hardware | OVDNINST\n"
        "at 9000 = window-close Found New Hardware\nreenumeration 3000 = mixer-devices 3\n");
    struct Row { std::uint32_t sleep; std::uint64_t now; std::uint32_t mixers; bool window; };
    const Row rows[] = {{1999, 1999, 0, false}, {1, 2000, 0, true}, {5000, 7000, 2, true}, {1999, 8999, 2, true}, {1, 9000, 2, false}};
    for (const Row& row : rows) {
        api.Sleep(row.sleep);
        EXPECT_EQ(machine.Now(), row.now);
        EXPECT_EQ(api.mixerGetNumDevs(), row.mixers) << row.now;
        EXPECT_EQ(api.FindWindowEx(std::string("ovdninst"), std::nullopt) != 0, row.window) << row.now;
    }
    Reenumerate();  // events after a re-enumeration count from it
    EXPECT_EQ((api.Sleep(2999), api.mixerGetNumDevs()), 2u);
    EXPECT_EQ((api.Sleep(1), api.mixerGetNumDevs()), 3u);
    machine.settings.timeLimit = 20000;
    EXPECT_THROW((api.Sleep(8000), api.Sleep(1)), vm::VirtualTimeLimit);  // a wait past the limit is a hang
}

TEST_F(VmMachine, ProcessesExitAtTheirTimeAndWaitsAdvanceTheClock) {
    machine.Files().PutFile("C:\\Program Files\\Orvanta\\Uninst.exe", "MZ"), machine.Files().PutFile("C:\\WINDOWS\\SYSTEM\\SYSTRAY.EXE", "MZ");
    Ini("[Programs]\nUninst.exe = runs 4000, exit 3\n");
    machine.settings.currentDirectory = "C:\\";
    const Handle process = api.CreateProcess("C:\\Program Files\\Orvanta\\Uninst.exe -a", SW_SHOW);
    EXPECT_EQ(machine.Processes().at(0).program, "C:\\Program Files\\Orvanta\\Uninst.exe");
    EXPECT_EQ(api.GetExitCodeProcess(process), STILL_ACTIVE);  // the poll costs a millisecond
    EXPECT_EQ(api.WaitForSingleObject(process, 1000), WAIT_TIMEOUT);
    EXPECT_EQ(machine.Now(), 1001u);
    EXPECT_EQ(api.WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
    EXPECT_EQ(machine.Now(), 4000u);
    EXPECT_EQ(api.GetExitCodeProcess(process), 3u);
    const Handle second = api.CreateProcess("\"C:\\Program Files\\Orvanta\\Uninst.exe\"", SW_SHOW);
    std::uint64_t polls = 0;
    while (api.GetExitCodeProcess(second) == STILL_ACTIVE) ++polls;  // a busy poll ends in virtual time too
    EXPECT_EQ(polls, 4000u);
    for (const auto& [command, started] : {std::pair{"SysTray", true}, {"systray.exe /x", true}, {"E:\\Missing.exe", false}, {"", false}})
        EXPECT_EQ(api.WinExec(command, SW_SHOW) > 31, started) << command;
}

TEST_F(VmMachine, MessageBoxesWindowsDevicesAndFaultsFromMachineIni) {
    Ini("[Answers]\nPlease insert = Cancel\n* = Cancel\n[Windows]\nMixer = OVMixerFrame\n[Faults]\nCopyFile = call 2\nDeleteFile = always\n"
        "[Devices]\nDevice = PCI\\VEN_8086&DEV_7110\nDevice = PCI\\VEN_1D9C&DEV_0111&SUBSYS_1, PCI\\VEN_1D9C&DEV_0111\n");
    EXPECT_EQ(api.MessageBox(0, "Setup completed!", "Setup", MB_OK), IDOK);  // OK is all it has
    EXPECT_EQ(api.MessageBox(0, "x\n Please insert the CD.", "Setup", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(api.MessageBox(0, "Please insert again", "Setup", MB_OKCANCEL), IDOK);  // each answer once
    api.SendMessage(api.FindWindowEx(std::nullopt, std::string("Mixer")), WM_CLOSE, 0, 0);
    EXPECT_EQ(api.FindWindowEx(std::nullopt, std::string("Mixer")), 0u);
    machine.Files().PutFile("C:\\a.txt", "a");
    std::string calls;
    for (const char* to : {"C:\\b.txt", "C:\\c.txt", "C:\\d.txt"}) calls += api.CopyFile("C:\\a.txt", to, false) ? '1' : '0';
    EXPECT_EQ(calls + (api.DeleteFile("C:\\b.txt") ? '1' : '0'), "1010");
    EXPECT_EQ(machine.FaultsInjected(), 2u);
    const Handle set = api.SetupDiGetClassDevs(DIGCF_PRESENT | DIGCF_ALLCLASSES);
    std::uint32_t device = 0;
    std::string ids;
    ASSERT_TRUE(api.SetupDiEnumDeviceInfo(set, 1, device));
    EXPECT_TRUE(!api.SetupDiGetDeviceRegistryProperty(set, device, SPDRP_HARDWAREID, 53, ids) && api.GetLastError() == static_cast<std::uint32_t>(ERROR_INSUFFICIENT_BUFFER));
    ASSERT_TRUE(api.SetupDiGetDeviceRegistryProperty(set, device, SPDRP_HARDWAREID, 54, ids));
    EXPECT_EQ(ids, std::string("PCI\\VEN_1D9C&DEV_0111&SUBSYS_1\0PCI\\VEN_1D9C&DEV_0111\0\0", 54));
    EXPECT_TRUE(api.SetupDiRemoveDevice(set, device));
    EXPECT_FALSE(api.SetupDiEnumDeviceInfo(api.SetupDiGetClassDevs(DIGCF_PRESENT), 1, device));
    Reenumerate();  // a removed device comes back
    EXPECT_TRUE(api.SetupDiEnumDeviceInfo(api.SetupDiGetClassDevs(DIGCF_PRESENT), 1, device));
}

TEST(VmFaults, SameSeedSameFailures) {
    auto pattern = [](std::uint32_t seed) {
        vm::VirtualMachine m;
        m.Files().PutFile("C:\\a.txt", "a");
        m.SetRandomFaults(0.5, seed);
        platform::FaultInjectingPlatform faulty(m, m.FaultPlan());
        std::string result;
        for (int i = 0; i < 64; ++i) result += faulty.CopyFile("C:\\a.txt", "C:\\b.txt", false) ? '1' : '0';
        return result;
    };
    EXPECT_TRUE(pattern(7) == pattern(7) && pattern(7) != pattern(8));
}

TEST(VmMachineIni, SetUpAndErrorsWithTheirLine) {
    const std::pair<const char*, const char*> rows[] = {
        {"[Machine]\nWindows = 3.11\n", "m.ini:2: unknown Windows version"}, {"[Machine]\n\n; note\nColour = blue\n", "m.ini:4: unknown key"},
        {"Windows = 98\n", "m.ini:1: key = value before any [section]"}, {"[Events]\n\nat soon = mixer-devices 1\n", "m.ini:3:"},
        {"[Attributes]\nC:\\missing.txt = R\n", "m.ini:2: no file"}, {"[Weather]\nRain = yes\n", "m.ini:2: unknown section"},
    };
    for (const auto& [text, message] : rows) {
        vm::VirtualMachine fresh;
        try {
            vm::ApplyMachineIni(text, "m.ini", fresh);
            ADD_FAILURE() << text;
        } catch (const vm::MachineFolderError& error) {
            EXPECT_EQ(std::string(error.what()).rfind(message, 0), 0u) << error.what();
        }
    }
}

}  // namespace
