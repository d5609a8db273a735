// The Win32 backend itself under Wine, through backend_probe.exe: calls into
// missing or raising exports, the guard around a crash, the deletion of a key
// with sub-keys, and the program's dialogs with their resource languages.
#include <fstream>

#include "wine_fixture.h"

namespace winetest {
namespace {

class BackendUnderWine : public WineTest {
protected:
    // Runs backend_probe.exe with `args` while the answerer presses `buttons`.
    std::string Probe(const std::vector<std::string>& args, const std::string& buttons = "-",
                      const std::string& locale = "C.UTF-8") {
        prefix_->CopyIn(Program("backend_probe.exe"), "C:\\probe\\backend_probe.exe");
        std::vector<std::string> all = args;
        all.push_back("C:\\probe\\out.txt");
        dialogs_ = RunAnswered("C:\\probe\\backend_probe.exe", all, {{"*", buttons}}, "C:\\", {{"LC_ALL", locale}});
        ExpectCleanEnd();
        const std::string line = prefix_->Read("C:\\probe\\out.txt").value_or("(none)");
        return line.substr(0, line.find('\r'));
    }
    std::vector<Dialog> dialogs_;
};

TEST_F(BackendUnderWine, FailsWhereTheRawApiWouldCrashOrRefuse) {
    Machine("winxp");
    // ERROR_PROC_NOT_FOUND (127) for a missing DLL or export; Wine's raising
    // stub fails (574) twice; NT refuses the raw deletion (5) of a tree.
    EXPECT_EQ(Probe({"calls"}),
              "missing-dll=-1 error=127 missing-export=-1 error=127 raising-export=failed error=574,failed error=574"
              " access-violation=abandoned recursive-delete=raw:5,backend:0,gone");
    EXPECT_TRUE(dialogs_.empty());
}

TEST_F(BackendUnderWine, DialogsAnswerInTheUsersLanguage) {
    const std::string vxd = "Virtual-Device (VxD)", wdm = "Win32 Driver Model (WDM) ";
    struct Row {
        std::vector<std::string> args;
        std::string locale, buttons, line, caption;
    };
    const Row rows[] = {
        {{"driver-type", "1"}, "C.UTF-8", wdm + "+OK", "result=1 answer=0 centred=yes",
         "Windows 98SE/ME device-driver architecture selection"},
        {{"driver-type", "0"}, "C.UTF-8", vxd + "+OK", "result=1 answer=1 centred=yes",
         "Windows 98SE/ME device-driver architecture selection"},
        {{"driver-type", "1"}, "fr_FR.UTF-8", "Annuler", "result=2 answer=1 centred=yes",
         "Selection de l'architecture du pilote de peripherique pour Windows 98SE/ME"},
        {{"about"}, "C.UTF-8", "OK", "result=1 centred=yes", "About Setup"},
    };
    Machine("winme");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.args[0] + " " + row.locale);
        EXPECT_EQ(Probe(row.args, row.buttons, row.locale), row.line);
        ASSERT_EQ(dialogs_.size(), 1u);
        EXPECT_EQ(dialogs_[0].caption, row.caption);
        EXPECT_EQ(dialogs_[0].owner, "(none)");
        EXPECT_EQ(dialogs_[0].action, row.buttons);
    }
    EXPECT_EQ(dialogs_[0].buttons, std::vector<std::string>{"OK"});
    // The icon control comes first, its text the raw resource reference.
    EXPECT_EQ(dialogs_[0].text.substr(dialogs_[0].text.find('\n') + 1),
              "Setup Version 2.5\nOrvanta PCI Audio driver package\nOK");
}

}  // namespace
}  // namespace winetest

namespace winetest {
namespace {

// Says which setup.exe the Wine tests run; `make test` prints the line.
TEST(WineBinary, UnderTest) {
    const std::string line = "wine tests: " + UnderTest().Describe();
    std::cout << line << "\n";
    std::ofstream(std::string(WINE_TESTS_WORK_DIR) + "/binary-under-test.txt") << line << "\n";
    EXPECT_EQ(Missing({"setup.exe"}), "");
}

}  // namespace
}  // namespace winetest
