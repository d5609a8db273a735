// setupsim run as its users meet it: the bundled example in text and JSON,
// usage errors, malformed machine folders and a saved machine run again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <unistd.h>

#include "medium_test_support.h"
#include "platform/vm/machine_folder.h"

namespace {

using namespace medium_test;
namespace fs = std::filesystem;

const std::string kExample = kExamples + "win98se-cd";

fs::path Folder(const std::string& name) {
    return fs::path(testing::TempDir()) / ("setupsim-cli-" + std::to_string(::getpid()) + "-" + name);
}

TEST(SetupsimRun, ExampleInTextAndJson) {
    const Output text = Setupsim({"run", kExample});
    EXPECT_EQ(text.code, 0) << text.err;
    for (const char* line : {"OVCDPLAY.INI", "[CD PLAYER] UsingCDDA = 1", "\"DefaultFormat\" = \"CD Quality\"",
                             "- HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run \"PCI Audio Applications\""})
        EXPECT_NE(text.out.find(line), std::string::npos) << line;
    // Quoted as a Windows user writes paths: the backslashes stay single.
    EXPECT_NE(text.out.find("path=\"C:\\Program Files\\Orvanta\\\"  result=ok"), std::string::npos);
    const nlohmann::json report = nlohmann::json::parse(Setupsim({"run", kExample, "--json"}).out);
    EXPECT_EQ(report["machine"]["windows"].dump() + report["ending"]["exitCode"].dump() + report["ending"]["restart"].dump(), "\"98SE\"0false");
    EXPECT_EQ(report["journal"][0]["kind"].dump() + report["journal"][0]["key"].dump(), "\"write profile\"\"UsingCDDA\"");
    // What the run read, each once, in the order first read; nothing of it without --reads.
    const std::string reads = Setupsim({"run", kExample, "--reads"}).out;
    EXPECT_EQ(text.out.find("\nReads\n"), std::string::npos);
    const std::string expected = "\nReads\n  file            E:\\setup.ini\n  file            C:\\WINDOWS\\OVCDPLAY.INI\n"
                                 "  registry key    HKEY_CURRENT_USER\\Software\\Microsoft\\Multimedia\\Audio\n"
                                 "  registry value  HKEY_CURRENT_USER\\Software\\Microsoft\\Multimedia\\Audio \"SystemFormats\"\n";
    EXPECT_NE(reads.find(expected), std::string::npos) << reads.substr(reads.find("\nReads\n"), 400);
    for (const char* read : {"  search          C:\\WINDOWS\\INF\\OEM*.INF\n", "  folder          E:\\W2K-ME\n"}) {
        EXPECT_NE(reads.find(read), std::string::npos) << read;
    }
    EXPECT_EQ(nlohmann::json::parse(Setupsim({"run", kExample, "--json", "--reads"}).out)["reads"][0].dump(),
              "{\"kind\":\"file\",\"what\":\"E:\\\\setup.ini\"}");
}

TEST(SetupsimRun, UsageErrorsAndMalformedFoldersWriteNothing) {
    const fs::path folder = Folder("bad"), saved = folder / "saved";
    struct Row { const char *file, *text; std::vector<std::string> args; int code; const char* message; };
    const Row rows[] = {
        {"", "", {"--help"}, 0, "run"}, {"", "", {"run", "--help"}, 0, "--save"}, {"", "", {}, 2, "setupsim --help"},
        {"", "", {"run"}, 2, "MACHINE"}, {"", "", {"walk", kExample}, 2, "setupsim --help"}, {"", "", {"run", kExample, "--frobnicate"}, 2, "frobnicate"},
        {"machine.ini", "[Machine]\n\nWindows = 3.11\n", {}, 2, "machine.ini:3: unknown Windows version"},
        {"registry.reg", "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software]\n\"Name\"=dword:xyz\n", {}, 2, "registry.reg:4:"},
        {"machine.ini", nullptr, {}, 2, "machine.ini: is missing"},
    };
    for (const Row& row : rows) {
        fs::remove_all(folder);
        if (*row.file) {
            fs::create_directories(folder / "C");
            std::ofstream(folder / "machine.ini") << "[Machine]\nWindows = 98SE\n";
            row.text ? void(std::ofstream(folder / row.file) << row.text) : void(fs::remove(folder / row.file));
        }
        const Output result = Setupsim(*row.file ? std::vector<std::string>{"run", folder.string(), "--save", saved.string()} : row.args);
        EXPECT_EQ(result.code, row.code) << row.message;
        EXPECT_NE((row.code == 0 ? result.out : result.err).find(row.message), std::string::npos) << result.out << result.err;
        EXPECT_TRUE((row.code == 0 || result.out.empty()) && !fs::exists(saved)) << row.message;
    }
}

TEST(SetupsimRun, SavedMachineLoadsAgainAsItWasLeft) {
    const fs::path saved = Folder("saved");
    fs::remove_all(saved);
    ASSERT_EQ(Setupsim({"run", kExample, "--save", saved.string()}).code, 0);
    EXPECT_TRUE(fs::exists(saved / "C" / "WINDOWS" / "INF" / "OTHER" / ".keep"));  // empty folders survive
    vm::VirtualMachine machine;
    vm::LoadMachineFolder(saved.string(), machine);
    EXPECT_EQ(machine.settings.version, vm::WindowsVersion::Win98SE);
    EXPECT_TRUE(machine.Files().IsDriveReadOnly('E'));
    EXPECT_EQ(machine.Files().Attributes("E:\\setup.ini"), platform::FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(machine.Files().IsDirectory("C:\\WINDOWS\\INF\\OTHER"));
    EXPECT_EQ(vm::Registry::FindValue(*machine.Reg().Find(platform::HKEY_CURRENT_USER, "Software\\Microsoft\\Multimedia\\Audio"), "DefaultFormat")->data, std::string("CD Quality\0", 11));
    EXPECT_EQ(machine.Devices().size(), 1u);  // the audio device was removed for the staged driver
    EXPECT_EQ(Setupsim({"run", saved.string()}).out.find("- HKEY_LOCAL_MACHINE"), std::string::npos);  // nothing left to delete
}

}  // namespace
