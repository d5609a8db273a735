// A refused call answers as Windows answers a refusal, leaves its error, and
// leaves the machine untouched; only the planned call of an operation fails.
#include <gtest/gtest.h>

#include <functional>

#include "platform/faults/fault_injecting_platform.h"
#include "support/machine_fixture.h"

namespace {

using namespace platform;
using testsupport::TestMachine;

TEST(FaultInjection, RefusedCallsAnswerAsWindowsRefuses) {
    const std::pair<const char*, std::function<std::string(Platform&)>> rows[] = {
        {"GetPrivateProfileInt", [](Platform& p) { return std::to_string(p.GetPrivateProfileInt("S", "K", 7, "C:\\s.ini")); }},
        {"GetPrivateProfileString", [](Platform& p) { return p.GetPrivateProfileString("S", "K", "dflt", "C:\\s.ini"); }},
        {"RegOpenKeyEx", [](Platform& p) { HKey key = 0x1234; const long result = p.RegOpenKeyEx(HKEY_CURRENT_USER, "", 0, key); return std::to_string(result) + " " + std::to_string(key); }},
        {"CopyFile", [](Platform& p) { const bool copied = p.CopyFile("C:\\s.ini", "C:\\t.ini", false); return std::to_string(copied) + " " + std::to_string(p.GetFileAttributes("C:\\t.ini").has_value()); }},
        {"fopen", [](Platform& p) { return std::to_string(p.fopen("C:\\s.ini", "rb") == nullptr); }},
        {"SetupDiEnumDeviceInfo", [](Platform& p) { std::uint32_t device = 0; return std::to_string(p.SetupDiEnumDeviceInfo(p.SetupDiGetClassDevs(DIGCF_PRESENT), 0, device)); }},
        {"SetupDiGetDeviceRegistryProperty", [](Platform& p) { std::string ids; return std::to_string(p.SetupDiGetDeviceRegistryProperty(p.SetupDiGetClassDevs(DIGCF_PRESENT), 0, SPDRP_HARDWAREID, 99, ids)); }},
        {"mixerGetNumDevs", [](Platform& p) { return std::to_string(p.mixerGetNumDevs()); }},
        {"CM_Locate_DevNode", [](Platform& p) { std::uint32_t root = 0; return std::to_string(p.CM_Locate_DevNode(root, std::nullopt, 0)); }},
    };
    const char* answers[] = {"7 5", "dflt 5", "5 0 5", "0 0 5", "1 5", "0 259", "0 87", "0 5", "19 5"};
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const auto& [operation, call] = rows[i];
        TestMachine machine(vm::WindowsVersion::Win98SE, std::string("[Machine]\nMixerDevices = 2\n[Devices]\nDevice = PCI\\VEN_1\n[Faults]\n") + operation + " = always\n");
        machine.Files().PutFile("C:\\s.ini", "[S]\r\nK=1\r\n");
        const std::string answer = call(machine.Faulty());
        EXPECT_EQ(answer + " " + std::to_string(machine.GetLastError()), answers[i]) << operation;
        EXPECT_EQ(machine.FaultsInjected(), 1u) << operation;
    }
    // Only the second call fails; the machine's journal says which.
    TestMachine machine(vm::WindowsVersion::Win98SE, "[Faults]\nmixerGetNumDevs = call 2\n[Machine]\nMixerDevices = 1\n");
    std::string counts;
    for (int i = 0; i < 3; ++i) counts += std::to_string(machine.Faulty().mixerGetNumDevs());
    EXPECT_EQ(counts, "101");
    EXPECT_EQ(machine.Journal("fault", "call"), std::vector<std::string>{"2"});
}

}  // namespace
