// Removal of the present audio device through the Setup API.
#include <gtest/gtest.h>

#include "cleanup/present_device_removal.h"
#include "platform/vm/machine_folder.h"
#include "support/machine_fixture.h"

namespace {

using testsupport::TestMachine;
using Ids = std::vector<std::string>;

constexpr const char* kAudioId = "PCI\\VEN_1D9C&DEV_0111";
constexpr const char* kRev2 = "PCI\\VEN_1D9C&DEV_0111&REV_02";
constexpr int kUntouched = 7;  // a flag value no outcome produces

// Releasing the set sets an error of its own, which the caller must not see.
class ReleaseSettingAnError : public TestMachine {
public:
    bool SetupDiDestroyDeviceInfoList(platform::Handle set) override {
        const bool released = TestMachine::SetupDiDestroyDeviceInfoList(set);
        SetLastError(platform::ERROR_INVALID_HANDLE);
        return released;
    }
};

TEST(RemovePresentDevice, FirstMatchingDeviceOnly) {
    const std::string longId = std::string(kAudioId) + "&SUBSYS_" + std::string(300, '1');
    // A hardware-ID list of exactly `bytes` bytes, terminators included, the audio ID last.
    auto listOf = [](std::size_t bytes) { return Ids{std::string(bytes - std::string(kAudioId).size() - 3, 'A'), kAudioId}; };
    struct Row {
        std::vector<Ids> devices;
        int flag;
        std::string presentAfter;  // one digit a device
        std::string textAfter;
        int flagAfter;
        std::string machineIni = "";
    } rows[] = {
        {{{"PCI\\VEN_8086&DEV_7000"}, {"PCI\\VEN_1D9C&DEV_0112&SUBSYS_01121D9C"}}, 1, "11", kAudioId, 1},
        {{{"ACPI\\PNP0303"}, {kRev2, kAudioId}, {kRev2, kAudioId}}, 1, "101", kRev2, 1},  // two like cards
        {{{"PCI\\VEN_8086&DEV_7000", kRev2}}, 1, "0", kRev2, 1},  // a match in a later hardware ID
        {{{"pci\\ven_1d9c&dev_0111"}, {"PCI\\VEN_1d9c&DEV_0111"}}, 1, "11", kAudioId, 1},  // case counts
        {{listOf(1025), {kAudioId}}, 1, "10", kAudioId, 1},  // an oversized list is passed over
        {{listOf(1024)}, 1, "0", kAudioId, 1},  // one that just fits is read
        {{{kRev2}}, 0, "1", kRev2, 0},  // found, not asked to remove
        {{{kAudioId}}, kUntouched, "0", kAudioId, 1},
        {{{longId}}, 1, "0", longId, 1},  // longer than the callers' buffer, comes back whole
        // Failures leave the flag to say what happened.
        {{{kRev2}}, kUntouched, "1", kAudioId, kUntouched, "[Machine]\nSetupApi = no\n"},
        {{{kRev2}}, kUntouched, "1", kRev2, 0, "[Faults]\nSetupDiRemoveDevice = always\n"},
        {{{kRev2}}, kUntouched, "1", kAudioId, kUntouched, "[Faults]\nSetupDiGetDeviceRegistryProperty = always\n"},
    };
    for (const Row& row : rows) {
        ReleaseSettingAnError machine;
        vm::ApplyMachineIni(row.machineIni, "machine.ini", machine);
        for (const Ids& ids : row.devices) machine.Devices().push_back({ids, true});
        SCOPED_TRACE(row.devices.front().front().substr(0, 40) + " " + row.machineIni);
        std::string text = kAudioId;
        int flag = row.flag;
        setup::RemovePresentDevice(machine.Journaled(), text, flag);
        std::string present;
        for (const vm::Device& device : machine.Devices()) present += device.present ? '1' : '0';
        EXPECT_EQ(present, row.presentAfter);
        EXPECT_EQ(text, row.textAfter);
        EXPECT_EQ(flag, row.flagAfter);
        // Found nothing: the search's own error stands, not the release's.
        if (row.presentAfter == "11") {
            EXPECT_EQ(machine.GetLastError(), static_cast<std::uint32_t>(platform::ERROR_NO_MORE_ITEMS));
        }
    }
    TestMachine flows;
    flows.Devices().push_back({{"PCI\\VEN_1D9C&DEV_0110&REV_01"}, true});
    flows.Devices().push_back({{"PCI\\VEN_1D9C&DEV_0111&SUBSYS_01111D9C&REV_02", kAudioId}, true});
    setup::RemovePresentAudioDevice(flows);
    EXPECT_FALSE(flows.Devices()[1].present);
    EXPECT_TRUE(flows.Devices()[0].present);
}

}  // namespace
