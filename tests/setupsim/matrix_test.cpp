// setupsim matrix: every system in every start mode on fresh machines, its
// table forms, and agreement with what check plans for the same medium.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "medium_test_support.h"
#include "setupsim/matrix.h"
#include "setupsim/system_plan.h"
#include "startup/install_options.h"

namespace {

using namespace medium_test;
using vm::WindowsVersion;

const setupsim::MatrixRow& RowOf(const std::vector<setupsim::MatrixRow>& rows, WindowsVersion version, const std::string& mode) {
    for (const setupsim::MatrixRow& row : rows) {
        if (row.version == version && row.mode == mode) return row;
    }
    throw std::runtime_error("no row for " + std::string(vm::ToString(version)) + " " + mode);
}

TEST(SetupsimMatrix, ExampleAndBrokenMedium) {
    const auto example = setupsim::RunMatrix(setupsim::LoadMedium(kExamples + "win98se-cd"));
    const auto broken = setupsim::RunMatrix(setupsim::LoadMedium(kExamples + "broken-medium"));
    ASSERT_EQ(example.size(), 21u);
    struct Row { const std::vector<setupsim::MatrixRow>& runs; WindowsVersion version; const char *mode, *outcome, *driver, *installerOrMessage; bool restart; };
    const Row rows[] = {  // Windows98SEDriver selects WDM on the first edition too; /AP goes by the 98 rule
        {example, WindowsVersion::Win95, "defaults", "main setup dialog", "VxD", "E:\\W95-98\\app\\Setup.exe", false},
        {example, WindowsVersion::Win95, "/DRIVER", "unattended driver installation from the medium", "VxD", "", true},
        {example, WindowsVersion::Win98, "defaults", "main setup dialog", "WDM", "E:\\W2K-ME\\app\\Setup.exe", false},
        {example, WindowsVersion::Win98, "/AP", "applications launch", "-", "E:\\W95-98\\app\\Setup.exe", false},
        {example, WindowsVersion::WinME, "/AP", "applications launch", "-", "E:\\W2K-ME\\app\\Setup.exe", false},
        {example, WindowsVersion::NT4, "defaults", "main setup dialog", "-", "E:\\NT40\\app\\Setup.exe", false},
        {example, WindowsVersion::NT4, "/DRIVER", "silent end on Windows NT 4.0", "-", "", false},
        {example, WindowsVersion::WinXP, "/DRIVER", "hand-over to the Windows 2000/XP setup program", "-", "E:\\W2KSetup.exe /DRIVER", false},
        {broken, WindowsVersion::NT4, "/AP", nullptr, "-", "Can not find the PCI Audio Applications setup program.", false},
        {broken, WindowsVersion::Win2000, "defaults", nullptr, "-", "Can not find the setup program for Windows 2000/XP.", false},
        {broken, WindowsVersion::Win95, "/DRIVER", nullptr, "VxD", "Setup completed! The system will restart now!", true},
    };
    for (const Row& row : rows) {
        const setupsim::MatrixRow& run = RowOf(row.runs, row.version, row.mode);
        SCOPED_TRACE(std::string(vm::ToString(row.version)) + " " + row.mode);
        EXPECT_EQ(run.driver, row.driver);
        EXPECT_EQ(run.restart, row.restart);
        EXPECT_NE(run.ending, setupsim::Ending::Hung);
        if (row.outcome) {
            EXPECT_EQ(run.outcome, row.outcome);
            EXPECT_EQ(run.installers, *row.installerOrMessage ? std::vector<std::string>{row.installerOrMessage} : std::vector<std::string>{});
        } else {
            EXPECT_NE(std::find(run.messages.begin(), run.messages.end(), row.installerOrMessage), run.messages.end());
        }
    }
    EXPECT_EQ(RowOf(broken, WindowsVersion::Win95, "/DRIVER").driverFilesStaged, 0u);  // the VxD folders are missing
    // A fresh machine's Plug and Play answers within seconds: no wait runs out its limit.
    const setupsim::MatrixRow& wdm = RowOf(example, WindowsVersion::WinME, "/DRIVER");
    EXPECT_EQ(wdm.driverFilesStaged, 4u);
    EXPECT_EQ(wdm.messages, (std::vector<std::string>{"The driver will be installed now. It need a few minutes to complete.",
                                                      "Setup completed! The system will restart now!"}));
    EXPECT_LT(wdm.virtualTime, 60000u);
    EXPECT_GT(wdm.virtualTime, 10000u);  // the final window wait and 5 s pause at least
}

// The driver comes from the folder check names, and the main dialog starts
// the installer check names.
TEST(SetupsimMatrix, AgreesWithWhatCheckPlans) {
    for (const char* example : {"win98se-cd", "broken-medium", "flat-package"}) {
        const setupsim::Medium medium = setupsim::LoadMedium(kExamples + example);
        vm::VirtualMachine machine;
        setupsim::PutMedium(machine.Files(), medium);
        const auto systems = setupsim::CheckSystems(machine, setup::ReadInstallOptions(machine, setupsim::kMediumRoot));
        const std::vector<setupsim::MatrixRow> rows = setupsim::RunMatrix(medium);
        ASSERT_FALSE(systems.drivers.empty()) << example;
        for (const setupsim::PlannedDriver& planned : systems.drivers) {
            SCOPED_TRACE(std::string(example) + " " + vm::ToString(planned.version));
            const setupsim::MatrixRow& unattended = RowOf(rows, planned.version, "/DRIVER");
            EXPECT_EQ(unattended.driver, planned.vxd ? "VxD" : "WDM");
            EXPECT_EQ(unattended.driverFilesStaged > 0 ? unattended.driverSource : planned.driverFolder, planned.driverFolder);
            if (planned.installer && machine.Files().IsFile(*planned.installer)) {
                EXPECT_EQ(RowOf(rows, planned.version, "defaults").installers, std::vector<std::string>{*planned.installer});
            }
        }
    }
}

TEST(SetupsimMatrix, TableForms) {
    const nlohmann::json report = nlohmann::json::parse(Setupsim({"matrix", "--json", kExamples + "win98se-cd"}).out);
    ASSERT_EQ(report["runs"].size(), 21u);
    EXPECT_EQ(report["runs"][2]["windows"], "95");
    EXPECT_EQ(report["runs"][2]["mode"], "/DRIVER");
    EXPECT_EQ(report["runs"][2]["restart"], true);
    const Output markdown = Setupsim({"matrix", "--markdown", kExamples + "flat-package"});
    EXPECT_EQ(std::count(markdown.out.begin(), markdown.out.end(), '\n'), 23);  // header, rule and 21 runs
    EXPECT_NE(markdown.out.find("\n|---|---|---|---|---|---|---|---|\n"), std::string::npos);
    EXPECT_NE(markdown.out.find("| 2000 | /DRIVER | hand-over to the Windows 2000/XP setup program | - | `E:\\W2KSetup.exe /DRIVER` | no |"), std::string::npos) << markdown.out;
    EXPECT_NE(Setupsim({"matrix", kExamples + "flat-package"}).out.find("98 SE    /AP       unattended driver installation from a flat package  WDM"), std::string::npos);
    EXPECT_EQ(Setupsim({"matrix", "--json", "--markdown", kExamples + "flat-package"}).code, 2);
}

}  // namespace
