// The virtual machine through the platform interface, as the program sees
// it: registry calls, the clock and its events, programs, windows, message
// boxes, devices and faults.
#include <gtest/gtest.h>

#include "platform/vm/machine.h"
#include "platform/vm/machine_folder.h"

namespace {

using platform::ERROR_FILE_NOT_FOUND;
using platform::ERROR_MORE_DATA;
using platform::ERROR_NO_MORE_ITEMS;
using platform::ERROR_SUCCESS;
using platform::HKEY_LOCAL_MACHINE;

class MachineTest : public ::testing::Test {
protected:
    vm::VirtualMachine machine;
    platform::Platform& api = machine;

    platform::HKey Open(const std::string& path) {
        platform::HKey key = 0;
        EXPECT_EQ(api.RegOpenKeyEx(HKEY_LOCAL_MACHINE, path, platform::KEY_READ, key), ERROR_SUCCESS) << path;
        return key;
    }
    void Ini(const std::string& text) { vm::ApplyMachineIni(text, "machine.ini", machine); }
};

TEST_F(MachineTest, RegistryEnumerationByIndexFailsWhenANameDoesNotFit) {
    machine.Reg().Create(HKEY_LOCAL_MACHINE, "Enum\\PCI\\VEN_1");
    machine.Reg().Create(HKEY_LOCAL_MACHINE, "Enum\\PCI\\" + std::string(79, 'L'));
    machine.Reg().Create(HKEY_LOCAL_MACHINE, "Enum\\PCI\\" + std::string(80, 'M'));
    const platform::HKey key = Open("enum\\pci");  // case ignored
    struct Row {
        std::uint32_t index;
        long result;
    } rows[] = {{0, ERROR_SUCCESS}, {1, ERROR_SUCCESS}, {2, ERROR_MORE_DATA}, {3, ERROR_NO_MORE_ITEMS}};
    for (const Row& row : rows) {
        std::string name;
        EXPECT_EQ(api.RegEnumKeyEx(key, row.index, 80, name), row.result) << row.index;
    }
    api.RegCloseKey(key);
}

TEST_F(MachineTest, RegistryValuesQueryEnumerateAndBufferLimits) {
    vm::Registry::Key* key = machine.Reg().Create(HKEY_LOCAL_MACHINE, "Software\\X");
    vm::Registry::SetValue(*key, "ProviderName", platform::REG_SZ, vm::Registry::SzData("Orvanta Inc."));
    vm::Registry::SetValue(*key, "Big", platform::REG_BINARY, std::string(2000, 'b'));
    const platform::HKey handle = Open("Software\\X");
    platform::RegValue value;
    EXPECT_EQ(api.RegQueryValueEx(handle, "providername", 80, value), ERROR_SUCCESS);
    EXPECT_EQ(value.data, std::string("Orvanta Inc.") + '\0');
    EXPECT_EQ(api.RegQueryValueEx(handle, "Big", 1024, value), ERROR_MORE_DATA);
    EXPECT_EQ(api.RegQueryValueEx(handle, "Missing", 1024, value), ERROR_FILE_NOT_FOUND);
    platform::RegEnumValueResult entry;
    EXPECT_EQ(api.RegEnumValue(handle, 0, 80, 80, entry), ERROR_SUCCESS);
    EXPECT_EQ(entry.name, "ProviderName");
    EXPECT_EQ(api.RegEnumValue(handle, 1, 80, 80, entry), ERROR_MORE_DATA);
    EXPECT_EQ(api.RegEnumValue(handle, 2, 80, 80, entry), ERROR_NO_MORE_ITEMS);
}

TEST_F(MachineTest, RegDeleteKeyTakesSubKeysAlongAndOpenHandlesNoticeIt) {
    machine.Reg().Create(HKEY_LOCAL_MACHINE, "Enum\\PCI\\VEN_1D9C&DEV_0111\\BUS_00&DEV_0B\\Control");
    const platform::HKey child = Open("Enum\\PCI\\VEN_1D9C&DEV_0111\\BUS_00&DEV_0B");
    EXPECT_EQ(api.RegDeleteKey(HKEY_LOCAL_MACHINE, "Enum\\PCI\\VEN_1D9C&DEV_0111"), ERROR_SUCCESS);
    EXPECT_EQ(machine.Reg().Find(HKEY_LOCAL_MACHINE, "Enum\\PCI\\VEN_1D9C&DEV_0111"), nullptr);
    EXPECT_NE(machine.Reg().Find(HKEY_LOCAL_MACHINE, "Enum\\PCI"), nullptr);
    platform::RegValue value;
    EXPECT_NE(api.RegQueryValueEx(child, "x", 10, value), ERROR_SUCCESS);
    EXPECT_EQ(api.RegDeleteKey(HKEY_LOCAL_MACHINE, "Enum\\PCI\\VEN_1D9C&DEV_0111"), ERROR_FILE_NOT_FOUND);
    EXPECT_NE(api.RegDeleteKey(HKEY_LOCAL_MACHINE, ""), ERROR_SUCCESS);  // a root stays
    // Relative to an open key.
    const platform::HKey enumKey = Open("Enum");
    EXPECT_EQ(api.RegDeleteKey(enumKey, "PCI"), ERROR_SUCCESS);
    EXPECT_EQ(machine.Reg().Find(HKEY_LOCAL_MACHINE, "Enum\\PCI"), nullptr);
}

TEST_F(MachineTest, TimedEventsFireAtTheirVirtualTimes) {
    Ini("[Events]\n"
        "at 7000 = mixer-devices 2\n"
        "at 2000 = window-open Found New Hardware | OVDNINST\n"
        "at 9000 = window-close Found New Hardware\n"
        "at 12000 = registry-set HKEY_CURRENT_USER\\Tray | Services | dword:00000004\n");
    struct Row {
        std::uint32_t sleep;
        std::uint64_t now;
        std::uint32_t mixers;
        bool window;
        bool value;
    } rows[] = {
        {1000, 1000, 0, false, false}, {1000, 2000, 0, true, false},  {5000, 7000, 2, true, false},
        {1999, 8999, 2, true, false},  {1, 9000, 2, false, false},    {3000, 12000, 2, false, true},
    };
    for (const Row& row : rows) {
        api.Sleep(row.sleep);
        EXPECT_EQ(machine.Now(), row.now);
        EXPECT_EQ(api.mixerGetNumDevs(), row.mixers) << row.now;
        EXPECT_EQ(api.FindWindowEx(std::string("ovdninst"), std::nullopt) != 0, row.window) << row.now;
        EXPECT_EQ(machine.Reg().Find(platform::HKEY_CURRENT_USER, "Tray") != nullptr, row.value) << row.now;
    }
}

TEST_F(MachineTest, EventsAfterReenumerationCountFromIt) {
    Ini("[Events]\nreenumeration 3000 = mixer-devices 1\n");
    api.Sleep(10000);
    EXPECT_EQ(api.mixerGetNumDevs(), 0u);
    std::uint32_t root = 0;
    ASSERT_EQ(api.CM_Locate_DevNode(root, std::nullopt, 0), platform::CR_SUCCESS);
    ASSERT_EQ(api.CM_Reenumerate_DevNode(root, 0), platform::CR_SUCCESS);
    api.Sleep(2999);
    EXPECT_EQ(api.mixerGetNumDevs(), 0u);
    api.Sleep(1);
    EXPECT_EQ(api.mixerGetNumDevs(), 1u);
}

TEST_F(MachineTest, ProcessesExitAtTheirTimeAndWaitsAdvanceTheClock) {
    machine.Files().PutFile("C:\\Program Files\\Orvanta\\Uninst.exe", "MZ");
    Ini("[Programs]\nUninst.exe = runs 4000, exit 3\n");
    machine.settings.currentDirectory = "C:\\";
    const platform::Handle process = api.CreateProcess("C:\\Program Files\\Orvanta\\Uninst.exe -a", platform::SW_SHOW);
    ASSERT_NE(process, 0u);
    EXPECT_EQ(machine.Processes()[0].program, "C:\\Program Files\\Orvanta\\Uninst.exe");
    EXPECT_EQ(api.GetExitCodeProcess(process), platform::STILL_ACTIVE);
    EXPECT_EQ(api.WaitForSingleObject(process, 1000), platform::WAIT_TIMEOUT);
    EXPECT_EQ(machine.Now(), 1001u);  // one poll costs a millisecond
    EXPECT_EQ(api.WaitForSingleObject(process, 10000), platform::WAIT_OBJECT_0);
    EXPECT_EQ(machine.Now(), 4000u);
    EXPECT_EQ(api.GetExitCodeProcess(process), 3u);
    // A busy poll without pause ends too, in virtual time.
    const platform::Handle second = api.CreateProcess("\"C:\\Program Files\\Orvanta\\Uninst.exe\"", platform::SW_SHOW);
    std::uint64_t polls = 0;
    while (api.GetExitCodeProcess(second) == platform::STILL_ACTIVE) ++polls;
    EXPECT_EQ(polls, 4000u);
}

TEST_F(MachineTest, ProgramsAreFoundAsWindowsFindsThem) {
    machine.Files().PutFile("C:\\WINDOWS\\SYSTEM\\SYSTRAY.EXE", "MZ");
    machine.Files().PutFile("E:\\W2KSetup.dat", "MZ");
    struct Row {
        const char* command;
        bool started;
    } rows[] = {
        {"SysTray.exe", true},            // the system folder is searched
        {"systray", true},                // ".exe" is assumed
        {"E:\\W2KSetup.dat /DRIVER", true},
        {"E:\\Missing.exe", false},
        {"", false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(api.WinExec(row.command, platform::SW_SHOW) > 31, row.started) << row.command;
    }
}

TEST_F(MachineTest, MessageBoxesAreAnsweredByTheScriptInOrder) {
    Ini("[Answers]\nPlease insert = Cancel\n* = Cancel\n");
    EXPECT_EQ(api.MessageBox(0, "Setup completed!", "Setup", platform::MB_OK), platform::IDOK);  // OK is all it has
    EXPECT_EQ(api.MessageBox(0, "x\n Please insert the installation CD now.", "Setup", platform::MB_OKCANCEL),
              platform::IDCANCEL);
    EXPECT_EQ(api.MessageBox(0, "Please insert again", "Setup", platform::MB_OKCANCEL), platform::IDOK);
    const auto boxes = machine.GetJournal().OfKind("message box");
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[1].Get("answer"), "Cancel");
    EXPECT_EQ(boxes[1].Get("buttons"), "OK Cancel");
}

TEST_F(MachineTest, WindowsCloseOnWmClose) {
    Ini("[Windows]\nMixer = OVMixerFrame\nSoundDeck = SoundDeckFrame\n");
    const platform::Hwnd mixer = api.FindWindowEx(std::nullopt, std::string("Mixer"));
    ASSERT_NE(mixer, 0u);
    EXPECT_EQ(api.FindWindowEx(std::nullopt, std::string("Mixe")), 0u);
    api.SendMessage(mixer, platform::WM_CLOSE, 0, 0);
    EXPECT_EQ(api.FindWindowEx(std::nullopt, std::string("Mixer")), 0u);
    EXPECT_NE(api.FindWindowEx(std::nullopt, std::string("SoundDeck")), 0u);
}

TEST_F(MachineTest, DevicesEnumerateRemoveAndComeBackOnReenumeration) {
    Ini("[Devices]\nDevice = PCI\\VEN_8086&DEV_7110\nDevice = PCI\\VEN_1D9C&DEV_0111&SUBSYS_1, PCI\\VEN_1D9C&DEV_0111\n"
        "Device = " + std::string(1100, 'X') + "\n");
    const platform::Handle set = api.SetupDiGetClassDevs(platform::DIGCF_PRESENT | platform::DIGCF_ALLCLASSES);
    ASSERT_NE(set, 0u);
    std::uint32_t device = 0;
    std::string ids;
    ASSERT_TRUE(api.SetupDiEnumDeviceInfo(set, 1, device));
    ASSERT_TRUE(api.SetupDiGetDeviceRegistryProperty(set, device, platform::SPDRP_HARDWAREID, 1024, ids));
    EXPECT_EQ(ids, std::string("PCI\\VEN_1D9C&DEV_0111&SUBSYS_1\0PCI\\VEN_1D9C&DEV_0111\0\0", 54));
    ASSERT_TRUE(api.SetupDiEnumDeviceInfo(set, 2, device));
    EXPECT_FALSE(api.SetupDiGetDeviceRegistryProperty(set, device, platform::SPDRP_HARDWAREID, 1024, ids));
    EXPECT_EQ(api.GetLastError(), static_cast<std::uint32_t>(platform::ERROR_INSUFFICIENT_BUFFER));
    EXPECT_FALSE(api.SetupDiEnumDeviceInfo(set, 3, device));
    ASSERT_TRUE(api.SetupDiEnumDeviceInfo(set, 1, device));
    EXPECT_TRUE(api.SetupDiRemoveDevice(set, device));
    api.SetupDiDestroyDeviceInfoList(set);

    const platform::Handle after = api.SetupDiGetClassDevs(platform::DIGCF_PRESENT | platform::DIGCF_ALLCLASSES);
    EXPECT_FALSE(api.SetupDiEnumDeviceInfo(after, 2, device));  // two present now
    std::uint32_t root = 0;
    api.CM_Locate_DevNode(root, std::nullopt, 0);
    api.CM_Reenumerate_DevNode(root, 0);
    const platform::Handle again = api.SetupDiGetClassDevs(platform::DIGCF_PRESENT | platform::DIGCF_ALLCLASSES);
    EXPECT_TRUE(api.SetupDiEnumDeviceInfo(again, 2, device));
}

TEST_F(MachineTest, WithoutTheSetupApiEveryDeviceCallFails) {
    Ini("[Machine]\nWindows = 95\nSetupApi = no\n[SourceList]\nPath = D:\\WIN95\n");
    std::uint32_t root = 0;
    EXPECT_EQ(api.SetupDiGetClassDevs(platform::DIGCF_PRESENT), 0u);
    EXPECT_FALSE(api.SetupQuerySourceList(platform::SRCLIST_SYSTEM | platform::SRCLIST_USER));
    EXPECT_NE(api.CM_Locate_DevNode(root, std::nullopt, 0), platform::CR_SUCCESS);
    EXPECT_FALSE(api.SetupCopyOEMInf("C:\\x.inf", "C:\\", platform::SPOST_PATH, 0));
}

TEST_F(MachineTest, FaultsByNameByCallAndAtRandom) {
    machine.Files().PutFile("C:\\a.txt", "a");
    Ini("[Faults]\nCopyFile = call 2\nDeleteFile = always\n");
    EXPECT_TRUE(api.CopyFile("C:\\a.txt", "C:\\b.txt", false));
    EXPECT_FALSE(api.CopyFile("C:\\a.txt", "C:\\c.txt", false));
    EXPECT_TRUE(api.CopyFile("C:\\a.txt", "C:\\d.txt", false));
    EXPECT_FALSE(api.DeleteFile("C:\\b.txt"));
    EXPECT_TRUE(machine.Files().Exists("C:\\b.txt"));
    EXPECT_FALSE(machine.Files().Exists("C:\\c.txt"));
    EXPECT_EQ(machine.FaultsInjected(), 2u);

    // The same seed fails the same calls.
    auto pattern = [](std::uint32_t seed) {
        vm::VirtualMachine m;
        m.Files().PutFile("C:\\a.txt", "a");
        m.SetRandomFaults(0.5, seed);
        std::string result;
        for (int i = 0; i < 64; ++i) result += m.CopyFile("C:\\a.txt", "C:\\b.txt", false) ? '1' : '0';
        return result;
    };
    EXPECT_EQ(pattern(7), pattern(7));
    EXPECT_NE(pattern(7), pattern(8));
    EXPECT_NE(pattern(7).find('0'), std::string::npos);
    EXPECT_NE(pattern(7).find('1'), std::string::npos);
}

TEST_F(MachineTest, AWaitPastTheTimeLimitIsAHang) {
    machine.settings.timeLimit = 60000;
    EXPECT_NO_THROW(api.Sleep(60000));
    EXPECT_THROW(api.Sleep(1), vm::VirtualTimeLimit);
}

TEST_F(MachineTest, ProfileFilesWithoutAFolderLiveInTheWindowsFolder) {
    machine.Files().PutDirectory("C:\\WINDOWS");
    EXPECT_TRUE(api.WritePrivateProfileString("rename", "NUL", "C:\\WINDOWS\\Mixer.old", "WININIT.INI"));
    EXPECT_EQ(machine.Files().ReadFile("C:\\WINDOWS\\WININIT.INI"), "[rename]\r\nNUL=C:\\WINDOWS\\Mixer.old\r\n");
    EXPECT_EQ(api.GetPrivateProfileString("RENAME", "nul", "", "wininit.ini"), "C:\\WINDOWS\\Mixer.old");
    EXPECT_EQ(api.GetPrivateProfileInt("x", "y", 42, "C:\\missing\\setup.ini"), 42);
}

TEST_F(MachineTest, CurrentDirectoryFollowsSuccessfulChangesOnly) {
    machine.Files().PutDirectory("E:\\W2K-ME");
    machine.settings.currentDirectory = "C:\\";
    EXPECT_FALSE(api.SetCurrentDirectory("E:\\WIN_ME\\"));
    EXPECT_EQ(api.GetCurrentDirectory(), "C:\\");
    EXPECT_TRUE(api.SetCurrentDirectory("e:\\w2k-me\\"));
    EXPECT_EQ(api.GetCurrentDirectory(), "E:\\w2k-me");
    EXPECT_TRUE(api.CopyFile("C:\\none", "x", false) == false);
}

TEST_F(MachineTest, ShortNamesOfTheStagingFolder) {
    machine.Files().PutDirectory("C:\\Program Files\\Orvanta\\WIN_ME");
    EXPECT_EQ(api.GetShortPathName("C:\\Program Files\\Orvanta\\WIN_ME"), "C:\\PROGRA~1\\ORVANTA\\WIN_ME");
    EXPECT_EQ(api.GetShortPathName("C:\\Program Files\\Orvanta\\WIN_9x"), std::nullopt);
}

}  // namespace

namespace {

TEST(MachineIniTest, AttributesApplyOnReadOnlyDrivesToo) {
    vm::VirtualMachine machine;
    machine.Files().PutFile("E:\\setup.ini", "x");
    machine.Files().PutFile("C:\\WINDOWS\\INF\\OEM3.INF", "x");
    vm::ApplyMachineIni("[Machine]\nReadOnlyDrives = E\n[Attributes]\nE:\\setup.ini = H\nC:\\WINDOWS\\INF\\OEM3.INF = R S\n",
                        "machine.ini", machine);
    EXPECT_EQ(machine.Files().Attributes("E:\\setup.ini"), platform::FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(machine.Files().Attributes("C:\\WINDOWS\\INF\\OEM3.INF"),
              platform::FILE_ATTRIBUTE_READONLY | platform::FILE_ATTRIBUTE_SYSTEM);
}

}  // namespace
