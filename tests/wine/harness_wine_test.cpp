// The harness itself: its readers of Wine's registry files and of the
// helper programs' logs, and one run of each helper under Wine.
#include <gtest/gtest.h>

#include <memory>

#include "harness.h"

namespace winetest {
namespace {

constexpr const char* kHiveText =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n"
    "\n"
    "#arch=win64\n"
    "\n"
    "[Software\\\\Microsoft\\\\Multimedia\\\\Audio] 1796589864\n"
    "#time=1dd85c2944837ec\n"
    "@=\"default\"\n"
    "\"DefaultFormat\"=hex(1):43,00,44,00,20,00,51,00,75,00,61,00,6c,00,69,00,74,00,\\\n"
    "  79,00\n"
    "\"Quoted\"=\"a\\\\b\\\"c\\x00e9\"\n"
    "\"Expand\"=str(2):\"%SystemRoot%\\\\x\"\n"
    "\"Count\"=dword:0000002a\n"
    "\n"
    "[Software\\\\Odd\\]Name] 1796589866\n"
    "\"Tab\\tName\"=\"x\"\n";

TEST(WineRegistryFile, ReadsValuesAsWineWritesThem) {
    struct Row {
        const char* key;
        const char* name;
        uint32_t type;
        const char* text;
    };
    const Row rows[] = {
        // A string the program stored without its terminating zero.
        {"Software\\Microsoft\\Multimedia\\Audio", "DefaultFormat", kRegSz, "CD Quality"},
        {"software\\microsoft\\multimedia\\audio", "defaultformat", kRegSz, "CD Quality"},
        {"Software\\Microsoft\\Multimedia\\Audio", "", kRegSz, "default"},
        {"Software\\Microsoft\\Multimedia\\Audio", "Quoted", kRegSz, "a\\b\"c\xC3\xA9"},
        {"Software\\Microsoft\\Multimedia\\Audio", "Expand", kRegExpandSz, "%SystemRoot%\\x"},
        {"Software\\Microsoft\\Multimedia\\Audio", "Count", kRegDword, "<not a string: type 4, 4 bytes>"},
        {"Software\\Odd]Name", "Tab\tName", kRegSz, "x"},
    };
    WineRegistryFile hive(kHiveText);
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.key) + " / " + row.name);
        std::optional<RegistryValue> value = hive.Value(row.key, row.name);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(value->type, row.type);
        EXPECT_EQ(value->Text(), row.text);
    }
    EXPECT_EQ(hive.Value("Software\\Microsoft\\Multimedia\\Audio", "Count").value_or(RegistryValue{}).data,
              (std::vector<uint8_t>{0x2a, 0, 0, 0}));
    EXPECT_FALSE(hive.Value("Software\\Microsoft\\Multimedia\\Audio", "Missing").has_value());
    EXPECT_FALSE(hive.Value("Software\\Microsoft\\Multimedia", "DefaultFormat").has_value());
}

std::string TextOf(const WineRegistryFile& hive, const char* key, const char* name) {
    std::optional<RegistryValue> value = hive.Value(key, name);
    return value ? value->Text() : "(missing)";
}

TEST(WineRegistryFile, EditsSurviveWritingAndReadingBack) {
    WineRegistryFile hive(kHiveText);
    hive.SetString("SOFTWARE\\Microsoft\\Multimedia\\Audio", "DefaultFormat", "Radio \"Quality\"");
    hive.SetString("Software\\New\\Key", "Path", "C:\\Program Files\\\xC3\xA9");
    hive.SetDword("Software\\New\\Key", "Flag", 7);
    hive.CreateKey("Software\\Empty[1]");

    WineRegistryFile again(hive.Text());
    EXPECT_EQ(TextOf(again, "Software\\Microsoft\\Multimedia\\Audio", "DefaultFormat"),
              "Radio \"Quality\"");
    EXPECT_EQ(TextOf(again, "Software\\Microsoft\\Multimedia\\Audio", "Quoted"), "a\\b\"c\xC3\xA9");
    EXPECT_EQ(TextOf(again, "Software\\New\\Key", "Path"), "C:\\Program Files\\\xC3\xA9");
    EXPECT_EQ(again.Value("Software\\New\\Key", "Flag").value_or(RegistryValue{}).data,
              (std::vector<uint8_t>{7, 0, 0, 0}));
    EXPECT_TRUE(again.HasKey("Software\\Empty[1]"));
    EXPECT_TRUE(again.HasKey("Software\\Odd]Name"));
    EXPECT_FALSE(again.HasKey("Software\\Empty"));
    // Replaced in place, not added a second time.
    std::string text = again.Text();
    EXPECT_EQ(text.find("\"DefaultFormat\"="), text.rfind("\"DefaultFormat\"="));
}

TEST(WineRegistryFile, RejectsTextWineDoesNotWrite) {
    const char* texts[] = {
        "[Software\\\\Unterminated\n",
        "[Key]\n\"Name\"=unknown:00\n",
        "[Key]\n\"Name\" \"x\"\n",
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        EXPECT_THROW(WineRegistryFile(text).Value("Key", "Name"), std::runtime_error);
    }
}

TEST(HarnessLogs, AnswererLogLinesBecomeRecords) {
    std::vector<DialogRecord> records = ParseAnswererLog(
        "Setup\tLine one\\nC:\\\\MEDIUM\\\\\t(none)\tOK\tOK\t-\r\n"
        "Options\tA\\tB\tSetup\tYes|No|Cancel\tmissing:Later\tC:\\\\shots\\\\dialog-2.bmp\r\n");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].caption, "Setup");
    EXPECT_EQ(records[0].text, "Line one\nC:\\MEDIUM\\");
    EXPECT_EQ(records[0].owner, "(none)");
    EXPECT_EQ(records[0].buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(records[1].text, "A\tB");
    EXPECT_EQ(records[1].buttons, (std::vector<std::string>{"Yes", "No", "Cancel"}));
    EXPECT_EQ(records[1].action, "missing:Later");
    EXPECT_EQ(records[1].screenshot, "C:\\shots\\dialog-2.bmp");
    EXPECT_THROW(ParseAnswererLog("only\ttwo fields\r\n"), std::runtime_error);
}

