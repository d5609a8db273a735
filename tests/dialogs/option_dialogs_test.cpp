// The two driver option dialogs: the jack rules as a user clicks through
// them, the package folder, and what Install hands on.
#include <gtest/gtest.h>

#include "dialogs/vxd_options_dialog.h"
#include "dialogs/wdm_options_dialog.h"
#include "platform/vm/machine_folder.h"
#include "support/machine_fixture.h"

namespace {

using testsupport::TestMachine;

// Runs the dialog (103 VxD, 131 WDM) with these clicks; Install may end the process.
int Show(TestMachine& machine, int dialog, const std::string& clicks) {
    vm::ApplyMachineIni("[Dialogs]\n" + std::to_string(dialog) + " = " + clicks + "\n", "machine.ini", machine);
    try {
        return dialog == 103 ? setup::VxdOptionsDialog(machine.Journaled()).DoModal() : setup::WdmOptionsDialog(machine.Journaled()).DoModal();
    } catch (const vm::ProcessExit&) {
        return -1;
    }
}

TEST(OptionDialogs, JackRulesAsClickSequences) {
    const std::string defaults = "1006=checked 1011=checked 1012=unchecked 1013=unchecked 1007=unchecked";
    const std::string card = "1006=unchecked 1011=checked,disabled 1012=unchecked,disabled 1013=unchecked,disabled 1007=checked";
    const std::pair<const char*, std::string> rows[] = {
        {"", defaults},
        {"click 1011,", defaults},  // the toolkit unticks the box, the rule ticks it again
        {"click 1012, click 1011,", defaults},
        {"click 1012,", "1006=checked 1011=unchecked 1012=checked 1013=unchecked 1007=unchecked"},
        {"click 1013,", "1006=checked 1011=checked 1012=unchecked 1013=checked 1007=unchecked"},
        {"click 1012, click 1013,", "1006=checked 1011=unchecked 1012=unchecked 1013=checked 1007=unchecked"},
        {"click 1013, click 1012,", "1006=checked 1011=unchecked 1012=checked 1013=unchecked 1007=unchecked"},
        {"click 1007,", card},
        {"click 1013, click 1007, click 1006,", "1006=checked 1011=checked 1012=unchecked 1013=checked 1007=unchecked"},
        {"click 1007, click 1012, click 1006,", defaults},  // a disabled box cannot be clicked
    };
    for (int dialog : {103, 131}) {
        for (const auto& [clicks, jacks] : rows) {
            TestMachine machine;
            EXPECT_EQ(Show(machine, dialog, std::string(clicks) + " cancel"), platform::IDCANCEL);
            const std::string states = machine.Journal("dialog closed", "controls").at(0);
            EXPECT_NE(states.find(jacks), std::string::npos) << dialog << " " << clicks << "\n" << states;
            EXPECT_TRUE(machine.Traces().empty()) << "Cancel installs nothing";
        }
    }
    TestMachine legacy;
    Show(legacy, 103, "click 1000, click 1001, click 1001, cancel");
    EXPECT_EQ(legacy.Journal("dialog closed", "controls").at(0).substr(0, 27), "1000=checked 1001=unchecked");
}

TEST(OptionDialogs, PackageFolderAndFullPackage) {
    // The VxD dialog keeps the program's folder as typed; the WDM one makes it whole.
    TestMachine machine;
    machine.Files().AddDrive('D');
    machine.Files().PutDirectory("D:\\WORK");
    machine.settings.currentDirectory = "D:\\WORK";
    machine.settings.programPath = "\\PKG\\SETUP.EXE";
    EXPECT_EQ(setup::VxdOptionsDialog(machine.Journaled()).PackageFolder(), "\\PKG\\");
    EXPECT_EQ(setup::WdmOptionsDialog(machine.Journaled()).PackageFolder(), "D:\\PKG\\");
    EXPECT_EQ(setup::VxdOptionsDialog(machine.Journaled()).FullPackage(), 0);
    machine.Files().PutFile("D:\\PKG\\Setup.ini", "[InstallOption]\r\nFullPackage=1\r\n");
    EXPECT_EQ(setup::VxdOptionsDialog(machine.Journaled()).FullPackage(), 1);
}

TEST(OptionDialogs, OnlyTheVxdDialogHasTheIconMinimisedAndDragged) {
    for (int dialog : {103, 131}) {
        TestMachine machine;
        Show(machine, dialog, "minimise, drag, restore, cancel");
        const bool vxd = dialog == 103;
        EXPECT_EQ(machine.GetJournal().Count("set icon"), vxd ? 1u : 0u);
        // Centred in the 36 x 36 client area of a minimised window.
        EXPECT_EQ(machine.Journal("paint icon", "x"), vxd ? std::vector<std::string>{"2"} : std::vector<std::string>{});
        EXPECT_EQ(machine.Journal("drag icon", "icon"), std::vector<std::string>{vxd ? "128" : "0"});
    }
}

}  // namespace
