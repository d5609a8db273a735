// The main setup dialog of setup.exe under Wine, played by answerer.exe:
// its OK action with either box or both, the About box of its system menu,
// and the driver architecture question. The medium in C:\MEDIUM\ has the
// grouped layout; the applications installers on it are copies of
// recorder.exe.
//
// Wine's "win98" is 98 SE. ExitWindowsEx starts Wine's restart work, which
// carries out WININIT.INI and renames it wininit.bak; a run that only
// staged leaves WININIT.INI for the next start.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <memory>

#include "setup_exe_test.h"

namespace winetest {
namespace {

constexpr const char* kMedium = "C:\\MEDIUM\\";
constexpr const char* kSetup = "C:\\MEDIUM\\setup.exe";
constexpr const char* kMainDialog = "PCI Audio Device Driver And Applications Setup Program";
constexpr const char* kQuestion = "Windows 98SE/ME device-driver architecture selection";
constexpr const char* kAnnouncement = "The driver will be installed now. It need a few minutes to complete.";
constexpr const char* kCompleted = "Setup completed! The system will restart now!";
constexpr const char* kVxdInstaller = "C:\\MEDIUM\\W95-98\\app\\Setup.exe";
constexpr const char* kWdmInstaller = "C:\\MEDIUM\\W2K-ME\\app\\Setup.exe";
constexpr const char* kProbedFolder = "C:\\MEDIUM\\W2K-ME";
constexpr const char* kOrvanta = "C:\\Program Files\\Orvanta";
constexpr const char* kVxdStaging = "C:\\Program Files\\Orvanta\\WIN_9x";
constexpr const char* kWdmStaging = "C:\\Program Files\\Orvanta\\WIN_ME";
constexpr const char* kNote = "C:\\windows\\OVXSETUP.INI";
constexpr const char* kRecorderLog = "C:\\recorder.log";
constexpr const char* kWininit = "C:\\windows\\WININIT.INI";
constexpr const char* kWininitDone = "C:\\windows\\wininit.bak";
constexpr const char* kMixerSwapLines =
    "NUL=C:\\windows\\Mixer.old\r\n"
    "C:\\windows\\Mixer.old=C:\\windows\\Mixer.exe\r\n"
    "C:\\windows\\Mixer.exe=C:\\windows\\Mixer.dat\r\n";

struct Note {
    std::string reboot;
    std::string install_driver;
    std::string command;
};

bool operator==(const Note& a, const Note& b) {
    return a.reboot == b.reboot && a.install_driver == b.install_driver && a.command == b.command;
}

std::ostream& operator<<(std::ostream& out, const Note& note) {
    return out << "{reboot " << note.reboot << ", install driver " << note.install_driver << ", command "
               << note.command << "}";
}

class MainDialogUnderWine : public SetupExeTest {
protected:

    // A fresh prefix reporting `version` with a full medium in C:\MEDIUM\:
    // both driver sets, the DOS files, and the applications installers
    // named in `installers`.
    WinePrefix& MakeMachine(const std::string& version, const std::string& setup_ini,
                            const std::vector<std::string>& installers) {
        NewPrefix(version);
        prefix_->CopyIn(SetupExe(), kSetup);
        Put("setup.ini", setup_ini);
        Put("W2K-ME\\drv\\OVAUDIO.INF", TestData("inf/wdm/OVAUDIO.INF"));
        Put("W2K-ME\\drv\\ovwdm.sys", "WDM driver");
        Put("W2K-ME\\drv\\ovaudio.cat", "catalog");
        Put("W2K-ME\\drv\\MESetup.dat", "driver installer");
        Put("W2K-ME\\drv\\Mixer.dat", "new mixer");
        Put("W95-98\\drv\\98\\OVAUDIO.INF", TestData("inf/vxd/OVAUDIO.INF"));
        Put("W95-98\\drv\\98\\ovaudio.vxd", "VxD driver");
        Put("W95-98\\drv\\98\\Mixer.dat", "new mixer");
        Put("Dosdrv\\OVSB.COM", "DOS driver");
        for (const std::string& installer : installers) prefix_->CopyIn(RecorderExe(), installer);
        std::filesystem::create_directories(prefix_->HostPath("C:\\windows\\inf\\other"));
        prefix_->PutFile("C:\\windows\\system\\OVAUDIO.VXD", "earlier driver");
        prefix_->PutFile("C:\\windows\\Mixer.exe", "present mixer");
        return *prefix_;
    }

    void Put(const std::string& relative, const std::string& contents) {
        prefix_->PutFile(kMedium + relative, contents);
    }

