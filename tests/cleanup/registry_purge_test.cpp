// The registry purge of earlier drivers: what goes, what stays, in which
// order, and the outcome.
#include <gtest/gtest.h>

#include <cstdio>

#include "cleanup/registry_purge.h"
#include "support/machine_fixture.h"

namespace {

using setup::PurgeOutcome;
using testsupport::TestMachine;
using Names = std::vector<std::string>;

const std::string kMedia = "System\\CurrentControlSet\\services\\Class\\MEDIA";
const std::string kResources = "System\\CurrentControlSet\\control\\MediaResources";
const std::string kAudio3dClsid = "CLSID\\{D8F1EEE0-F634-11CF-8700-00A0245D918B}";
const std::string kAsioClsid = "CLSID\\{188135E1-D565-11d2-854F-00A0C99F5D19}";

std::string Hklm(const std::string& path) { return "HKEY_LOCAL_MACHINE\\" + path; }
std::string Hkcr(const std::string& path) { return "HKEY_CLASSES_ROOT\\" + path; }
std::string Block(const std::string& fullName, const std::string& values = "") {
    return "[" + fullName + "]\n" + values + "\n";
}
std::string Instance(const std::string& name, const std::string& provider) {
    return Block(Hklm(kMedia + "\\" + name), "\"DriverDesc\"=\"Audio\"\n\"ProviderName\"=\"" + provider + "\"\n");
}
std::string Resource(const std::string& type, const std::string& name) {
    return Block(Hklm(kResources + "\\" + type + "\\" + name), "\"Driver\"=\"x.drv\"\n");
}
// An entry with a device-instance sub-key below it.
std::string Device(const std::string& parent, const std::string& name) {
    return Block(Hklm(parent + "\\" + name)) + Block(Hklm(parent + "\\" + name + "\\0000"), "\"Class\"=\"MEDIA\"\n");
}
std::string Virtual(const std::string& name) { return Block(Hklm("Enum\\VIRTUAL\\" + name)); }
const std::string kCompanions =
    Block(Hkcr("Audio3D"), "@=\"3D\"\n") + Block(Hkcr(kAudio3dClsid + "\\InprocServer32")) +
    Block(Hklm("SOFTWARE\\ASIO\\OVX4720 ASIO"), "\"CLSID\"=\"x\"\n") + Block(Hklm("SOFTWARE\\ASIO\\Other ASIO")) +
    Block(Hkcr(kAsioClsid + "\\InprocServer32")) + Block(Hkcr("CLSID\\{00000000-0000-0000-0000-000000000001}"));
const Names kCompanionsDeleted = {Hkcr("Audio3D"), Hkcr(kAudio3dClsid), Hklm("SOFTWARE\\ASIO"), Hkcr(kAsioClsid)};
const Names kCompanionsKept = {"HKCR\\Audio3D", "HKCR\\" + kAudio3dClsid, "HKLM\\SOFTWARE\\ASIO", "HKCR\\" + kAsioClsid};

Names Concat(Names a, const Names& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(RegistryPurge, EachOutcomeWithWhatGoesAndWhatStays) {
    struct Row {
        const char* description;
        std::string registry;
        Names refusedDeletes;
        PurgeOutcome outcome;
        Names deleted;  // in order
        Names kept;
    } rows[] = {
        {"nothing of an earlier driver", Block(Hklm("Enum\\Root")), {}, PurgeOutcome::NothingFound, {}, {}},
        {"class instances alone leave the companions", Instance("0003", "Orvanta") + Resource("wave", "OVWAVE0003A") + kCompanions,
         {}, PurgeOutcome::NothingFound, {Hklm(kMedia + "\\0003"), Hklm(kResources + "\\wave\\OVWAVE0003A")}, kCompanionsKept},
        {"a lone joystick device takes the companions with it", Virtual("SSC-JOYSTK\\0000") + kCompanions, {},
         PurgeOutcome::Removed, Concat({Hklm("Enum\\VIRTUAL\\SSC-JOYSTK")}, kCompanionsDeleted),
         {"HKLM\\SOFTWARE", "HKCR\\CLSID\\{00000000-0000-0000-0000-000000000001}", "HKLM\\Enum\\VIRTUAL"}},
        {"every kind of entry, phase by phase",
         kCompanions + Virtual("SSC-LEGACY") + Virtual("SSC-SWMIDI") + Device("Enum\\OVX", "CHILD0000") +
             Device("Enum\\PCI", "VEN_8086&DEV_7000") + Device("Enum\\PCI", "VEN_1D9C&DEV_0111&SUBSYS_01111D9C&REV_02") +
             Resource("wave", "OVWAVE0003A") + Resource("aux", "OVAUX0003A") + Instance("0004", "Other Maker") +
             Instance("0003", "ORVANTA"),
         {}, PurgeOutcome::Removed,
         Concat({Hklm(kMedia + "\\0003"), Hklm(kResources + "\\aux\\OVAUX0003A"), Hklm(kResources + "\\wave\\OVWAVE0003A"),
                 Hklm("Enum\\PCI\\VEN_1D9C&DEV_0111&SUBSYS_01111D9C&REV_02"), Hklm("Enum\\OVX\\CHILD0000"),
                 Hklm("Enum\\VIRTUAL\\SSC-SWMIDI"), Hklm("Enum\\VIRTUAL\\SSC-LEGACY")},
                kCompanionsDeleted),
         {"HKLM\\" + kMedia + "\\0004", "HKLM\\Enum\\PCI\\VEN_8086&DEV_7000\\0000", "HKLM\\Enum\\OVX"}},
        {"a PCI entry that resists ends the purge",
         Instance("0003", "Orvanta") + Device("Enum\\PCI", "VEN_1D9C&DEV_0111") + Device("Enum\\OVX", "CHILD0000") +
             Virtual("SSC-SWMIDI") + kCompanions,
         {"Enum\\PCI\\VEN_1D9C&DEV_0111"}, PurgeOutcome::EnumeratedEntryKept, {Hklm(kMedia + "\\0003")},
         Concat({"HKLM\\Enum\\PCI\\VEN_1D9C&DEV_0111\\0000", "HKLM\\Enum\\OVX\\CHILD0000", "HKLM\\Enum\\VIRTUAL\\SSC-SWMIDI"},
                kCompanionsKept)},
        {"a chip-enumerator entry that resists ends the purge",
         Device("Enum\\PCI", "VEN_1D9C&DEV_0111") + Device("Enum\\OVX", "CHILD0000") + Device("Enum\\OVX", "CHILD0001") +
             Virtual("SSC-SWMIDI") + kCompanions,
         {"Enum\\OVX\\CHILD0000"}, PurgeOutcome::EnumeratedEntryKept, {Hklm("Enum\\PCI\\VEN_1D9C&DEV_0111")},
         Concat({"HKLM\\Enum\\OVX\\CHILD0000", "HKLM\\Enum\\OVX\\CHILD0001", "HKLM\\Enum\\VIRTUAL\\SSC-SWMIDI"}, kCompanionsKept)},
        {"a virtual device that resists ends the purge",
         Virtual("SSC-JOYSTK") + Virtual("SSC-SBEMU") + Virtual("SSC-LEGACY") + Virtual("SSC-DOSEMU") +
             Virtual("SSC-SWMIDI") + kCompanions,
         {"Enum\\VIRTUAL\\SSC-DOSEMU"}, PurgeOutcome::VirtualDeviceKept, {Hklm("Enum\\VIRTUAL\\SSC-SWMIDI")},
         Concat({"HKLM\\Enum\\VIRTUAL\\SSC-DOSEMU", "HKLM\\Enum\\VIRTUAL\\SSC-LEGACY", "HKLM\\Enum\\VIRTUAL\\SSC-SBEMU",
                 "HKLM\\Enum\\VIRTUAL\\SSC-JOYSTK"},
                kCompanionsKept)},
        {"companion keys that resist are passed over", Virtual("SSC-SBEMU") + kCompanions, {"Audio3D", "SOFTWARE\\ASIO"},
         PurgeOutcome::Removed, {Hklm("Enum\\VIRTUAL\\SSC-SBEMU"), Hkcr(kAudio3dClsid), Hkcr(kAsioClsid)},
         {"HKCR\\Audio3D", "HKLM\\SOFTWARE\\ASIO\\OVX4720 ASIO"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.description);
        TestMachine machine;
        machine.ImportRegistry(row.registry);
        for (const std::string& path : row.refusedDeletes) machine.RefuseDelete(path);
        EXPECT_EQ(setup::PurgeEarlierDriverRegistry(machine), row.outcome);
        EXPECT_EQ(machine.Journal("delete registry key", "key"), row.deleted);
        for (const std::string& key : row.kept) EXPECT_TRUE(machine.HasKey(key)) << key;
        // A second purge finds nothing more.
        const vm::Registry afterFirst = machine.Reg();
        if (row.refusedDeletes.empty()) {
            EXPECT_EQ(setup::PurgeEarlierDriverRegistry(machine), PurgeOutcome::NothingFound);
        }
        EXPECT_TRUE(machine.Reg() == afterFirst);
    }
}

std::string Fillers(int count) {
    std::string values;
    for (int i = 0; i < count; ++i) values += "\"V" + std::to_string(i) + "\"=\"x\"\n";
    return values;
}

TEST(RegistryPurge, ProviderNameRules) {
    const std::string longName(79, 'N');
    std::string blob = "hex:4f";  // REG_BINARY of 300 bytes
    for (int i = 1; i < 300; ++i) blob += ",4f";
    const std::pair<std::string, bool> rows[] = {  // values of class instance 0003, deleted
        {"\"ProviderName\"=\"oRvAnTa Corporation\"\n", true},
        {"\"DriverDesc\"=\"OVX4720\"\n\"ProviderName\"=\"ORVANTA\"\n", true},
        {"\"ProviderName\"=\"Orvant\"\n", false},  // shorter than seven characters
        {"\"ProviderName\"=\"Orvanti\"\n", false},
        {"\"providername\"=\"Orvanta\"\n", false},  // the value name's case counts
        {"\"ProviderName\"=dword:00000001\n", false},
        {"", false},
        {"\"Blob\"=" + blob + "\n\"ProviderName\"=\"Orvanta\"\n", true},  // too large for the buffer, passed over
        // The provider text fills its 80-byte buffer with the terminator, or overflows it.
        {"\"ProviderName\"=\"Orvanta" + std::string(72, 'x') + "\"\n", true},
        {"\"ProviderName\"=\"Orvanta" + std::string(73, 'x') + "\"\n", false},
        // A value name that does not fit its 80-character buffer ends the scan.
        {"\"" + longName + "\"=\"x\"\n\"ProviderName\"=\"Orvanta\"\n", true},
        {"\"" + longName + "N\"=\"x\"\n\"ProviderName\"=\"Orvanta\"\n", false},
        // At most 1000 values are looked at.
        {Fillers(999) + "\"ProviderName\"=\"Orvanta\"\n", true},
        {Fillers(1000) + "\"ProviderName\"=\"Orvanta\"\n", false},
    };
    for (const auto& [values, deleted] : rows) {
        SCOPED_TRACE(values.substr(0, 80));
        TestMachine machine;
        machine.ImportRegistry(Block(Hklm(kMedia + "\\0003"), values) + Resource("wave", "OVWAVE0003A") +
                               Block(Hklm(kMedia + "\\0004"), "\"ProviderName\"=\"Orvanta\"\n"));
        EXPECT_EQ(setup::PurgeEarlierDriverRegistry(machine), PurgeOutcome::NothingFound);
        EXPECT_NE(machine.HasKey("HKLM\\" + kMedia + "\\0003"), deleted);
        EXPECT_NE(machine.HasKey("HKLM\\" + kResources + "\\wave\\OVWAVE0003A"), deleted);
        EXPECT_FALSE(machine.HasKey("HKLM\\" + kMedia + "\\0004"));
    }
}

TEST(RegistryPurge, InstancesAreLookedUpByTheirFirstFourCharacters) {
    std::string many;
    for (int i = 0; i < 120; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "%04d", i);
        many += Instance(name, i == 110 ? "Orvanta" : "Other");
    }
    const Names twin = {Hklm(kMedia + "\\0003"), Hklm(kResources + "\\wave\\W0003A")};
    const std::pair<std::string, Names> rows[] = {
        {Instance("0003", "Orvanta") + Instance("0003X", "Orvanta"), twin},
        {Instance("0007X", "Orvanta"), {}},
        {Instance("0003X", "Orvanta") + Instance("0003", "Other"), {}},
        {Instance("0003X", "Other") + Instance("0003", "Orvanta"), twin},
        {Block(Hklm(kMedia + "\\" + std::string(80, 'L'))) + Instance("0003", "Orvanta"), {}},  // too long: ends the list
        {many, {Hklm(kMedia + "\\0110")}},
    };
    for (const auto& [media, deleted] : rows) {
        TestMachine machine;
        machine.ImportRegistry(media + Resource("wave", "W0003A"));
        setup::PurgeEarlierDriverRegistry(machine);
        EXPECT_EQ(machine.Journal("delete registry key", "key"), deleted) << media.substr(0, 200);
    }
}

TEST(RegistryPurge, MediaResourcesNamedByTheFourCharactersBeforeTheLast) {
    const std::string longName = "Orvanta OVX4720 PCI Audio Wave Output Device 0003Q";  // over 39 characters
    const std::pair<const char*, std::string> deleted[] = {
        {"aux", "OVAUX0003A"}, {"joystick", "00030"}, {"midi", "OVMIDI0003z"}, {"mixer", "Mixer-0003-"},
        {"wave", "wave0003A"}, {"wave", longName},     {"midi", "xx00ab1"},     {"wave", "xx00AB1"}};
    const std::pair<const char*, std::string> kept[] = {{"wave", "0003"},    {"wave", "x0003"}, {"wave", "ab0003"},
                                                        {"wave", "x0003AB"}, {"wave", "x0004A"}, {"aux", "30003"}};
    std::string registry = Instance("0003", "Orvanta") + Instance("0004", "Other") + Instance("00AB", "orvanta");
    for (const auto& [type, name] : kept) registry += Resource(type, name);
    for (const auto& [type, name] : deleted) registry += Resource(type, name);
    TestMachine machine;
    machine.ImportRegistry(registry);
    setup::PurgeEarlierDriverRegistry(machine);
    for (const auto& [type, name] : kept) EXPECT_TRUE(machine.HasKey("HKLM\\" + kResources + "\\" + type + "\\" + name)) << name;
    // Instance by instance, type by type: aux, joystick, midi, mixer, wave.
    Names expected = {Hklm(kMedia + "\\0003")};
    for (const auto& [type, name] : deleted) {
        if (name == "xx00ab1") expected.push_back(Hklm(kMedia + "\\00AB"));
        expected.push_back(Hklm(kResources + "\\" + type + "\\" + name));
    }
    EXPECT_EQ(machine.Journal("delete registry key", "key"), expected);

    // One sweep of a type deletes at most fifteen entries.
    TestMachine full;
    std::string sweep = Instance("0003", "Orvanta");
    Names remaining;
    for (int i = 0; i < 17; ++i) {
        const std::string match = "OVWAVE" + std::to_string(i) + "_0003" + static_cast<char>('A' + i);
        sweep += Resource("wave", "Other" + std::to_string(i)) + Resource("wave", match);
        remaining.push_back("Other" + std::to_string(i));
        if (i >= 15) remaining.push_back(match);
    }
    full.ImportRegistry(sweep);
    setup::PurgeEarlierDriverRegistry(full);
    EXPECT_EQ(full.SubKeys("HKLM\\" + kResources + "\\wave"), remaining);
}

TEST(RegistryPurge, EnumeratedEntriesByPrefixWhereverTheyStand) {
    const std::string longMatch = "VEN_1D9C&DEV_0111&SUBSYS_01111D9C&REV_02" + std::string(39, 'X');  // 79
    const std::string tooLong = "VEN_8086&DEV_7000" + std::string(63, 'X');                           // 80
    struct Row {
        const char* parent;
        Names entries;  // in enumeration order
        Names remaining;
        std::string refusedOpen = "";
        int refusals = 0;
    } rows[] = {
        {"Enum\\PCI", {"VEN_8086&DEV_7000", "VEN_1D9C&DEV_0111&SUBSYS_01111D9C&REV_02", "VEN_10EC&DEV_8139", "VEN_1D9C&DEV_0112"},
         {"VEN_8086&DEV_7000", "VEN_10EC&DEV_8139"}},
        {"Enum\\PCI", {"VEN_8086&DEV_7000", "VEN_1D9C&DEV_0111", "VEN_1D9C&DEV_0115"}, {"VEN_8086&DEV_7000"}},
        {"Enum\\PCI", {"ven_1d9c&dev_0111", "VEN_1D9C&dev_0112", "VEN_1D9C&DEV_0211", "VEN_1D9C&DEV_0", "VEN_1D9C&DEV_01"},
         {"ven_1d9c&dev_0111", "VEN_1D9C&dev_0112", "VEN_1D9C&DEV_0211", "VEN_1D9C&DEV_0"}},
        {"Enum\\PCI", {"VEN_8086&DEV_7000", longMatch}, {"VEN_8086&DEV_7000"}},
        // A name too long for its buffer ends the scan, also after a restart.
        {"Enum\\PCI", {tooLong, "VEN_1D9C&DEV_0111"}, {tooLong, "VEN_1D9C&DEV_0111"}},
        {"Enum\\PCI", {"VEN_1D9C&DEV_0111", tooLong, "VEN_1D9C&DEV_0112"}, {tooLong, "VEN_1D9C&DEV_0112"}},
        {"Enum\\OVX", {"CHILD0000", "child0001", "Child0002", "CHILD", "CHIL", "XCHILD0000", "CHILD0003"},
         {"child0001", "Child0002", "CHIL", "XCHILD0000"}},
        // An entry that will not open is passed over; the restart after a deletion tries it again.
        {"Enum\\PCI", {"VEN_1D9C&DEV_0111", "VEN_8086&DEV_7000", "VEN_1D9C&DEV_0112"}, {"VEN_8086&DEV_7000"},
         "Enum\\PCI\\VEN_1D9C&DEV_0111", 1},
        {"Enum\\PCI", {"VEN_1D9C&DEV_0111", "VEN_8086&DEV_7000", "VEN_1D9C&DEV_0112"}, {"VEN_1D9C&DEV_0111", "VEN_8086&DEV_7000"},
         "Enum\\PCI\\VEN_1D9C&DEV_0111", TestMachine::kAlways},
        {"Enum\\PCI", {"VEN_1D9C&DEV_0111", "VEN_8086&DEV_7000", "VEN_1D9C&DEV_0112"},
         {"VEN_1D9C&DEV_0111", "VEN_8086&DEV_7000", "VEN_1D9C&DEV_0112"}, "Enum\\PCI", 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.parent + (" " + row.entries.front()) + " " + row.refusedOpen);
        TestMachine machine;
        std::string registry;
        for (const std::string& entry : row.entries) registry += Device(row.parent, entry);
        machine.ImportRegistry(registry + Device("Enum\\OVX", "CHILD0009"));
        if (row.refusals) machine.RefuseOpen(row.refusedOpen, row.refusals);
        EXPECT_EQ(setup::PurgeEarlierDriverRegistry(machine), PurgeOutcome::Removed);
        EXPECT_EQ(machine.SubKeys(std::string("HKLM\\") + row.parent), row.remaining);
        EXPECT_FALSE(machine.HasKey("HKLM\\Enum\\OVX\\CHILD0009"));
    }
}

}  // namespace