TEST(HarnessLogs, IniValuesAsTheProfileFunctionsSeeThem) {
    const std::string ini = "[Other]\r\nUsingCDDA=7\r\n[CD PLAYER]\r\n usingcdda = 1 \r\nEmpty=\r\n";
    struct Row {
        const char* section;
        const char* key;
        std::optional<std::string> value;
    };
    const Row rows[] = {
        {"CD PLAYER", "UsingCDDA", "1"}, {"cd player", "USINGCDDA", "1"}, {"Other", "UsingCDDA", "7"},
        {"CD PLAYER", "Empty", ""},      {"CD PLAYER", "Missing", {}},     {"Missing", "UsingCDDA", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.section) + " / " + row.key);
        EXPECT_EQ(IniValue(ini, row.section, row.key), row.value);
    }
}

class HarnessUnderWine : public ::testing::Test {
protected:
    void SetUp() override {
        std::string missing = MissingPrerequisites({RecorderExe(), AnswererExe()});
        ASSERT_TRUE(missing.empty()) << missing;
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        prefix_ = std::make_unique<WinePrefix>(std::string(test->test_suite_name()) + "." +
                                                   test->name(),
                                               "winxp");
    }

    void TearDown() override {
        if (HasFailure() && prefix_) {
            prefix_->KeepForInspection();
            std::cout << "Wine prefix kept: " << prefix_->root() << "\nWine output: "
                      << prefix_->OutputLog() << "\n";
        }
    }

    std::unique_ptr<WinePrefix> prefix_;
};

TEST_F(HarnessUnderWine, RecorderReportsHowItWasStarted) {
    struct Row {
        std::vector<std::string> arguments;
        const char* current_dir;
        const char* exit_code;
        const char* log;
        const char* expected_line;
        int expected_exit;
    };
    const Row rows[] = {
        {{"/DRIVER", "two words"}, "C:\\MEDIUM", "7", "C:\\recorder.log",
         "\"C:\\MEDIUM\\W2KSetup.exe\" /DRIVER \"two words\"\tC:\\MEDIUM", 7},
        {{}, "C:\\", "0", "C:\\MEDIUM\\other.log", "\"C:\\MEDIUM\\W2KSetup.exe\"\tC:\\", 0},
    };
    prefix_->CopyIn(RecorderExe(), "C:\\MEDIUM\\W2KSetup.exe");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.expected_line);
        WineRunOptions options;
        options.current_dir = row.current_dir;
        options.environment = {{"RECORDER_EXIT", row.exit_code}, {"RECORDER_LOG", row.log}};
        RunResult run = prefix_->Run("C:\\MEDIUM\\W2KSetup.exe", row.arguments, options);
        EXPECT_FALSE(run.timed_out);
        EXPECT_EQ(run.exit_code, row.expected_exit);
        EXPECT_EQ(prefix_->ReadFile(row.log), std::string(row.expected_line) + "\r\n");
    }
}

TEST_F(HarnessUnderWine, RegistryPreparedBeforeWineIsReadBackAfterIt) {
    prefix_->SetRegistryString("HKCU\\Software\\Orvanta Harness", "Given", "before");
    // reg.exe fails when the value is not there, so its exit code tells
    // whether Wine saw what the harness wrote.
    RunResult query = prefix_->Run("reg", {"query", "HKCU\\Software\\Orvanta Harness", "/v", "Given"});
    RunResult add = prefix_->Run(
        "reg", {"add", "HKLM\\Software\\Orvanta Harness", "/v", "Added", "/d", "by Wine", "/f"});
    ASSERT_TRUE(prefix_->Shutdown());

    EXPECT_EQ(query.exit_code, 0);
    EXPECT_EQ(add.exit_code, 0);
    EXPECT_EQ(prefix_->RegistryText("HKEY_LOCAL_MACHINE\\Software\\Orvanta Harness", "Added"),
              "by Wine");
    EXPECT_EQ(prefix_->RegistryText("HKCU\\Software\\Orvanta Harness", "Given"), "before");
    EXPECT_EQ(prefix_->RegistryText("HKCU\\Software\\Wine", "Version"), "winxp");
}

TEST_F(HarnessUnderWine, AnswererRecordsAndAnswersAnotherProgramsMessageBox) {
    // msiexec /? shows its usage in a message box captioned "Error".
    Answerer answerer(*prefix_, {{"Setup", "Cancel"}, {"E?R*", "OK"}}, /*screenshots=*/true);
    RunResult run = prefix_->Run("msiexec", {"/?"});
    std::vector<DialogRecord> dialogs = answerer.Stop();

    EXPECT_FALSE(run.timed_out);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].caption, "Error");
    EXPECT_EQ(dialogs[0].text.rfind("Windows Installer", 0), 0u) << dialogs[0].text;
    EXPECT_EQ(dialogs[0].owner, "(none)");
    EXPECT_EQ(dialogs[0].buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(dialogs[0].action, "OK");
    std::string shot = prefix_->ReadFile(dialogs[0].screenshot).value_or("");
    EXPECT_EQ(shot.substr(0, 2), "BM");
    EXPECT_GT(shot.size(), 54u + 100u * 50u * 3u) << "a dialog-sized bitmap";
}

}  // namespace
}  // namespace winetest
