// Source-disk entries: each form on the VxD and the WDM INF, with its disk
// key present and absent.
#include "driver/inf_source_disks.h"

#include <gtest/gtest.h>

#include "driver/inf_test_support.h"

namespace {

using inftest::Replaced;
using inftest::TestInf;
using setup::SourceDiskForm;

const std::string kInf = "C:\\WINDOWS\\INF\\OTHER\\OVAUDIO.INF";
const std::string kVxdDisk = "1=\"Orvanta PCI Audio Driver Disk\",,0\r\n";
const std::string kWdmDisk = "200=\"Orvanta WDM Audio Driver Disk\",,,\r\n";
const std::string kWdmLastFile = "ovprop.dll=200\r\n";

struct Machine : testsupport::TestMachine {
    explicit Machine(bool stagingFolders) {
        if (stagingFolders) {
            Files().PutDirectory("C:\\Program Files\\Orvanta\\WIN_9x");
            Files().PutDirectory("C:\\Program Files\\Orvanta\\WIN_ME");
        }
    }
};

TEST(InfSourceDisksTest, EachFormWithItsKeyPresentAndAbsent) {
    const std::string vxd = TestInf("vxd/OVAUDIO.INF");
    const std::string wdm = TestInf("wdm/OVAUDIO.INF");
    // A WDM INF whose disk is described otherwise, and which names the
    // catalog's disk already.
    const std::string wdmOther = Replaced(
        wdm, {{kWdmDisk, "200=\"Orvanta WDM Driver CD\",,,\r\n"}, {kWdmLastFile, kWdmLastFile + "ovaudio.cat=1\r\n"}});
    struct Row {
        const char* name;
        SourceDiskForm form;
        std::string inf;
        std::string expected;
    } rows[] = {
        {"VxD INF, long path", SourceDiskForm::VxdLongPath, vxd,
         Replaced(vxd, {{kVxdDisk, "1=\"Orvanta PCI Audio Driver Disk\",,0, C:\\Program Files\\Orvanta\\WIN_9x\r\n"}})},
        {"WDM INF, long path: the entry is written all the same", SourceDiskForm::VxdLongPath, wdm,
         Replaced(wdm, {{kWdmDisk, kWdmDisk + "1=, C:\\Program Files\\Orvanta\\WIN_9x\r\n"}})},
        {"WDM INF, fixed description", SourceDiskForm::WdmFixedDescription, wdm,
         Replaced(wdm, {{kWdmDisk, "200=\"Orvanta WDM Audio Driver Disk\",,,C:\\PROGRA~1\\ORVANTA\\WIN_ME\r\n"},
                        {kWdmLastFile, kWdmLastFile + "ovaudio.cat=200\r\n"}})},
        {"other WDM INF, fixed description", SourceDiskForm::WdmFixedDescription, wdmOther,
         Replaced(wdmOther, {{"200=\"Orvanta WDM Driver CD\",,,\r\n",
                              "200=\"Orvanta WDM Audio Driver Disk\",,,C:\\PROGRA~1\\ORVANTA\\WIN_ME\r\n"},
                             {"ovaudio.cat=1\r\n", "ovaudio.cat=200\r\n"}})},
        {"VxD INF, fixed description", SourceDiskForm::WdmFixedDescription, vxd, vxd},
        {"VxD INF, short path", SourceDiskForm::VxdShortPath, vxd,
         Replaced(vxd, {{kVxdDisk, "1=\"Orvanta PCI Audio Driver Disk\",,0, C:\\PROGRA~1\\ORVANTA\\WIN_9X\r\n"}})},
        {"WDM INF, short path", SourceDiskForm::VxdShortPath, wdm, wdm},
        {"WDM INF, appended short path", SourceDiskForm::WdmAppendedShortPath, wdm,
         Replaced(wdm, {{kWdmDisk, "200=\"Orvanta WDM Audio Driver Disk\",,,C:\\PROGRA~1\\ORVANTA\\WIN_ME\r\n"},
                        {kWdmLastFile, kWdmLastFile + "ovaudio.cat=200\r\n"}})},
        {"other WDM INF, appended short path", SourceDiskForm::WdmAppendedShortPath, wdmOther,
         Replaced(wdmOther, {{"200=\"Orvanta WDM Driver CD\",,,\r\n",
                              "200=\"Orvanta WDM Driver CD\",,,C:\\PROGRA~1\\ORVANTA\\WIN_ME\r\n"},
                             {"ovaudio.cat=1\r\n", "ovaudio.cat=200\r\n"}})},
        {"VxD INF, appended short path", SourceDiskForm::WdmAppendedShortPath, vxd, vxd},
        {"an empty disk entry counts as absent", SourceDiskForm::VxdShortPath, "[SourceDisksNames]\r\n1=\r\n",
         "[SourceDisksNames]\r\n1=\r\n"},
        {"no section: the long path makes one", SourceDiskForm::VxdLongPath, "[Version]\r\n",
         "[Version]\r\n[SourceDisksNames]\r\n1=, C:\\Program Files\\Orvanta\\WIN_9x\r\n"},
    };
    for (const Row& row : rows) {
        Machine machine(true);
        machine.Files().PutFile(kInf, row.inf);
        setup::RewriteSourceDisks(machine, kInf, row.form);
        EXPECT_EQ(machine.Files().ReadFile(kInf), row.expected) << row.name << " (" << setup::ToString(row.form) << ")";
    }
}

TEST(InfSourceDisksTest, WithoutTheStagingFolderOnlyTheLongPathIsWritten) {
    const std::string vxd = TestInf("vxd/OVAUDIO.INF");
    const std::string wdm = TestInf("wdm/OVAUDIO.INF");
    struct Row {
        SourceDiskForm form;
        std::string inf;
        bool changes;
    } rows[] = {
        {SourceDiskForm::VxdLongPath, vxd, true},
        {SourceDiskForm::WdmFixedDescription, wdm, false},
        {SourceDiskForm::VxdShortPath, vxd, false},
        {SourceDiskForm::WdmAppendedShortPath, wdm, false},
    };
    for (const Row& row : rows) {
        Machine machine(false);
        machine.Files().PutFile(kInf, row.inf);
        setup::RewriteSourceDisks(machine, kInf, row.form);
        EXPECT_EQ(machine.Files().ReadFile(kInf) != row.inf, row.changes) << setup::ToString(row.form);
    }
}

TEST(InfSourceDisksTest, AnEntryLongerThanTheOriginalBufferIsKeptWhole) {
    const std::string description = "\"" + std::string(1500, 'D') + "\",,0";
    Machine machine(true);
    machine.Files().PutFile(kInf, "[SourceDisksNames]\r\n1=" + description + "\r\n");
    setup::RewriteSourceDisks(machine, kInf, SourceDiskForm::VxdShortPath);
    EXPECT_EQ(machine.Files().ReadFile(kInf),
              "[SourceDisksNames]\r\n1=" + description + ", C:\\PROGRA~1\\ORVANTA\\WIN_9X\r\n");
}

}  // namespace
