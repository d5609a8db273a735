// setupsim as its users meet it: the bundled example, bad machine folders,
// the JSON report and a saved machine.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "platform/vm/machine_folder.h"
#include "setupsim/cli.h"

namespace {

namespace fs = std::filesystem;

const std::string kExample = std::string(SETUP_SOURCE_DIR) + "/examples/win98se-cd";

struct Output {
    int code;
    std::string out;
    std::string err;
};

Output Setupsim(std::vector<std::string> args) {
    args.insert(args.begin(), "setupsim");
    std::vector<const char*> argv;
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    std::ostringstream out, err;
    const int code = setupsim::Main(static_cast<int>(argv.size()), argv.data(), out, err);
    return {code, out.str(), err.str()};
}

class TempFolder {
public:
    TempFolder() : path_(fs::temp_directory_path() / ("setupsim-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempFolder() { fs::remove_all(path_); }
    const fs::path& path() const { return path_; }
    void Write(const std::string& relative, const std::string& text) const {
        fs::create_directories((path_ / relative).parent_path());
        std::ofstream(path_ / relative, std::ios::binary) << text;
    }

private:
    fs::path path_;
};

TEST(SetupsimCliTest, RunsTheExampleAndReportsWhatChanged) {
    const Output result = Setupsim({"run", kExample});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_NE(result.out.find("OVCDPLAY.INI"), std::string::npos);
    EXPECT_NE(result.out.find("[CD PLAYER] UsingCDDA = 1"), std::string::npos);
    EXPECT_NE(result.out.find("\"DefaultFormat\" = \"CD Quality\""), std::string::npos);
    EXPECT_NE(result.out.find("- HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run \"PCI Audio Applications\""),
              std::string::npos);
}

TEST(SetupsimCliTest, JsonReportCarriesTheJournalAndTheEnding) {
    const Output result = Setupsim({"run", kExample, "--json"});
    ASSERT_EQ(result.code, 0) << result.err;
    const nlohmann::json report = nlohmann::json::parse(result.out);
    EXPECT_EQ(report["machine"]["windows"], "98SE");
    EXPECT_EQ(report["ending"]["exitCode"], 0);
    EXPECT_EQ(report["ending"]["restart"], false);
    bool sawProfileWrite = false;
    for (const auto& entry : report["journal"]) {
        if (entry["kind"] == "write profile" && entry["key"] == "UsingCDDA") sawProfileWrite = true;
    }
    EXPECT_TRUE(sawProfileWrite);
}

TEST(SetupsimCliTest, UsageErrorsAndHelp) {
    struct Row {
        std::vector<std::string> args;
        int code;
        const char* mentions;  // in stdout for help, stderr otherwise
    } rows[] = {
        {{"--help"}, 0, "run"},
        {{"run", "--help"}, 0, "--save"},
        {{}, 2, "setupsim --help"},
        {{"run"}, 2, "MACHINE"},
        {{"walk", kExample}, 2, "setupsim --help"},
        {{"run", kExample, "--frobnicate"}, 2, "frobnicate"},
    };
    for (const Row& row : rows) {
        const Output result = Setupsim(row.args);
        EXPECT_EQ(result.code, row.code) << result.err;
        const std::string& text = row.code == 0 ? result.out : result.err;
        EXPECT_NE(text.find(row.mentions), std::string::npos) << text;
    }
}

TEST(SetupsimCliTest, MalformedMachineFoldersNameFileAndLineAndWriteNothing) {
    struct Row {
        const char* file;
        const char* text;
        const char* message;
    } rows[] = {
        {"machine.ini", "[Machine]\nWindows = 3.11\n", "machine.ini:2: unknown Windows version"},
        {"machine.ini", "[Machine]\nWindows = 98\nColour = blue\n", "machine.ini:3: unknown key"},
        {"machine.ini", "Windows = 98\n", "machine.ini:1: key = value before any [section]"},
        {"machine.ini", "[Machine]\n\n[Events]\nat soon = mixer-devices 1\n", "machine.ini:4:"},
        {"machine.ini", "[Machine]\n[Events]\nat 10 = explode\n", "machine.ini:3: unknown event"},
        {"machine.ini", "[Machine]\n[Answers]\nInsert = Maybe\n", "machine.ini:3: a message box answer"},
        {"machine.ini", "[Machine]\n[Faults]\nCopyFile = sometimes\n", "machine.ini:3:"},
        {"machine.ini", "[Machine]\n[Attributes]\nC:\\missing.txt = R\n", "machine.ini:3: no file"},
        {"machine.ini", "[Weather]\nRain = yes\n", "machine.ini:2: unknown section"},
        {"registry.reg", "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software]\n\"Name\"=dword:xyz\n", "registry.reg:4:"},
        {"registry.reg", "REGEDIT5\n", "registry.reg:1:"},
    };
    for (const Row& row : rows) {
        TempFolder folder;
        folder.Write("machine.ini", "[Machine]\nWindows = 98SE\n");
        folder.Write(row.file, row.text);
        folder.Write("C/WINDOWS/WIN.INI", "[windows]\r\n");
        const fs::path saved = folder.path() / "saved";
        const Output result = Setupsim({"run", folder.path().string(), "--save", saved.string()});
        EXPECT_EQ(result.code, 2) << row.text;
        EXPECT_NE(result.err.find(row.message), std::string::npos) << result.err;
        EXPECT_TRUE(result.out.empty());
        EXPECT_FALSE(fs::exists(saved));
    }
}

TEST(SetupsimCliTest, MissingMachineIniIsNamed) {
    TempFolder folder;
    const Output result = Setupsim({"run", folder.path().string()});
    EXPECT_EQ(result.code, 2);
    EXPECT_NE(result.err.find("machine.ini: is missing"), std::string::npos) << result.err;
}

TEST(SetupsimCliTest, SavedMachineLoadsAgainAsItWasLeft) {
    TempFolder folder;
    const fs::path saved = folder.path() / "after";
    ASSERT_EQ(Setupsim({"run", kExample, "--save", saved.string()}).code, 0);
    EXPECT_TRUE(fs::exists(saved / "C" / "WINDOWS" / "OVCDPLAY.INI"));
    EXPECT_TRUE(fs::exists(saved / "C" / "WINDOWS" / "INF" / "OTHER" / ".keep"));  // empty folders survive

    vm::VirtualMachine machine;
    vm::LoadMachineFolder(saved.string(), machine);
    EXPECT_EQ(machine.settings.version, vm::WindowsVersion::Win98SE);
    EXPECT_TRUE(machine.Files().IsDriveReadOnly('E'));
    EXPECT_EQ(machine.Files().Attributes("E:\\setup.ini"), platform::FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(machine.Files().IsDirectory("C:\\WINDOWS\\INF\\OTHER"));
    const vm::Registry::Key* audio = machine.Reg().Find(platform::HKEY_CURRENT_USER, "Software\\Microsoft\\Multimedia\\Audio");
    ASSERT_NE(audio, nullptr);
    EXPECT_EQ(vm::Registry::FindValue(*audio, "DefaultFormat")->data, "CD Quality");
    // The audio device was removed for the staged driver; the other stays.
    ASSERT_EQ(machine.Devices().size(), 1u);
    EXPECT_EQ(machine.Devices()[0].hardwareIds[0].substr(0, 21), "PCI\\VEN_8086&DEV_7110");
    // The second run starts from the first one's result: nothing more to delete.
    const Output again = Setupsim({"run", saved.string()});
    EXPECT_EQ(again.out.find("- HKEY_LOCAL_MACHINE"), std::string::npos);
}

}  // namespace
