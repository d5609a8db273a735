// The two driver option dialogs on the virtual machine: the jack rules as a
// user clicks through them, the package folder, and what Install hands on.
#include <gtest/gtest.h>

#include "driver/vxd_options_dialog.h"
#include "driver/wdm_options_dialog.h"
#include "support/machine_fixture.h"

namespace {

using testsupport::TestMachine;

// The dialog closes on Cancel so the states can be read from the journal.
std::string StatesAfter(int dialogId, std::vector<std::string> clicks) {
    TestMachine machine;
    clicks.push_back("cancel");
    machine.DialogScripts().push_back({dialogId, clicks, false});
    if (dialogId == 103) {
        setup::VxdOptionsDialog(machine).DoModal();
    } else {
        setup::WdmOptionsDialog(machine).DoModal();
    }
    return machine.GetJournal().OfKind("dialog closed").at(0).Get("controls");
}

TEST(OptionDialogsTest, JackRulesAsClickSequences) {
    struct Row {
        std::vector<std::string> clicks;
        const char* jacks;  // the states of 1006 1011 1012 1013 1007
    } rows[] = {
        {{}, "1006=checked 1011=checked 1012=unchecked 1013=unchecked 1007=unchecked"},
        {{"click 1011"}, "1006=checked 1011=checked 1012=unchecked 1013=unchecked 1007=unchecked"},
        {{"click 1012"}, "1006=checked 1011=unchecked 1012=checked 1013=unchecked 1007=unchecked"},
        {{"click 1012", "click 1012"}, "1006=checked 1011=unchecked 1012=checked 1013=unchecked 1007=unchecked"},
        {{"click 1013"}, "1006=checked 1011=checked 1012=unchecked 1013=checked 1007=unchecked"},
        {{"click 1012", "click 1013"}, "1006=checked 1011=unchecked 1012=unchecked 1013=checked 1007=unchecked"},
        {{"click 1012", "click 1013", "click 1011"},
         "1006=checked 1011=checked 1012=unchecked 1013=checked 1007=unchecked"},
        {{"click 1013", "click 1012"}, "1006=checked 1011=unchecked 1012=checked 1013=unchecked 1007=unchecked"},
        {{"click 1007"},
         "1006=unchecked 1011=checked,disabled 1012=unchecked,disabled 1013=unchecked,disabled 1007=checked"},
        {{"click 1013", "click 1007", "click 1006"},
         "1006=checked 1011=checked 1012=unchecked 1013=checked 1007=unchecked"},
        // Disabled boxes cannot be clicked.
        {{"click 1007", "click 1012", "click 1006"},
         "1006=checked 1011=checked 1012=unchecked 1013=unchecked 1007=unchecked"},
        {{"click 1007", "click 1007"},
         "1006=unchecked 1011=checked,disabled 1012=unchecked,disabled 1013=unchecked,disabled 1007=checked"},
    };
    for (int dialog : {103, 131}) {
        for (const Row& row : rows) {
            const std::string states = StatesAfter(dialog, row.clicks);
            EXPECT_NE(states.find(row.jacks), std::string::npos)
                << dialog << " " << ::testing::PrintToString(row.clicks) << "\n" << states;
        }
    }
}

TEST(OptionDialogsTest, LegacyBoxesArePlainCheckBoxes) {
    EXPECT_EQ(StatesAfter(103, {"click 1000", "click 1001", "click 1001"}).substr(0, 27),
              "1000=checked 1001=unchecked");
    EXPECT_EQ(StatesAfter(131, {"click 1000"}).substr(0, 12), "1000=checked");
}

std::string InstallTrace(int dialogId, std::vector<std::string> clicks) {
    TestMachine machine;
    clicks.push_back("ok");
    machine.DialogScripts().push_back({dialogId, clicks, false});
    try {
        if (dialogId == 103) {
            setup::VxdOptionsDialog(machine).DoModal();
        } else {
            setup::WdmOptionsDialog(machine).DoModal();
        }
    } catch (const vm::ProcessExit&) {
    }
    for (const std::string& trace : machine.Traces()) {
        if (trace.find("driver installation:") != std::string::npos) return trace;
    }
    return "";
}

TEST(OptionDialogsTest, InstallHandsOnTheChoicesOfTheMoment) {
    struct Row {
        int dialog;
        std::vector<std::string> clicks;
        const char* options;
    } rows[] = {
        {103, {}, "FullPackage=0 motherboard=1 jacks=1 midi=0 game=0 legacy=0"},
        {103, {"click 1012"}, "motherboard=1 jacks=2 midi=0 game=0"},
        {103, {"click 1013"}, "motherboard=1 jacks=5 midi=0"},
        {103, {"click 1012", "click 1013"}, "motherboard=1 jacks=4 midi=0"},
        {103, {"click 1013", "click 1007", "click 1000", "click 1001"}, "motherboard=0 jacks=0 midi=1 game=1 legacy=0"},
        {131, {"click 1000"}, "motherboard=1 jacks=1 midi=0 game=0 legacy=1"},
        {131, {"click 1007"}, "motherboard=0 jacks=0"},
    };
    for (const Row& row : rows) {
        const std::string trace = InstallTrace(row.dialog, row.clicks);
        EXPECT_NE(trace.find(row.options), std::string::npos) << trace;
        EXPECT_NE(trace.find(row.dialog == 103 ? "VxD driver installation" : "WDM driver installation"),
                  std::string::npos);
    }
}

TEST(OptionDialogsTest, CancelInstallsNothing) {
    TestMachine machine;
    machine.DialogScripts().push_back({131, {"click 1012", "esc"}, false});
    EXPECT_EQ(setup::WdmOptionsDialog(machine).DoModal(), platform::IDCANCEL);
    EXPECT_TRUE(machine.Traces().empty());
}

TEST(OptionDialogsTest, PackageFolderRules) {
    struct Row {
        const char* programPath;
        const char* vxd;
        const char* wdm;
    } rows[] = {
        {"E:\\WEB\\setup.exe", "E:\\WEB\\", "E:\\WEB\\"},
        {"\\PKG\\SETUP.EXE", "\\PKG\\", "D:\\PKG\\"},
        {"A\\B\\SETUP.EXE", "A\\B\\", "D:\\A\\B\\"},
        {"A\\SETUP.EXE", "A\\", "D:A\\"},
        {"setup", "D:\\WORK\\", "D:\\WORK\\"},  // started by name: the current directory
        {"\\\\server\\share\\setup.exe", "\\\\server\\share\\", "\\\\server\\share\\"},
    };
    for (const Row& row : rows) {
        TestMachine machine;
        machine.Files().AddDrive('D');
        machine.Files().PutDirectory("D:\\WORK");
        machine.settings.currentDirectory = "D:\\WORK";
        machine.settings.programPath = row.programPath;
        EXPECT_EQ(setup::VxdOptionsDialog(machine).PackageFolder(), row.vxd) << row.programPath;
        EXPECT_EQ(setup::WdmOptionsDialog(machine).PackageFolder(), row.wdm) << row.programPath;
    }
}

TEST(OptionDialogsTest, FullPackageComesFromTheVxdPackagesSetupIni) {
    struct Row {
        const char* setupIni;
        int fullPackage;
    } rows[] = {{nullptr, 0}, {"[InstallOption]\r\nFullPackage=1\r\n", 1}, {"[InstallOption]\r\nFullPackage=x\r\n", 0}};
    for (const Row& row : rows) {
        TestMachine machine;
        if (row.setupIni) machine.PutMedium("Setup.ini", row.setupIni);
        EXPECT_EQ(setup::VxdOptionsDialog(machine).FullPackage(), row.fullPackage);
    }
}

TEST(OptionDialogsTest, OnlyTheVxdDialogHasTheIconMinimisedAndDragged) {
    for (int dialog : {103, 131}) {
        TestMachine machine;
        machine.DialogScripts().push_back({dialog, {"minimise", "drag", "restore", "cancel"}, false});
        if (dialog == 103) {
            setup::VxdOptionsDialog(machine).DoModal();
        } else {
            setup::WdmOptionsDialog(machine).DoModal();
        }
        const auto& journal = machine.GetJournal();
        if (dialog == 103) {
            EXPECT_EQ(journal.OfKind("set icon").size(), 1u);
            ASSERT_EQ(journal.OfKind("paint icon").size(), 1u);
            // Centred in the 36 x 36 client area of a minimised window.
            EXPECT_EQ(journal.OfKind("paint icon")[0].Get("x"), "2");
            EXPECT_EQ(journal.OfKind("drag icon")[0].Get("icon"), "128");
        } else {
            EXPECT_EQ(journal.OfKind("set icon").size(), 0u);
            EXPECT_EQ(journal.OfKind("paint icon").size(), 0u);
            EXPECT_EQ(journal.OfKind("drag icon")[0].Get("icon"), "0");
        }
    }
}

}  // namespace