    // Runs setup.exe from the medium to its end with the answers given.
    std::vector<DialogRecord> RunSetup(const std::vector<AnswerRule>& answers) {
        Answerer answerer(*prefix_, answers);
        WineRunOptions options;
        options.current_dir = kMedium;
        run_ = prefix_->Run(kSetup, {}, options);
        std::vector<DialogRecord> dialogs = answerer.Stop();
        all_ended_ = prefix_->Shutdown();
        return dialogs;
    }

    void ExpectCleanEnd() const {
        EXPECT_FALSE(run_.timed_out) << "setup.exe did not end";
        EXPECT_EQ(run_.exit_code, 0);
        EXPECT_TRUE(all_ended_) << "programs were still running in the prefix";
    }

    Note NoteForInstaller() const {
        const std::string text = prefix_->ReadFile(kNote).value_or("");
        return {IniValue(text, "Need_To_Reboot", "Install").value_or("(missing)"),
                IniValue(text, "Need_To_InstallDriver", "Install").value_or("(missing)"),
                IniValue(text, "Need_To_InstallDriver", "Command").value_or("(missing)")};
    }

    std::vector<RecordedStart> InstallersStarted() const {
        return RecorderStarts(prefix_->ReadFile(kRecorderLog).value_or(""));
    }

    RunResult run_;
    bool all_ended_ = false;
};

std::vector<std::string> Captions(const std::vector<DialogRecord>& dialogs) {
    std::vector<std::string> captions;
    for (const DialogRecord& dialog : dialogs) captions.push_back(dialog.caption);
    return captions;
}

TEST_F(MainDialogUnderWine, BothBoxesOnMeStageTheWdmDriverForTheApplicationsInstaller) {
    MakeMachine("winme", "", {kWdmInstaller});
    const std::vector<DialogRecord> dialogs = RunSetup({{kMainDialog, "OK"}, {"*", "OK"}});

    // No announcement and no restart: the installer finishes the work.
    ExpectCleanEnd();
    ASSERT_EQ(Captions(dialogs), std::vector<std::string>{kMainDialog});
    EXPECT_EQ(dialogs[0].action, "OK");
    EXPECT_EQ(prefix_->Listing(kWdmStaging), (std::vector<std::string>{"MESetup.dat", "Mixer.dat", "OVAUDIO.INF",
                                                                      "ovaudio.cat", "ovwdm.sys"}));
    EXPECT_FALSE(prefix_->Exists(kVxdStaging));
    EXPECT_EQ(prefix_->ReadFile("C:\\windows\\inf\\catalog\\ovaudio.cat"), "catalog");
    EXPECT_FALSE(prefix_->Exists("C:\\windows\\inf\\OVAUDIO.INF")) << "no INF copies on ME";
    EXPECT_EQ(prefix_->ReadFile(kWininit).value_or("(none)"), std::string("[rename]\r\n") + kMixerSwapLines);
    EXPECT_EQ(prefix_->ReadFile("C:\\windows\\system\\OVAUDIO.VXD"), "earlier driver") << "not retired for WDM";
    const Note note = NoteForInstaller();
    const std::vector<RecordedStart> started = InstallersStarted();

    // The note names the staged file by the short form of its folder, and
    // the installer starts in that folder.
    const std::string short_staging = prefix_->ShortPathName(kWdmStaging);
    EXPECT_EQ(note, (Note{"NO", "YES", short_staging + "\\MESetup.dat"}));
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].command_line, kWdmInstaller);
    EXPECT_EQ(started[0].current_dir, short_staging);
}

TEST_F(MainDialogUnderWine, ApplicationsOnlyOn98LeaveANoteToRestart) {
    MakeMachine("win98", "", {kVxdInstaller, kWdmInstaller});
    const std::vector<DialogRecord> dialogs =
        RunSetup({{kMainDialog, "Install Device Driver+OK"}, {"*", "OK"}});

    ExpectCleanEnd();
    ASSERT_EQ(Captions(dialogs), std::vector<std::string>{kMainDialog});
    EXPECT_EQ(dialogs[0].action, "Install Device Driver+OK");
    EXPECT_EQ(NoteForInstaller(), (Note{"YES", "NO", ""}));
    const std::vector<RecordedStart> started = InstallersStarted();
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].command_line, kVxdInstaller) << "98 SE without \"Windows98SEDriver\" takes the VxD set";
    EXPECT_EQ(started[0].current_dir, kProbedFolder);
    EXPECT_FALSE(prefix_->Exists(kOrvanta)) << "nothing staged";
    EXPECT_FALSE(prefix_->Exists(kWininit));
}

