// setupsim matrix: every system in every start mode on fresh machines, and
// its table forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>

#include "medium_test_support.h"
#include "setupsim/matrix.h"

namespace {

using namespace medium_test;
using vm::WindowsVersion;

const setupsim::MatrixRow& RowOf(const std::vector<setupsim::MatrixRow>& rows, WindowsVersion version, const std::string& mode) {
    for (const setupsim::MatrixRow& row : rows) if (row.version == version && row.mode == mode) return row;
    throw std::runtime_error("no row for " + std::string(vm::ToString(version)) + " " + mode);
}

TEST(SetupsimMatrix, ExampleAndBrokenMedium) {
    const auto example = setupsim::RunMatrix(setupsim::LoadMedium(kExamples + "win98se-cd"));
    const auto broken = setupsim::RunMatrix(setupsim::LoadMedium(kExamples + "broken-medium"));
    ASSERT_EQ(example.size(), 21u);
    EXPECT_EQ(RowOf(example, WindowsVersion::WinXP, "/DRIVER").installers, std::vector<std::string>{"E:\\W2KSetup.exe /DRIVER"});
    EXPECT_EQ(RowOf(example, WindowsVersion::Win98, "defaults").driver, "WDM");  // Windows98SEDriver counts on the first edition too
    const setupsim::MatrixRow& unstaged = RowOf(broken, WindowsVersion::Win95, "/DRIVER");  // its VxD folders are missing
    EXPECT_EQ(std::make_tuple(unstaged.driver, unstaged.driverFilesStaged, unstaged.restart, unstaged.messages.back()),
              std::make_tuple("VxD", std::size_t{0}, true, "Setup completed! The system will restart now!"));
    // A fresh machine's Plug and Play answers within seconds: no wait runs out its limit.
    const setupsim::MatrixRow& wdm = RowOf(example, WindowsVersion::WinME, "/DRIVER");
    EXPECT_EQ(wdm.driverFilesStaged, 4u);
    EXPECT_EQ(wdm.messages, (std::vector<std::string>{"The driver will be installed now. It need a few minutes to complete.",
                                                      "Setup completed! The system will restart now!"}));
    EXPECT_TRUE(wdm.virtualTime > 10000 && wdm.virtualTime < 60000) << wdm.virtualTime;  // the final window wait and 5 s pause at least
}

TEST(SetupsimMatrix, TableForms) {
    const nlohmann::json report = nlohmann::json::parse(Setupsim({"matrix", "--json", kExamples + "win98se-cd"}).out);
    ASSERT_EQ(report["runs"].size(), 21u);
    EXPECT_EQ(report["runs"][2]["windows"].dump() + report["runs"][2]["mode"].dump() + report["runs"][2]["restart"].dump(), "\"95\"\"/DRIVER\"true");
    const Output markdown = Setupsim({"matrix", "--markdown", kExamples + "flat-package"});
    EXPECT_EQ(std::count(markdown.out.begin(), markdown.out.end(), '\n'), 23);  // header, rule and 21 runs
    EXPECT_NE(markdown.out.find("\n|---|---|---|---|---|---|---|---|\n"), std::string::npos);
    EXPECT_NE(markdown.out.find("| 2000 | /DRIVER | hand-over to the Windows 2000/XP setup program | - | `E:\\W2KSetup.exe /DRIVER` | no |"), std::string::npos) << markdown.out;
    EXPECT_NE(Setupsim({"matrix", kExamples + "flat-package"}).out.find("98 SE    /AP       unattended driver installation from a flat package  WDM"), std::string::npos);
    EXPECT_EQ(Setupsim({"matrix", "--json", "--markdown", kExamples + "flat-package"}).code, 2);
}

}  // namespace
