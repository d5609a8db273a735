// The registry purge of earlier drivers: what goes, what stays, in which
// order, and the outcome.
#include <gtest/gtest.h>

#include "cleanup/registry_purge.h"
#include "support/machine_fixture.h"

namespace {

using setup::PurgeOutcome;
using testsupport::TestMachine;
using Names = std::vector<std::string>;

const std::string kMedia = "System\\CurrentControlSet\\services\\Class\\MEDIA\\";
const std::string kResources = "System\\CurrentControlSet\\control\\MediaResources\\";
const std::string k3dClsid = "CLSID\\{D8F1EEE0-F634-11CF-8700-00A0245D918B}", kAsioClsid = "CLSID\\{188135E1-D565-11d2-854F-00A0C99F5D19}";

// Full key names as the journal gives them.
std::string Hklm(const std::string& path) { return "HKEY_LOCAL_MACHINE\\" + path; }
std::string Hkcr(const std::string& path) { return "HKEY_CLASSES_ROOT\\" + path; }
std::string Media(const std::string& name) { return Hklm(kMedia + name); }
std::string Res(const std::string& typeAndName) { return Hklm(kResources + typeAndName); }
std::string Enum(const std::string& path) { return Hklm("Enum\\" + path); }
// REGEDIT4 blocks.
std::string Block(const std::string& key, const std::string& values = "") { return "[" + key + "]\n" + values + "\n"; }
std::string Instance(const std::string& name, const std::string& provider) {
    return Block(Media(name), "\"DriverDesc\"=\"Audio\"\n\"ProviderName\"=\"" + provider + "\"\n");
}
std::string Resource(const std::string& typeAndName) { return Block(Res(typeAndName), "\"Driver\"=\"x.drv\"\n"); }
// An entry with a device-instance sub-key below it.
std::string Device(const std::string& path) { return Block(Enum(path)) + Block(Enum(path + "\\0000"), "\"Class\"=\"MEDIA\"\n"); }
const std::string kCompanions =
    Block(Hkcr("Audio3D"), "@=\"3D\"\n") + Block(Hkcr(k3dClsid + "\\InprocServer32")) +
    Block(Hklm("SOFTWARE\\ASIO\\OVX4720 ASIO"), "\"CLSID\"=\"x\"\n") + Block(Hklm("SOFTWARE\\ASIO\\Other ASIO")) +
    Block(Hkcr(kAsioClsid + "\\InprocServer32")) + Block(Hkcr("CLSID\\{00000000-0000-0000-0000-000000000001}"));
// In the order they are deleted.
const Names kCompanionKeys = {Hkcr("Audio3D"), Hkcr(k3dClsid), Hklm("SOFTWARE\\ASIO"), Hkcr(kAsioClsid)};

Names Concat(Names a, const Names& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(RegistryPurge, EachOutcomeWithWhatGoesAndWhatStays) {
    const std::string audio = "PCI\\VEN_1D9C&DEV_0111&SUBSYS_01111D9C&REV_02";
    struct Row {
        std::string registry;
        Names refusedDeletes;
        PurgeOutcome outcome;
        Names deleted, kept;  // deleted in order
    } rows[] = {
        {Block(Enum("Root")), {}, PurgeOutcome::NothingFound, {}, {}},
        // Class instances alone leave the companions; a lone joystick takes them.
        {Instance("0003", "Orvanta") + Resource("wave\\OV0003A") + kCompanions, {}, PurgeOutcome::NothingFound,
         {Media("0003"), Res("wave\\OV0003A")}, kCompanionKeys},
        {Block(Enum("VIRTUAL\\SSC-JOYSTK\\0000")) + kCompanions, {}, PurgeOutcome::Removed,
         Concat({Enum("VIRTUAL\\SSC-JOYSTK")}, kCompanionKeys),
         {Hklm("SOFTWARE"), Hkcr("CLSID\\{00000000-0000-0000-0000-000000000001}"), Enum("VIRTUAL")}},
        // Every kind of entry, phase by phase.
        {kCompanions + Block(Enum("VIRTUAL\\SSC-LEGACY")) + Block(Enum("VIRTUAL\\SSC-SWMIDI")) + Device("OVX\\CHILD0000") +
             Device("PCI\\VEN_8086&DEV_7000") + Device(audio) + Resource("wave\\OV0003A") + Resource("aux\\OVAUX0003A") +
             Instance("0004", "Other Maker") + Instance("0003", "ORVANTA"),
         {}, PurgeOutcome::Removed,
         Concat({Media("0003"), Res("aux\\OVAUX0003A"), Res("wave\\OV0003A"), Enum(audio), Enum("OVX\\CHILD0000"),
                 Enum("VIRTUAL\\SSC-SWMIDI"), Enum("VIRTUAL\\SSC-LEGACY")}, kCompanionKeys),
         {Media("0004"), Enum("PCI\\VEN_8086&DEV_7000\\0000"), Enum("OVX")}},
        // An enumerated entry or a virtual device that resists ends the purge; companions are passed over.
        {Instance("0003", "Orvanta") + Device("PCI\\VEN_1D9C&DEV_0111") + Device("OVX\\CHILD0000") +
             Block(Enum("VIRTUAL\\SSC-SWMIDI")) + kCompanions,
         {"Enum\\PCI\\VEN_1D9C&DEV_0111"}, PurgeOutcome::EnumeratedEntryKept, {Media("0003")},
         Concat({Enum("PCI\\VEN_1D9C&DEV_0111\\0000"), Enum("OVX\\CHILD0000"), Enum("VIRTUAL\\SSC-SWMIDI")}, kCompanionKeys)},
        {Block(Enum("VIRTUAL\\SSC-JOYSTK")) + Block(Enum("VIRTUAL\\SSC-SBEMU")) + Block(Enum("VIRTUAL\\SSC-LEGACY")) +
             Block(Enum("VIRTUAL\\SSC-DOSEMU")) + Block(Enum("VIRTUAL\\SSC-SWMIDI")) + kCompanions,
         {"Enum\\VIRTUAL\\SSC-DOSEMU"}, PurgeOutcome::VirtualDeviceKept, {Enum("VIRTUAL\\SSC-SWMIDI")},
         Concat({Enum("VIRTUAL\\SSC-DOSEMU"), Enum("VIRTUAL\\SSC-LEGACY"), Enum("VIRTUAL\\SSC-SBEMU"), Enum("VIRTUAL\\SSC-JOYSTK")},
                kCompanionKeys)},
        {Block(Enum("VIRTUAL\\SSC-SBEMU")) + kCompanions, {"Audio3D", "SOFTWARE\\ASIO"}, PurgeOutcome::Removed,
         {Enum("VIRTUAL\\SSC-SBEMU"), Hkcr(k3dClsid), Hkcr(kAsioClsid)}, {Hkcr("Audio3D"), Hklm("SOFTWARE\\ASIO\\OVX4720 ASIO")}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.registry.substr(0, 300));
        TestMachine machine;
        machine.ImportRegistry(row.registry);
        for (const std::string& path : row.refusedDeletes) machine.RefuseDelete(path);
        EXPECT_EQ(setup::PurgeEarlierDriverRegistry(machine.Journaled()), row.outcome);
        std::vector<std::string> deleted, refused;  // a refused deletion is a line too, with its error
        for (const platform::JournalEntry& entry : machine.GetJournal().OfKind("delete registry key")) {
            (entry.Get("result") == "ok" ? deleted : refused).push_back(entry.Get("key") + " " + entry.Get("error"));
        }
        for (std::string& key : deleted) key.pop_back();
        EXPECT_EQ(deleted, row.deleted);
        EXPECT_EQ(refused.size(), row.refusedDeletes.size());
        for (const std::string& line : refused) EXPECT_EQ(line.substr(line.rfind(' ') + 1), "5") << line;  // access denied
        for (const std::string& key : row.kept) EXPECT_TRUE(machine.HasKey(key)) << key;
        // A second purge finds nothing more and changes nothing.
        if (!row.refusedDeletes.empty()) continue;
        const vm::Registry afterFirst = machine.Reg();
        EXPECT_EQ(setup::PurgeEarlierDriverRegistry(machine.Journaled()), PurgeOutcome::NothingFound);
        EXPECT_TRUE(machine.Reg() == afterFirst);
    }
}

std::string Values(int count) {
    std::string values;
    for (int i = 0; i < count; ++i) values += "\"V" + std::to_string(i) + "\"=\"x\"\n";
    return values;
}

TEST(RegistryPurge, ClassInstancesOfTheMaker) {
    std::string blob = "hex:4f";  // REG_BINARY of 300 bytes
    for (int i = 1; i < 300; ++i) blob += ",4f";
    const std::string orvanta = "\"ProviderName\"=\"Orvanta\"\n", longName(79, 'N');
    const std::pair<std::string, bool> providers[] = {  // values of class instance 0003, deleted
        {"\"ProviderName\"=\"oRvAnTa Corporation\"\n", true}, {"\"DriverDesc\"=\"OVX4720\"\n\"ProviderName\"=\"ORVANTA\"\n", true},
        {"\"ProviderName\"=\"Orvanti\"\n", false},
        {"\"providername\"=\"Orvanta\"\n", false},  // the value name's case counts
        {"\"ProviderName\"=dword:00000001\n", false},
        {"\"Blob\"=" + blob + "\n" + orvanta, true},  // too large for the buffer: passed over
        // The text fills its 80-byte buffer with the terminator, or overflows it.
        {"\"ProviderName\"=\"Orvanta" + std::string(72, 'x') + "\"\n", true},
        {"\"ProviderName\"=\"Orvanta" + std::string(73, 'x') + "\"\n", false},
        // A value name that does not fit its 80-character buffer ends the scan.
        {"\"" + longName + "\"=\"x\"\n" + orvanta, true}, {"\"" + longName + "N\"=\"x\"\n" + orvanta, false},
        {Values(999) + orvanta, true}, {Values(1000) + orvanta, false},  // at most 1000 values are looked at
    };
    for (const auto& [values, deleted] : providers) {
        TestMachine machine;
        machine.ImportRegistry(Block(Media("0003"), values) + Resource("wave\\OV0003A") + Block(Media("0004"), orvanta));
        EXPECT_EQ(setup::PurgeEarlierDriverRegistry(machine.Journaled()), PurgeOutcome::NothingFound);
        const Names expected = deleted ? Names{Media("0003"), Res("wave\\OV0003A"), Media("0004")} : Names{Media("0004")};
        EXPECT_EQ(machine.Journal("delete registry key", "key"), expected) << values.substr(0, 80);
    }
    // Instances are looked up by their first four characters.
    const std::pair<std::string, Names> lookups[] = {
        {Instance("0003", "Orvanta") + Instance("0003X", "Orvanta"), {Media("0003"), Res("wave\\W0003A")}},
        {Instance("0003X", "Orvanta") + Instance("0003", "Other"), {}},
        {Instance("0003X", "Other") + Instance("0003", "Orvanta"), {Media("0003"), Res("wave\\W0003A")}},
        {Block(Media(std::string(80, 'L'))) + Instance("0003", "Orvanta"), {}},  // too long a name ends the list
    };
    for (const auto& [media, deleted] : lookups) {
        TestMachine machine;
        machine.ImportRegistry(media + Resource("wave\\W0003A"));
        setup::PurgeEarlierDriverRegistry(machine.Journaled());
        EXPECT_EQ(machine.Journal("delete registry key", "key"), deleted) << media.substr(0, 200);
    }
}

TEST(RegistryPurge, MediaResourcesNamedByTheFourCharactersBeforeTheLast) {
    // Deleted instance by instance, type by type: aux, joystick, midi, mixer, wave.
    const Names deleted = {"aux\\OVAUX0003A", "joystick\\00030", "midi\\OVMIDI0003z", "mixer\\Mixer-0003-", "wave\\wave0003A",
                           "wave\\Orvanta OVX4720 PCI Audio Wave Output Device 0003Q", "midi\\xx00ab1", "wave\\xx00AB1"};
    const Names kept = {"wave\\0003", "wave\\x0003", "wave\\ab0003", "wave\\x0003AB", "wave\\x0004A", "aux\\30003"};
    std::string registry = Instance("0003", "Orvanta") + Instance("0004", "Other") + Instance("00AB", "orvanta");
    for (const std::string& name : Concat(kept, deleted)) registry += Resource(name);
    TestMachine machine;
    machine.ImportRegistry(registry);
    setup::PurgeEarlierDriverRegistry(machine.Journaled());
    for (const std::string& name : kept) EXPECT_TRUE(machine.HasKey(Res(name))) << name;
    Names expected = {Media("0003")};
    for (const std::string& name : deleted) {
        if (name == "midi\\xx00ab1") expected.push_back(Media("00AB"));
        expected.push_back(Res(name));
    }
    EXPECT_EQ(machine.Journal("delete registry key", "key"), expected);

    // One sweep of a type deletes at most fifteen entries.
    TestMachine full;
    std::string sweep = Instance("0003", "Orvanta");
    Names remaining;
    for (int i = 0; i < 17; ++i) {
        const std::string match = "OVWAVE" + std::to_string(i) + "_0003" + static_cast<char>('A' + i);
        sweep += Resource("wave\\Other" + std::to_string(i)) + Resource("wave\\" + match);
        remaining.push_back("Other" + std::to_string(i));
        if (i >= 15) remaining.push_back(match);
    }
    full.ImportRegistry(sweep);
    setup::PurgeEarlierDriverRegistry(full);
    EXPECT_EQ(full.SubKeys(Res("wave")), remaining);
}

TEST(RegistryPurge, EnumeratedEntriesByPrefixWhereverTheyStand) {
    const std::string match = "VEN_1D9C&DEV_0111&SUBSYS_01111D9C&REV_02" + std::string(39, 'X');  // 79 characters
    const std::string tooLong = "VEN_8086&DEV_7000" + std::string(63, 'X');                        // 80
    const Names three = {"VEN_1D9C&DEV_0111", "VEN_8086&DEV_7000", "VEN_1D9C&DEV_0112"};
    struct Row {
        const char* parent;
        Names entries, remaining;  // entries in enumeration order
        std::string refusedOpen = "";
        int refusals = 0;
    } rows[] = {
        {"PCI", {"VEN_8086&DEV_7000", "VEN_1D9C&DEV_0111&SUBSYS_01111D9C&REV_02", "VEN_10EC&DEV_8139", "VEN_1D9C&DEV_0112"},
         {"VEN_8086&DEV_7000", "VEN_10EC&DEV_8139"}},
        {"PCI", {"ven_1d9c&dev_0111", "VEN_1D9C&dev_0112", "VEN_1D9C&DEV_0211", "VEN_1D9C&DEV_0", "VEN_1D9C&DEV_01"},
         {"ven_1d9c&dev_0111", "VEN_1D9C&dev_0112", "VEN_1D9C&DEV_0211", "VEN_1D9C&DEV_0"}},
        // A name too long for its buffer ends the scan, also after a restart.
        {"PCI", {tooLong, "VEN_1D9C&DEV_0111"}, {tooLong, "VEN_1D9C&DEV_0111"}},
        {"PCI", {"VEN_1D9C&DEV_0111", tooLong, "VEN_1D9C&DEV_0112"}, {tooLong, "VEN_1D9C&DEV_0112"}},
        {"OVX", {"CHILD0000", "child0001", "Child0002", "CHILD", "CHIL", "XCHILD0000", "CHILD0003"},
         {"child0001", "Child0002", "CHIL", "XCHILD0000"}},
        // An entry that will not open is passed over; the restart after a deletion tries it again.
        {"PCI", three, {"VEN_8086&DEV_7000"}, "Enum\\PCI\\VEN_1D9C&DEV_0111", 1},
        {"PCI", three, {"VEN_1D9C&DEV_0111", "VEN_8086&DEV_7000"}, "Enum\\PCI\\VEN_1D9C&DEV_0111", TestMachine::kAlways},
        {"PCI", three, three, "Enum\\PCI", 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.parent + (" " + row.entries.front()) + " " + row.refusedOpen);
        TestMachine machine;
        std::string registry = Device("OVX\\CHILD0009");
        for (const std::string& entry : row.entries) registry += Device(row.parent + ("\\" + entry));
        machine.ImportRegistry(registry);
        if (row.refusals) machine.RefuseOpen(row.refusedOpen, row.refusals);
        EXPECT_EQ(setup::PurgeEarlierDriverRegistry(machine.Journaled()), PurgeOutcome::Removed);
        EXPECT_EQ(machine.SubKeys(Enum(row.parent)), row.remaining);
        EXPECT_FALSE(machine.HasKey(Enum("OVX\\CHILD0009")));
    }
}

}  // namespace
