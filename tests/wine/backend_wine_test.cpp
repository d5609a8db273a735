// The Win32 backend itself under Wine, through backend_probe.exe: calls into
// missing or raising exports, the guard around a crash, the deletion of a key
// with sub-keys, and the program's dialogs with their resource languages.
#include <fstream>

#include "wine_fixture.h"

namespace winetest {
namespace {

// Says which setup.exe the Wine tests run; `make test` prints the line.
TEST(WineBinary, UnderTest) {
    const std::string line = "wine tests: " + UnderTest();
    std::cout << line << "\n";
    std::ofstream(std::string(WINE_TESTS_WORK_DIR) + "/binary-under-test.txt") << line << "\n";
    EXPECT_EQ(Missing({"setup.exe"}), "");
}

class BackendUnderWine : public WineTest {};

TEST_F(BackendUnderWine, ProbesAndDialogsInTheUsersLanguage) {
    const std::string vxd = "Virtual-Device (VxD)", wdm = "Win32 Driver Model (WDM) ";
    const std::string selection = "Windows 98SE/ME device-driver architecture selection";
    struct Row {
        std::string version;
        std::vector<std::string> args;
        std::string locale, buttons, line, caption;  // no caption: no dialog
    };
    const Row rows[] = {
        // ERROR_PROC_NOT_FOUND (127) for a missing DLL or export; Wine's raising
        // stub fails (574) twice; NT refuses the raw deletion (5) of a tree.
        {"winxp", {"calls"}, "C.UTF-8", "OK", "missing-dll=-1 error=127 missing-export=-1 error=127 raising-export="
         "failed error=574,failed error=574 access-violation=abandoned recursive-delete=raw:5,backend:0,gone", ""},
        {"winme", {"driver-type", "1"}, "C.UTF-8", wdm + "+OK", "result=1 answer=0", selection},
        {"winme", {"driver-type", "0"}, "C.UTF-8", vxd + "+OK", "result=1 answer=1", selection},
        {"winme", {"driver-type", "1"}, "fr_FR.UTF-8", "Annuler", "result=2 answer=1",
         "Selection de l'architecture du pilote de peripherique pour Windows 98SE/ME"},
        {"winme", {"about"}, "C.UTF-8", "OK", "result=1", "About Setup"},
    };
    std::vector<Dialog> dialogs;
    std::string version;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.args[0] + " " + row.locale);
        if (row.version != version) Machine(version = row.version);
        prefix_->CopyIn(Program("backend_probe.exe"), "C:\\probe\\backend_probe.exe");
        std::vector<std::string> args = row.args;
        args.push_back("C:\\probe\\out.txt");
        dialogs = RunAnswered("C:\\probe\\backend_probe.exe", args, {{"*", row.buttons}}, "C:\\", {{"LC_ALL", row.locale}});
        const std::string line = prefix_->Read("C:\\probe\\out.txt").value_or("(none)");
        EXPECT_EQ(line.substr(0, line.find('\r')), row.line);
        ASSERT_EQ(dialogs.size(), row.caption.empty() ? 0u : 1u);
        if (dialogs.empty()) continue;
        EXPECT_EQ(dialogs[0].caption, row.caption);
        EXPECT_EQ(dialogs[0].owner, "(none)");
        EXPECT_TRUE(dialogs[0].centred);
        EXPECT_EQ(dialogs[0].action, row.buttons);
    }
    // The icon control comes first, its text the raw resource reference.
    EXPECT_EQ(dialogs[0].text.substr(dialogs[0].text.find('\n') + 1),
              "Setup Version 2.5\nOrvanta PCI Audio driver package\nOK");
}

}  // namespace
}  // namespace winetest
