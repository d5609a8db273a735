// The registry purge of earlier drivers on virtual machines: what goes, what
// stays, in which order, and the outcome.
#include <gtest/gtest.h>

#include "cleanup/registry_purge.h"
#include "support/cleanup_machine.h"

namespace {

using setup::PurgeOutcome;
using testsupport::CleanupMachine;
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
std::string MediaInstance(const std::string& name, const std::string& provider) {
    return Block(Hklm(kMedia + "\\" + name), "\"DriverDesc\"=\"Audio\"\n\"ProviderName\"=\"" + provider + "\"\n");
}
std::string Resource(const std::string& type, const std::string& name) {
    return Block(Hklm(kResources + "\\" + type + "\\" + name), "\"Driver\"=\"x.drv\"\n");
}
// An entry with a device-instance sub-key below it.
std::string DeviceEntry(const std::string& parent, const std::string& name) {
    return Block(Hklm(parent + "\\" + name)) + Block(Hklm(parent + "\\" + name + "\\0000"), "\"Class\"=\"MEDIA\"\n");
}
std::string CompanionKeys() {
    return Block(Hkcr("Audio3D"), "@=\"3D\"\n") + Block(Hkcr(kAudio3dClsid + "\\InprocServer32")) +
           Block(Hklm("SOFTWARE\\ASIO\\OVX4720 ASIO"), "\"CLSID\"=\"x\"\n") +
           Block(Hklm("SOFTWARE\\ASIO\\Other ASIO")) +
           Block(Hkcr(kAsioClsid + "\\InprocServer32")) + Block(Hkcr("CLSID\\{00000000-0000-0000-0000-000000000001}"));
}
const Names kCompanionDeletions = {Hkcr("Audio3D"), Hkcr(kAudio3dClsid), Hklm("SOFTWARE\\ASIO"), Hkcr(kAsioClsid)};
const Names kCompanionKeyNames = {"HKCR\\Audio3D", "HKCR\\" + kAudio3dClsid, "HKLM\\SOFTWARE\\ASIO",
                                  "HKCR\\" + kAsioClsid};

Names Concat(std::initializer_list<Names> lists) {
    Names all;
    for (const Names& list : lists) all.insert(all.end(), list.begin(), list.end());
    return all;
}

TEST(PurgeOutcomeTest, EachOutcomeWithWhatGoesAndWhatStays) {
    struct Row {
        const char* description;
        std::string registry;
        Names refusedDeletes;
        PurgeOutcome outcome;
        Names deleted;  // in order
        Names kept;
    };
    const Row rows[] = {
        {"nothing of an earlier driver", Block(Hklm("Enum\\Root")), {}, PurgeOutcome::NothingFound, {}, {}},
        {"class instances alone leave the companions",
         MediaInstance("0003", "Orvanta") + Resource("wave", "OVWAVE0003A") + CompanionKeys(),
         {},
         PurgeOutcome::NothingFound,
         {Hklm(kMedia + "\\0003"), Hklm(kResources + "\\wave\\OVWAVE0003A")},
         kCompanionKeyNames},
        {"a lone joystick device takes the companions with it",
         Block(Hklm("Enum\\VIRTUAL\\SSC-JOYSTK\\0000")) + CompanionKeys(),
         {},
         PurgeOutcome::Removed,
         Concat({{Hklm("Enum\\VIRTUAL\\SSC-JOYSTK")}, kCompanionDeletions}),
         {"HKLM\\SOFTWARE", "HKCR\\CLSID\\{00000000-0000-0000-0000-000000000001}", "HKLM\\Enum\\VIRTUAL"}},
        {"every kind of entry, phase by phase",
         CompanionKeys() + Block(Hklm("Enum\\VIRTUAL\\SSC-LEGACY")) + Block(Hklm("Enum\\VIRTUAL\\SSC-SWMIDI")) +
             DeviceEntry("Enum\\OVX", "CHILD0000") + DeviceEntry("Enum\\PCI", "VEN_8086&DEV_7000") +
             DeviceEntry("Enum\\PCI", "VEN_1D9C&DEV_0111&SUBSYS_01111D9C&REV_02") + Resource("wave", "OVWAVE0003A") +
             Resource("aux", "OVAUX0003A") + MediaInstance("0004", "Other Maker") + MediaInstance("0003", "ORVANTA"),
         {},
         PurgeOutcome::Removed,
         Concat({{Hklm(kMedia + "\\0003"), Hklm(kResources + "\\aux\\OVAUX0003A"),
                  Hklm(kResources + "\\wave\\OVWAVE0003A"),
                  Hklm("Enum\\PCI\\VEN_1D9C&DEV_0111&SUBSYS_01111D9C&REV_02"), Hklm("Enum\\OVX\\CHILD0000"),
                  Hklm("Enum\\VIRTUAL\\SSC-SWMIDI"), Hklm("Enum\\VIRTUAL\\SSC-LEGACY")},
                 kCompanionDeletions}),
         {"HKLM\\" + kMedia + "\\0004", "HKLM\\Enum\\PCI\\VEN_8086&DEV_7000\\0000", "HKLM\\Enum\\OVX"}},
        {"a PCI entry that resists ends the purge",
         MediaInstance("0003", "Orvanta") + DeviceEntry("Enum\\PCI", "VEN_1D9C&DEV_0111") +
             DeviceEntry("Enum\\OVX", "CHILD0000") + Block(Hklm("Enum\\VIRTUAL\\SSC-SWMIDI")) + CompanionKeys(),
         {"Enum\\PCI\\VEN_1D9C&DEV_0111"},
         PurgeOutcome::EnumeratedEntryKept,
         {Hklm(kMedia + "\\0003")},
         Concat({{"HKLM\\Enum\\PCI\\VEN_1D9C&DEV_0111\\0000", "HKLM\\Enum\\OVX\\CHILD0000",
                  "HKLM\\Enum\\VIRTUAL\\SSC-SWMIDI"},
                 kCompanionKeyNames})},
        {"a chip-enumerator entry that resists ends the purge",
         DeviceEntry("Enum\\PCI", "VEN_1D9C&DEV_0111") + DeviceEntry("Enum\\OVX", "CHILD0000") +
             DeviceEntry("Enum\\OVX", "CHILD0001") + Block(Hklm("Enum\\VIRTUAL\\SSC-SWMIDI")) + CompanionKeys(),
         {"Enum\\OVX\\CHILD0000"},
         PurgeOutcome::EnumeratedEntryKept,
         {Hklm("Enum\\PCI\\VEN_1D9C&DEV_0111")},
         Concat({{"HKLM\\Enum\\OVX\\CHILD0000", "HKLM\\Enum\\OVX\\CHILD0001", "HKLM\\Enum\\VIRTUAL\\SSC-SWMIDI"},
                 kCompanionKeyNames})},
        {"a virtual device that resists ends the purge",
         Block(Hklm("Enum\\VIRTUAL\\SSC-JOYSTK")) + Block(Hklm("Enum\\VIRTUAL\\SSC-SBEMU")) +
             Block(Hklm("Enum\\VIRTUAL\\SSC-LEGACY")) + Block(Hklm("Enum\\VIRTUAL\\SSC-DOSEMU")) +
             Block(Hklm("Enum\\VIRTUAL\\SSC-SWMIDI")) + CompanionKeys(),
         {"Enum\\VIRTUAL\\SSC-DOSEMU"},
         PurgeOutcome::VirtualDeviceKept,
         {Hklm("Enum\\VIRTUAL\\SSC-SWMIDI")},
         Concat({{"HKLM\\Enum\\VIRTUAL\\SSC-DOSEMU", "HKLM\\Enum\\VIRTUAL\\SSC-LEGACY",
                  "HKLM\\Enum\\VIRTUAL\\SSC-SBEMU", "HKLM\\Enum\\VIRTUAL\\SSC-JOYSTK"},
                 kCompanionKeyNames})},
        {"companion keys that resist are passed over",
         Block(Hklm("Enum\\VIRTUAL\\SSC-SBEMU")) + CompanionKeys(),
         {"Audio3D", "SOFTWARE\\ASIO"},
         PurgeOutcome::Removed,
         {Hklm("Enum\\VIRTUAL\\SSC-SBEMU"), Hkcr(kAudio3dClsid), Hkcr(kAsioClsid)},
         {"HKCR\\Audio3D", "HKLM\\SOFTWARE\\ASIO\\OVX4720 ASIO"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.description);
        CleanupMachine machine;
        machine.ImportRegistry(row.registry);
        for (const std::string& path : row.refusedDeletes) machine.RefuseDelete(path);
        const vm::Registry before = machine.Reg();

        EXPECT_EQ(setup::PurgeEarlierDriverRegistry(machine), row.outcome);

        EXPECT_EQ(machine.DeletedKeys(), row.deleted);
        for (const std::string& key : row.kept) EXPECT_TRUE(machine.HasKey(key)) << key;
        if (row.deleted.empty()) {
            EXPECT_TRUE(machine.Reg() == before);
        }
    }
}

TEST(PurgeOutcomeTest, SecondPurgeFindsNothingMore) {
    CleanupMachine machine;
    machine.ImportRegistry(MediaInstance("0001", "Orvanta") + Resource("midi", "OVMIDI0001A") +
                           DeviceEntry("Enum\\PCI", "VEN_1D9C&DEV_0111") + Block(Hklm("Enum\\VIRTUAL\\SSC-SBEMU")) +
                           CompanionKeys());
    ASSERT_EQ(setup::PurgeEarlierDriverRegistry(machine), PurgeOutcome::Removed);
    const vm::Registry afterFirst = machine.Reg();
    EXPECT_EQ(setup::PurgeEarlierDriverRegistry(machine), PurgeOutcome::NothingFound);
    EXPECT_TRUE(machine.Reg() == afterFirst);
}

std::string Fillers(int count) {
    std::string values;
    for (int i = 0; i < count; ++i) values += "\"V" + std::to_string(i) + "\"=\"x\"\n";
    return values;
}

// REG_BINARY data of the given size, as REGEDIT4 writes it.
std::string HexBytes(int count) {
    std::string text = "hex:";
    for (int i = 0; i < count; ++i) text += i ? ",4f" : "4f";
    return text;
}

TEST(PurgeMediaClassTest, ProviderNameRules) {
    const std::string longName(79, 'N');
    struct Row {
        std::string values;  // of class instance 0003
        bool deleted;
    } rows[] = {
        {"\"ProviderName\"=\"Orvanta\"\n", true},
        {"\"ProviderName\"=\"oRvAnTa Corporation\"\n", true},
        {"\"DriverDesc\"=\"OVX4720\"\n\"ProviderName\"=\"ORVANTA\"\n", true},
        {"\"ProviderName\"=\"Orvant\"\n", false},  // shorter than seven characters
        {"\"ProviderName\"=\"Or\"\n", false},
        {"\"ProviderName\"=\"Orvanti\"\n", false},
        {"\"ProviderName\"=\"Microsoft\"\n", false},
        {"\"providername\"=\"Orvanta\"\n", false},  // the value name's case counts
        {"\"PROVIDERNAME\"=\"Orvanta\"\n", false},
        {"\"ProviderName\"=dword:00000001\n", false},
        {"", false},
        // A value too large for the provider buffer does not stop the scan.
        {"\"Blob\"=" + HexBytes(300) + "\n\"ProviderName\"=\"Orvanta\"\n", true},
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
    for (const Row& row : rows) {
        SCOPED_TRACE(row.values.substr(0, 80));
        CleanupMachine machine;
        machine.ImportRegistry(Block(Hklm(kMedia + "\\0003"), row.values) + Resource("wave", "OVWAVE0003A") +
                               Block(Hklm(kMedia + "\\0004"), "\"ProviderName\"=\"Orvanta\"\n"));

        EXPECT_EQ(setup::PurgeEarlierDriverRegistry(machine), PurgeOutcome::NothingFound);

        EXPECT_NE(machine.HasKey("HKLM\\" + kMedia + "\\0003"), row.deleted);
        EXPECT_NE(machine.HasKey("HKLM\\" + kResources + "\\wave\\OVWAVE0003A"), row.deleted);
        EXPECT_FALSE(machine.HasKey("HKLM\\" + kMedia + "\\0004"));
    }
}

TEST(PurgeMediaClassTest, InstancesAreLookedUpByTheirFirstFourCharacters) {
    std::string manyInstances;
    for (int i = 0; i < 120; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "%04d", i);
        manyInstances += MediaInstance(name, i == 110 ? "Orvanta" : "Other");
    }
    struct Row {
        const char* description;
        std::string media;
        Names deleted;
    } rows[] = {
        {"longer name after its four-character twin", MediaInstance("0003", "Orvanta") +
                                                            MediaInstance("0003X", "Orvanta"),
         {Hklm(kMedia + "\\0003"), Hklm(kResources + "\\wave\\W0003A")}},
        {"longer name without a twin", MediaInstance("0007X", "Orvanta"), {}},
        {"longer name of the maker, twin of another", MediaInstance("0003X", "Orvanta") +
                                                          MediaInstance("0003", "Other"),
         {}},
        {"longer name of another, twin of the maker", MediaInstance("0003X", "Other") +
                                                          MediaInstance("0003", "Orvanta"),
         {Hklm(kMedia + "\\0003"), Hklm(kResources + "\\wave\\W0003A")}},
        {"a name too long for its buffer ends the list",
         Block(Hklm(kMedia + "\\" + std::string(80, 'L'))) + MediaInstance("0003", "Orvanta"), {}},
        {"more than a hundred instances", manyInstances, {Hklm(kMedia + "\\0110")}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.description);
        CleanupMachine machine;
        machine.ImportRegistry(row.media + Resource("wave", "W0003A"));
        setup::PurgeEarlierDriverRegistry(machine);
        EXPECT_EQ(machine.DeletedKeys(), row.deleted);
    }
}

TEST(PurgeMediaResourcesTest, EntriesNamedByTheFourCharactersBeforeTheLast) {
    const std::string longName = "Orvanta OVX4720 PCI Audio Wave Output Device 0003Q";  // over 39 characters
    struct Row {
        const char* type;
        std::string name;
        bool deleted;
    } rows[] = {
        {"aux", "OVAUX0003A", true},
        {"joystick", "00030", true},
        {"midi", "OVMIDI0003z", true},
        {"mixer", "Mixer-0003-", true},
        {"wave", "wave0003A", true},
        {"wave", longName, true},
        {"midi", "xx00ab1", true},  // instance 00AB, case ignored
        {"wave", "xx00AB1", true},
        {"wave", "0003", false},
        {"wave", "x0003", false},
        {"wave", "ab0003", false},
        {"wave", "x0003AB", false},
        {"wave", "x0004A", false},  // instance 0004 is another maker's
        {"midi", "0003", false},
        {"aux", "30003", false},
    };
    std::string registry = MediaInstance("0003", "Orvanta") + MediaInstance("0004", "Other") +
                           MediaInstance("00AB", "orvanta");
    for (const Row& row : rows) registry += Resource(row.type, row.name);
    CleanupMachine machine;
    machine.ImportRegistry(registry);

    setup::PurgeEarlierDriverRegistry(machine);

    for (const Row& row : rows) {
        EXPECT_NE(machine.HasKey("HKLM\\" + kResources + "\\" + row.type + "\\" + row.name), row.deleted)
            << row.type << "\\" << row.name;
    }
    // Instance by instance, type by type: aux, joystick, midi, mixer, wave.
    EXPECT_EQ(machine.DeletedKeys(),
              (Names{Hklm(kMedia + "\\0003"), Hklm(kResources + "\\aux\\OVAUX0003A"),
                     Hklm(kResources + "\\joystick\\00030"), Hklm(kResources + "\\midi\\OVMIDI0003z"),
                     Hklm(kResources + "\\mixer\\Mixer-0003-"), Hklm(kResources + "\\wave\\wave0003A"),
                     Hklm(kResources + "\\wave\\" + longName), Hklm(kMedia + "\\00AB"),
                     Hklm(kResources + "\\midi\\xx00ab1"), Hklm(kResources + "\\wave\\xx00AB1")}));
}

TEST(PurgeMediaResourcesTest, OneSweepDeletesAtMostFifteenEntries) {
    std::string registry = MediaInstance("0003", "Orvanta");
    Names waveMatches;
    for (int i = 0; i < 17; ++i) {
        const std::string name = "OVWAVE" + std::to_string(i) + "_0003" + static_cast<char>('A' + i);
        waveMatches.push_back(name);
        registry += Resource("wave", "Other" + std::to_string(i)) + Resource("wave", name);
    }
    for (const char* name : {"M0003A", "M0003B", "M0003C"}) registry += Resource("midi", name);
    CleanupMachine machine;
    machine.ImportRegistry(registry);

    setup::PurgeEarlierDriverRegistry(machine);

    Names expectedWave;
    for (int i = 0; i < 17; ++i) expectedWave.push_back("Other" + std::to_string(i));
    expectedWave.insert(expectedWave.begin() + 16, waveMatches[15]);
    expectedWave.push_back(waveMatches[16]);
    EXPECT_EQ(machine.SubKeys("HKLM\\" + kResources + "\\wave"), expectedWave);
    EXPECT_EQ(machine.SubKeys("HKLM\\" + kResources + "\\midi"), Names{});
}

TEST(PurgeEnumeratedEntriesTest, PrefixRulesWhereverTheEntriesStand) {
    const std::string longMatch = "VEN_1D9C&DEV_0111&SUBSYS_01111D9C&REV_02" + std::string(39, 'X');  // 79
    const std::string tooLong = "VEN_8086&DEV_7000" + std::string(63, 'X');                           // 80
    struct Row {
        const char* parent;
        Names entries;  // in enumeration order
        Names remaining;
    } rows[] = {
        {"Enum\\PCI",
         {"VEN_8086&DEV_7000", "VEN_1D9C&DEV_0111&SUBSYS_01111D9C&REV_02", "VEN_10EC&DEV_8139",
          "VEN_1D9C&DEV_0112&SUBSYS_01121D9C&REV_01"},
         {"VEN_8086&DEV_7000", "VEN_10EC&DEV_8139"}},
        {"Enum\\PCI", {"VEN_1D9C&DEV_0111", "VEN_1D9C&DEV_0112", "VEN_8086&DEV_7000"}, {"VEN_8086&DEV_7000"}},
        {"Enum\\PCI",
         {"VEN_8086&DEV_7000", "VEN_8086&DEV_7010", "VEN_1D9C&DEV_0111", "VEN_1D9C&DEV_0115"},
         {"VEN_8086&DEV_7000", "VEN_8086&DEV_7010"}},
        {"Enum\\PCI",
         {"ven_1d9c&dev_0111", "VEN_1D9C&dev_0112", "VEN_1D9C&DEV_0211", "VEN_1D9C&DEV_0", "VEN_1D9C&DEV_01"},
         {"ven_1d9c&dev_0111", "VEN_1D9C&dev_0112", "VEN_1D9C&DEV_0211", "VEN_1D9C&DEV_0"}},
        {"Enum\\PCI", {"VEN_8086&DEV_7000", longMatch}, {"VEN_8086&DEV_7000"}},
        // A name too long for its buffer ends the scan, also after a restart.
        {"Enum\\PCI", {tooLong, "VEN_1D9C&DEV_0111"}, {tooLong, "VEN_1D9C&DEV_0111"}},
        {"Enum\\PCI", {"VEN_1D9C&DEV_0111", tooLong, "VEN_1D9C&DEV_0112"}, {tooLong, "VEN_1D9C&DEV_0112"}},
        {"Enum\\OVX",
         {"CHILD0000", "child0001", "Child0002", "CHILD", "CHIL", "XCHILD0000", "CHILD0003"},
         {"child0001", "Child0002", "CHIL", "XCHILD0000"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.parent + (" " + row.entries.front()));
        CleanupMachine machine;
        std::string registry;
        for (const std::string& entry : row.entries) registry += DeviceEntry(row.parent, entry);
        machine.ImportRegistry(registry);

        const PurgeOutcome outcome = setup::PurgeEarlierDriverRegistry(machine);

        EXPECT_EQ(machine.SubKeys(std::string("HKLM\\") + row.parent), row.remaining);
        EXPECT_EQ(outcome, row.remaining.size() < row.entries.size() ? PurgeOutcome::Removed
                                                                      : PurgeOutcome::NothingFound);
    }
}

TEST(PurgeEnumeratedEntriesTest, EntryThatWillNotOpenIsPassedOver) {
    const std::string first = "Enum\\PCI\\VEN_1D9C&DEV_0111";
    struct Row {
        const char* description;
        std::string refusedPath;
        int refusals;
        Names remaining;
    } rows[] = {
        // The scan goes on after it, and the restart after a deletion tries it again.
        {"refused once", first, 1, {"VEN_8086&DEV_7000"}},
        {"refused always", first, CleanupMachine::kAlways, {"VEN_1D9C&DEV_0111", "VEN_8086&DEV_7000"}},
        {"enumerator refused", "Enum\\PCI", 1, {"VEN_1D9C&DEV_0111", "VEN_8086&DEV_7000", "VEN_1D9C&DEV_0112"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.description);
        CleanupMachine machine;
        machine.ImportRegistry(DeviceEntry("Enum\\PCI", "VEN_1D9C&DEV_0111") +
                               DeviceEntry("Enum\\PCI", "VEN_8086&DEV_7000") +
                               DeviceEntry("Enum\\PCI", "VEN_1D9C&DEV_0112") + DeviceEntry("Enum\\OVX", "CHILD0000"));
        machine.RefuseOpen(row.refusedPath, row.refusals);

        EXPECT_EQ(setup::PurgeEarlierDriverRegistry(machine), PurgeOutcome::Removed);

        EXPECT_EQ(machine.SubKeys("HKLM\\Enum\\PCI"), row.remaining);
        EXPECT_EQ(machine.SubKeys("HKLM\\Enum\\OVX"), Names{});
    }
}

}  // namespace