TEST_F(MainDialogUnderWine, DriverOnlyOn98InstallsTheVxdDriverUnderTheDialogAndRestarts) {
    MakeMachine("win98", "[InstallOption]\r\nWindows98SEDriver=0\r\n", {kVxdInstaller});
    const std::vector<DialogRecord> dialogs =
        RunSetup({{kMainDialog, "Install Applications+OK"}, {"Setup", "OK"}});

    ExpectCleanEnd();
    ASSERT_EQ(Captions(dialogs), (std::vector<std::string>{kMainDialog, "Setup", "Setup"}));
    EXPECT_EQ(dialogs[0].action, "Install Applications+OK");
    for (size_t i = 1; i < 3; ++i) {
        EXPECT_EQ(dialogs[i].text, i == 1 ? kAnnouncement : kCompleted);
        EXPECT_EQ(dialogs[i].owner, kMainDialog);
        EXPECT_EQ(dialogs[i].action, "OK");
    }
    EXPECT_EQ(prefix_->Listing(kVxdStaging), (std::vector<std::string>{"Mixer.dat", "OVAUDIO.INF", "ovaudio.vxd"}));
    EXPECT_FALSE(prefix_->Exists(kWdmStaging));
    EXPECT_FALSE(prefix_->Exists(kNote));
    EXPECT_TRUE(InstallersStarted().empty());
    // The restart retired the earlier driver and swapped the mixer.
    EXPECT_FALSE(prefix_->Exists(kWininit));
    EXPECT_EQ(prefix_->ReadFile(kWininitDone).value_or("(none)"),
              std::string("[rename]\r\nC:\\windows\\SYSTEM\\OVAUDIO.OLD=C:\\windows\\SYSTEM\\OVAUDIO.VXD\r\n") +
                  kMixerSwapLines);
    EXPECT_EQ(prefix_->ReadFile("C:\\windows\\system\\OVAUDIO.OLD"), "earlier driver");
    EXPECT_EQ(prefix_->ReadFile("C:\\windows\\Mixer.exe"), "new mixer");
}

TEST_F(MainDialogUnderWine, AboutBoxFromTheSystemMenuBelongsToTheDialog) {
    MakeMachine("winme", "", {kWdmInstaller});
    // Chosen twice, then the dialog cancelled.
    const std::vector<DialogRecord> dialogs =
        RunSetup({{kMainDialog, "syscommand:16+syscommand:16+Cancel"}, {"About Setup", "OK"}});

    ExpectCleanEnd();
    ASSERT_EQ(Captions(dialogs), (std::vector<std::string>{kMainDialog, "About Setup", "About Setup"}));
    EXPECT_EQ(dialogs[0].action, "syscommand:16+syscommand:16+Cancel");
    for (size_t i = 1; i < 3; ++i) {
        EXPECT_EQ(dialogs[i].owner, kMainDialog);
        EXPECT_EQ(dialogs[i].buttons, std::vector<std::string>{"OK"});
        EXPECT_NE(dialogs[i].text.find("Setup Version 2.5"), std::string::npos) << dialogs[i].text;
    }
    EXPECT_EQ(dialogs[1].text, dialogs[2].text);
    EXPECT_FALSE(prefix_->Exists(kOrvanta));
    EXPECT_FALSE(prefix_->Exists(kNote));
    EXPECT_TRUE(InstallersStarted().empty());
}

// Only the VxD set's installer is on the medium: the main dialog opens only
// if the answer "VxD" was taken.
TEST_F(MainDialogUnderWine, ArchitectureQuestionOnMeDecidesWhetherTheDialogOpens) {
    struct Row {
        std::string answer;
        std::vector<std::string> expected_captions;
    };
    const Row rows[] = {
        {"Cancel", {kQuestion}},
        {"Virtual-Device (VxD)+OK", {kQuestion, kMainDialog}},
    };
    MakeMachine("winme", "[InstallOption]\r\nWindowsMEDriverAskUser=1\r\n", {kVxdInstaller});
    for (const Row& row : rows) {
        SCOPED_TRACE(row.answer);
        const std::vector<DialogRecord> dialogs =
            RunSetup({{kQuestion, row.answer}, {kMainDialog, "Cancel"}, {"*", "OK"}});

        ExpectCleanEnd();
        ASSERT_EQ(Captions(dialogs), row.expected_captions);
        EXPECT_EQ(dialogs[0].action, row.answer);
        EXPECT_EQ(dialogs[0].owner, kMainDialog);
        EXPECT_FALSE(prefix_->Exists(kOrvanta));
        EXPECT_TRUE(InstallersStarted().empty());
    }
}

}  // namespace
}  // namespace winetest
