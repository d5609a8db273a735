// The architecture question and the About box, played by the virtual
// machine's user on the program's own templates.
#include <gtest/gtest.h>

#include "maindialog/about_dialog.h"
#include "maindialog/driver_type_dialog.h"
#include "platform/vm/machine.h"

namespace {

struct Outcome {
    int result;
    int answer;
    std::string states;
};

Outcome Ask(int initial, std::vector<std::string> actions, const std::string& language = "English") {
    vm::VirtualMachine machine;
    machine.settings.language = language;
    machine.DialogScripts().push_back({130, std::move(actions), false});
    setup::DriverTypeDialog dialog(machine, 0);
    dialog.SetAnswer(initial);
    const int result = dialog.DoModal();
    const auto closed = machine.GetJournal().OfKind("dialog closed");
    return {result, dialog.Answer(), closed.empty() ? "" : closed.back().Get("controls")};
}

TEST(DriverTypeDialogTest, AnswersAndSelections) {
    struct Row {
        int initial;
        std::vector<std::string> actions;
        int result;
        int answer;
        const char* states;
    } rows[] = {
        {1, {"ok"}, platform::IDOK, 1, "1004=checked 1005=unchecked"},
        {0, {"ok"}, platform::IDOK, 0, "1004=unchecked 1005=checked"},
        {0, {"click 1004", "ok"}, platform::IDOK, 1, "1004=checked 1005=unchecked"},
        {0, {"click 1004", "click 1005", "ok"}, platform::IDOK, 0, "1004=unchecked 1005=checked"},
        {1, {"click 1004", "click 1004", "ok"}, platform::IDOK, 1, "1004=checked 1005=unchecked"},
        {1, {"click 1005", "cancel"}, platform::IDCANCEL, 0, "1004=unchecked 1005=checked"},
        {1, {"click 1005", "esc"}, platform::IDCANCEL, 0, "1004=unchecked 1005=checked"},
        {0, {"close"}, platform::IDCANCEL, 0, "1004=unchecked 1005=checked"},
        {1, {}, platform::IDOK, 1, "1004=checked 1005=unchecked"},  // a user who accepts the default
    };
    for (const Row& row : rows) {
        const Outcome outcome = Ask(row.initial, row.actions);
        EXPECT_EQ(outcome.result, row.result) << ::testing::PrintToString(row.actions);
        if (row.result == platform::IDOK) {
            EXPECT_EQ(outcome.answer, row.answer) << ::testing::PrintToString(row.actions);
        }
        EXPECT_EQ(outcome.states, row.states) << ::testing::PrintToString(row.actions);
    }
}

TEST(DriverTypeDialogTest, ShownInTheUsersLanguage) {
    for (const char* language : {"English", "French", "Japanese", "Korean", "ChineseTraditional"}) {
        vm::VirtualMachine machine;
        machine.settings.language = language;
        setup::DriverTypeDialog dialog(machine, 0);
        dialog.SetAnswer(0);
        EXPECT_EQ(dialog.DoModal(), platform::IDOK);
        const auto shown = machine.GetJournal().OfKind("dialog shown");
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].Get("language"), language);
    }
    vm::VirtualMachine german;
    german.settings.language = "German";
    setup::DriverTypeDialog dialog(german, 0);
    dialog.DoModal();
    EXPECT_EQ(german.GetJournal().OfKind("dialog shown")[0].Get("title"),
              "Windows 98SE/ME device-driver architecture selection");
}

TEST(AboutDialogTest, SameContentEveryTime) {
    vm::VirtualMachine machine;
    machine.DialogScripts().push_back({100, {"esc"}, false});
    machine.DialogScripts().push_back({100, {"close"}, false});
    for (int i = 0; i < 3; ++i) setup::AboutDialog(machine, 0).DoModal();
    const auto shown = machine.GetJournal().OfKind("dialog shown");
    ASSERT_EQ(shown.size(), 3u);
    for (const auto& entry : shown) EXPECT_EQ(entry.Get("title"), "About Setup");
    const auto closed = machine.GetJournal().OfKind("dialog closed");
    EXPECT_EQ(closed[0].Get("result"), "Cancel");
    EXPECT_EQ(closed[2].Get("result"), "OK");
}

}  // namespace
