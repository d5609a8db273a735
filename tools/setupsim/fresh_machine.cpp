#include "setupsim/fresh_machine.h"

#include "platform/vm/machine_folder.h"

namespace setupsim {

namespace {

// What every fresh machine has in common, in the machine folder's own
// format; [Machine] is added per run.
constexpr const char* kCommonIni = R"ini(
[Programs]
SYSTRAY.EXE = runs 86400000

[Devices]
Device = PCI\VEN_1D9C&DEV_0111&SUBSYS_01111D9C&REV_02, PCI\VEN_1D9C&DEV_0111

[Events]
; Plug and Play finds the card again and installs the new driver.
reenumeration 1500 = window-open Found New Hardware | OVDNINST
reenumeration 2000 = mixer-devices 2
reenumeration 2500 = registry-set HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\Class\MEDIA\0000 | DriverDesc | "OVX4720/R3DX PCI Audio Device"
reenumeration 6000 = window-close Found New Hardware
reenumeration 6000 = registry-set HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Applets\Systray | Services | dword:00000005
)ini";

constexpr const char* kRegistry = R"reg(REGEDIT4

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Applets\Systray]
"Services"=dword:00000005

[HKEY_USERS\.DEFAULT\Software\Microsoft\Windows\CurrentVersion\Applets\Systray]
"Services"=dword:00000005

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run]
"SystemTray"="SysTray.Exe"

[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\Class\MEDIA]
)reg";

std::string MachineSection(vm::WindowsVersion version, const std::string& commandLine) {
    return std::string("[Machine]\nWindows = ") + vm::ToString(version) +
           "\nWindowsFolder = C:\\WINDOWS\nProgramPath = E:\\setup.exe\nCommandLine = " + commandLine +
           "\nCurrentDirectory = E:\\\nReadOnlyDrives = E\nMixerDevices = 1\nSetupApi = " +
           (version == vm::WindowsVersion::Win95 ? "no" : "yes") + "\n";
}

}  // namespace

void BuildFreshMachine(vm::VirtualMachine& machine, vm::WindowsVersion version, const std::string& commandLine,
                       const Medium& medium) {
    vm::FileSystem& files = machine.Files();
    files.AddDrive('C');
    machine.Reg() = vm::Registry::ParseRegFile(kRegistry);
    vm::ApplyMachineIni(MachineSection(version, commandLine) + kCommonIni, "fresh machine", machine);
    const std::string windows = machine.settings.windowsFolder + "\\";
    files.PutDirectory(machine.settings.systemFolder);
    files.PutDirectory(windows + "INF\\OTHER");
    files.PutFile(machine.settings.systemFolder + "\\SYSTRAY.EXE", "MZ");
    PutMedium(files, medium);
}

}  // namespace setupsim
