// Removal of the present audio device on virtual machines.
#include <gtest/gtest.h>

#include "cleanup/present_device_removal.h"
#include "support/machine_fixture.h"

namespace {

using testsupport::TestMachine;
using Ids = std::vector<std::string>;

constexpr const char* kAudioId = "PCI\\VEN_1D9C&DEV_0111";
constexpr int kUntouched = 7;  // a flag value no outcome produces

// A hardware-ID list of exactly `bytes` bytes, terminators included, with
// the audio ID last.
Ids ListOfBytes(std::size_t bytes) {
    const std::size_t audioBytes = std::string(kAudioId).size() + 1;
    return {std::string(bytes - audioBytes - 2, 'A'), kAudioId};
}

std::vector<bool> Present(TestMachine& machine) {
    std::vector<bool> present;
    for (const vm::Device& device : machine.Devices()) present.push_back(device.present);
    return present;
}

TEST(RemoveDeviceTest, FirstMatchingDeviceOnly) {
    const std::string longId = std::string(kAudioId) + "&SUBSYS_" + std::string(300, '1');
    struct Row {
        const char* description;
        std::vector<Ids> devices;
        std::string searchText;
        int flag;
        std::vector<bool> presentAfter;
        std::string textAfter;
        int flagAfter;
    } rows[] = {
        {"no device holds the text",
         {{"PCI\\VEN_8086&DEV_7000"}, {"PCI\\VEN_1D9C&DEV_0112&SUBSYS_01121D9C"}},
         kAudioId, 1, {true, true}, kAudioId, 1},
        {"the first of two matches",
         {{"ACPI\\PNP0303"}, {"PCI\\VEN_1D9C&DEV_0111&SUBSYS_01111D9C&REV_02", "PCI\\VEN_1D9C&DEV_0111"},
          {"PCI\\VEN_1D9C&DEV_0111&SUBSYS_01111D9C&REV_02", "PCI\\VEN_1D9C&DEV_0111"}},  // two like cards
         kAudioId, 1, {true, false, true}, "PCI\\VEN_1D9C&DEV_0111&SUBSYS_01111D9C&REV_02", 1},
        {"a match in a later hardware ID",
         {{"PCI\\VEN_8086&DEV_7000&SUBSYS_00000000", "PCI\\VEN_8086&DEV_7000", "PCI\\VEN_1D9C&DEV_0111&REV_02"}},
         kAudioId, 1, {false}, "PCI\\VEN_1D9C&DEV_0111&REV_02", 1},
        {"the text inside a hardware ID",
         {{"ROOT\\" + std::string(kAudioId) + "\\0000"}},
         kAudioId, 1, {false}, "ROOT\\" + std::string(kAudioId) + "\\0000", 1},
        {"lower case does not match",
         {{"pci\\ven_1d9c&dev_0111"}, {"PCI\\VEN_1d9c&DEV_0111"}},
         kAudioId, 1, {true, true}, kAudioId, 1},
        {"an oversized list is passed over",
         {ListOfBytes(1025), {kAudioId}},
         kAudioId, 1, {true, false}, kAudioId, 1},
        {"a list that just fits is read", {ListOfBytes(1024)}, kAudioId, 1, {false}, kAudioId, 1},
        {"a device without hardware IDs is passed over", {{}, {kAudioId}}, kAudioId, 1, {true, false}, kAudioId, 1},
        {"found but not asked to remove",
         {{"PCI\\VEN_1D9C&DEV_0111&REV_02"}},
         kAudioId, 0, {true}, "PCI\\VEN_1D9C&DEV_0111&REV_02", 0},
        {"any non-zero flag asks for removal", {{kAudioId}}, kAudioId, kUntouched, {false}, kAudioId, 1},
        {"an ID longer than the callers' buffer comes back whole", {{longId}}, kAudioId, 1, {false}, longId, 1},
        {"an empty text matches nothing", {{kAudioId}}, "", 1, {true}, "", 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.description);
        TestMachine machine;
        for (const Ids& ids : row.devices) machine.Devices().push_back({ids, true});
        std::string text = row.searchText;
        int flag = row.flag;

        setup::RemovePresentDevice(machine, text, flag);

        EXPECT_EQ(Present(machine), row.presentAfter);
        EXPECT_EQ(text, row.textAfter);
        EXPECT_EQ(flag, row.flagAfter);
    }
}

TEST(RemoveDeviceTest, FailuresLeaveTheFlagToSayWhat) {
    struct Row {
        const char* description;
        bool setupApi;
        const char* failingOperation;
        std::string textAfter;
        int flagAfter;
        bool presentAfter;
    } rows[] = {
        {"no Setup API", false, "", kAudioId, kUntouched, true},
        {"no device set", true, "SetupDiGetClassDevs", kAudioId, kUntouched, true},
        {"the removal fails", true, "SetupDiRemoveDevice", "PCI\\VEN_1D9C&DEV_0111&REV_02", 0, true},
        {"the hardware IDs cannot be read", true, "SetupDiGetDeviceRegistryProperty", kAudioId, kUntouched, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.description);
        TestMachine machine;
        machine.settings.setupApi = row.setupApi;
        if (*row.failingOperation) machine.Faults().push_back({row.failingOperation, 0});
        machine.Devices().push_back({{"PCI\\VEN_1D9C&DEV_0111&REV_02"}, true});
        std::string text = kAudioId;
        int flag = kUntouched;

        setup::RemovePresentDevice(machine, text, flag);

        EXPECT_EQ(text, row.textAfter);
        EXPECT_EQ(flag, row.flagAfter);
        EXPECT_EQ(machine.Devices()[0].present, row.presentAfter);
    }
}

TEST(RemoveDeviceTest, TheFlowsCallRemovesTheAudioDevice) {
    TestMachine machine;
    machine.Devices().push_back({{"PCI\\VEN_1D9C&DEV_0110&REV_01"}, true});
    machine.Devices().push_back({{"PCI\\VEN_1D9C&DEV_0111&SUBSYS_01111D9C&REV_02", kAudioId}, true});
    setup::RemovePresentAudioDevice(machine);
    EXPECT_EQ(Present(machine), (std::vector<bool>{true, false}));
}

// Releasing the set sets an error of its own, which the caller must not see.
class ReleaseSettingAnError : public TestMachine {
public:
    bool SetupDiDestroyDeviceInfoList(platform::Handle set) override {
        const bool released = TestMachine::SetupDiDestroyDeviceInfoList(set);
        SetLastError(platform::ERROR_INVALID_HANDLE);
        return released;
    }
};

TEST(RemoveDeviceTest, LastErrorSurvivesTheRelease) {
    ReleaseSettingAnError machine;
    machine.Devices().push_back({{"PCI\\VEN_8086&DEV_7000"}, true});
    std::string text = kAudioId;
    int flag = 1;
    setup::RemovePresentDevice(machine, text, flag);
    EXPECT_EQ(machine.GetLastError(), static_cast<std::uint32_t>(platform::ERROR_NO_MORE_ITEMS));
}

}  // namespace
