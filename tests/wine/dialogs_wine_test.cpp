// DriverTypeDialog and AboutDialog on the real Win32 backend under Wine,
// through dialog_runner.exe: what the user sees, what the clicks answer,
// and where the dialog is placed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "harness.h"

namespace winetest {
namespace {

constexpr const char* kRunner = "C:\\dialogs\\dialog_runner.exe";
constexpr const char* kRunnerOut = "C:\\dialogs\\result.txt";
constexpr const char* kDriverTypeTitle = "Windows 98SE/ME device-driver architecture selection";
constexpr const char* kVxd = "Virtual-Device (VxD)";
constexpr const char* kWdm = "Win32 Driver Model (WDM) ";

std::string DialogRunnerExe() { return std::string(WINE_TESTS_WIN64_DIR) + "/dialog_runner.exe"; }

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// The line dialog_runner.exe wrote: "result=N [answer=N] window=L,T,R,B area=L,T,R,B".
struct Outcome {
    RunResult run;
    std::vector<DialogRecord> dialogs;
    std::map<std::string, std::string> fields;

    int Number(const std::string& name) const {
        auto field = fields.find(name);
        return field == fields.end() ? -100 : std::stoi(field->second);
    }
    Rect Corners(const std::string& name) const {
        Rect rect;
        auto field = fields.find(name);
        if (field != fields.end()) {
            char comma;
            std::istringstream(field->second) >> rect.left >> comma >> rect.top >> comma >> rect.right >> comma >>
                rect.bottom;
        }
        return rect;
    }
};

std::map<std::string, std::string> Fields(const std::string& line) {
    std::map<std::string, std::string> fields;
    std::istringstream words(line);
    for (std::string word; words >> word;) {
        const size_t equals = word.find('=');
        if (equals != std::string::npos) fields[word.substr(0, equals)] = word.substr(equals + 1);
    }
    return fields;
}

class DialogsUnderWine : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string missing = MissingPrerequisites({DialogRunnerExe(), AnswererExe()});
        ASSERT_TRUE(missing.empty()) << missing;
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        prefix_ = std::make_unique<WinePrefix>(std::string(test->test_suite_name()) + "." + test->name(), "winme");
        prefix_->CopyIn(DialogRunnerExe(), kRunner);
    }

    void TearDown() override {
        if (HasFailure() && prefix_) {
            prefix_->KeepForInspection();
            std::cout << "Wine prefix kept: " << prefix_->root() << "\nWine output: " << prefix_->OutputLog() << "\n";
        }
    }

    // Runs dialog_runner.exe with `arguments` while the answerer presses
    // `buttons` in whatever dialog appears.
    Outcome Run(const std::vector<std::string>& arguments, const std::string& buttons,
                const std::string& locale = "C.UTF-8") {
        Outcome outcome;
        Answerer answerer(*prefix_, {{"*", buttons}});
        std::vector<std::string> command = arguments;
        command.insert(command.end(), {"--out", kRunnerOut});
        WineRunOptions options;
        options.environment["LC_ALL"] = locale;
        outcome.run = prefix_->Run(kRunner, command, options);
        outcome.dialogs = answerer.Stop();
        std::string line = prefix_->ReadFile(kRunnerOut).value_or("");
        prefix_->PutFile(kRunnerOut, "");
        outcome.fields = Fields(line);
        return outcome;
    }

    std::unique_ptr<WinePrefix> prefix_;
};

void ExpectEndedAndCentred(const Outcome& outcome) {
    EXPECT_FALSE(outcome.run.timed_out) << "dialog_runner.exe did not end";
    EXPECT_EQ(outcome.run.exit_code, 0);
    // Over the screen's work area, as the program has no other window.
    const Rect window = outcome.Corners("window");
    const Rect area = outcome.Corners("area");
    ASSERT_GT(window.right - window.left, 0) << "no placement reported";
    EXPECT_LE(std::abs((window.left + window.right) - (area.left + area.right)), 1);
    EXPECT_LE(std::abs((window.top + window.bottom) - (area.top + area.bottom)), 1);
}

TEST_F(DialogsUnderWine, DriverTypeDialogAnswersWhatTheUserChose) {
    struct Row {
        const char* initial;
        std::string buttons;
        int expected_result;  // IDOK 1, IDCANCEL 2
        int expected_answer;
    };
    const Row rows[] = {
        {"1", std::string(kWdm) + "+OK", 1, 0},
        {"0", std::string(kVxd) + "+OK", 1, 1},
        {"0", "Cancel", 2, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string("initial ") + row.initial + ", " + row.buttons);
        const Outcome outcome = Run({"driver-type", row.initial}, row.buttons);

        ExpectEndedAndCentred(outcome);
        EXPECT_EQ(outcome.Number("result"), row.expected_result);
        EXPECT_EQ(outcome.Number("answer"), row.expected_answer);
        ASSERT_EQ(outcome.dialogs.size(), 1u);
        const DialogRecord& dialog = outcome.dialogs[0];
        EXPECT_EQ(dialog.caption, kDriverTypeTitle);
        EXPECT_EQ(dialog.owner, "(none)");
        EXPECT_EQ(dialog.action, row.buttons);
        EXPECT_EQ(dialog.buttons, (std::vector<std::string>{"OK", "Cancel", "", kVxd, kWdm}));
        EXPECT_EQ(dialog.text, std::string("OK\nCancel\n") + kVxd + "\n" + kWdm +
                                   "\nPlease select a driver architecture:\n"
                                   "Provide comprehensive support on SPDIF. Recommended for \n"
                                   "MiniDisc player users.\n"
                                   "Provide support on playback environment and speakers setup.\n"
                                   "Recommended for general users.\n"
                                   "Note: Windows 98 SE system disc is required for installing the\n"
                                   "WDM driver under Windows 98 SE.");
    }
}

TEST_F(DialogsUnderWine, DriverTypeDialogSpeaksTheUsersLanguage) {
    const Outcome outcome = Run({"driver-type", "1"}, "Annuler", "fr_FR.UTF-8");

    ExpectEndedAndCentred(outcome);
    EXPECT_EQ(outcome.Number("result"), 2);
    ASSERT_EQ(outcome.dialogs.size(), 1u);
    EXPECT_EQ(outcome.dialogs[0].caption,
              "Selection de l'architecture du pilote de peripherique pour Windows 98SE/ME");
    EXPECT_EQ(outcome.dialogs[0].action, "Annuler");
}

TEST_F(DialogsUnderWine, AboutBoxShowsNameAndVersion) {
    const Outcome outcome = Run({"about"}, "OK");

    ExpectEndedAndCentred(outcome);
    EXPECT_EQ(outcome.Number("result"), 1);
    ASSERT_EQ(outcome.dialogs.size(), 1u);
    const DialogRecord& box = outcome.dialogs[0];
    EXPECT_EQ(box.caption, "About Setup");
    // The icon control comes first; its text is the icon's resource
    // reference, which Wine hands out as raw bytes.
    const size_t icon = box.text.find('\n');
    ASSERT_NE(icon, std::string::npos);
    EXPECT_EQ(box.text.substr(icon + 1), "Setup Version 2.5\nOrvanta PCI Audio driver package\nOK");
    EXPECT_EQ(box.owner, "(none)");
    EXPECT_EQ(box.buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(box.action, "OK");
}

}  // namespace
}  // namespace winetest
