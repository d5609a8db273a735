// setupsim matrix: every system in every start mode on fresh machines, the
// table's forms, and agreement with what `check` expects of the same medium.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "medium_test_support.h"
#include "setupsim/matrix.h"
#include "setupsim/system_plan.h"
#include "startup/install_options.h"

namespace {

using namespace medium_test;
using vm::WindowsVersion;

const setupsim::MatrixRow& RowOf(const std::vector<setupsim::MatrixRow>& rows, WindowsVersion version,
                                 const std::string& mode) {
    for (const setupsim::MatrixRow& row : rows) {
        if (row.version == version && row.mode == mode) return row;
    }
    throw std::runtime_error("no row for " + std::string(vm::ToString(version)) + " " + mode);
}

TEST(MatrixTest, ExampleRunsEverySystemInEveryMode) {
    const std::vector<setupsim::MatrixRow> rows = setupsim::RunMatrix(setupsim::LoadMedium(kExamples + "win98se-cd"));
    ASSERT_EQ(rows.size(), 21u);
    struct Row {
        WindowsVersion version;
        const char* mode;
        const char* outcome;
        const char* driver;
        const char* installer;  // "" when none is started from the medium
        bool restart;
    } expected[] = {
        {WindowsVersion::Win95, "defaults", "main setup dialog", "VxD", "E:\\W95-98\\app\\Setup.exe", false},
        {WindowsVersion::Win95, "/DRIVER", "unattended driver installation from the medium", "VxD", "", true},
        // Windows98SEDriver also selects WDM on the first edition; /AP still goes by the 98 rule.
        {WindowsVersion::Win98, "defaults", "main setup dialog", "WDM", "E:\\W2K-ME\\app\\Setup.exe", false},
        {WindowsVersion::Win98, "/AP", "applications launch", "-", "E:\\W95-98\\app\\Setup.exe", false},
        {WindowsVersion::Win98SE, "defaults", "main setup dialog", "WDM", "E:\\W2K-ME\\app\\Setup.exe", false},
        {WindowsVersion::Win98SE, "/DRIVER", "unattended driver installation from the medium", "WDM", "", true},
        {WindowsVersion::WinME, "/AP", "applications launch", "-", "E:\\W2K-ME\\app\\Setup.exe", false},
        {WindowsVersion::NT4, "defaults", "main setup dialog", "-", "E:\\NT40\\app\\Setup.exe", false},
        {WindowsVersion::NT4, "/DRIVER", "silent end on Windows NT 4.0", "-", "", false},
        {WindowsVersion::Win2000, "/AP", "applications launch", "-", "E:\\W2K-ME\\app\\Setup.exe", false},
        {WindowsVersion::WinXP, "defaults", "hand-over to the Windows 2000/XP setup program", "-", "E:\\W2KSetup.exe", false},
        {WindowsVersion::WinXP, "/DRIVER", "hand-over to the Windows 2000/XP setup program", "-",
         "E:\\W2KSetup.exe /DRIVER", false},
    };
    for (const Row& row : expected) {
        const setupsim::MatrixRow& run = RowOf(rows, row.version, row.mode);
        const std::string context = std::string(vm::ToString(row.version)) + " " + row.mode;
        EXPECT_EQ(run.outcome, row.outcome) << context;
        EXPECT_EQ(run.driver, row.driver) << context;
        EXPECT_EQ(run.installers, std::string(row.installer).empty() ? std::vector<std::string>{}
                                                                     : std::vector<std::string>{row.installer})
            << context;
        EXPECT_EQ(run.restart, row.restart) << context;
        EXPECT_EQ(run.ending == setupsim::Ending::Hung, false) << context;
    }
}

// The fresh machine's Plug and Play answers within seconds: a WDM run that
// waited out its limits (three minutes for the mixer alone) would show it.
TEST(MatrixTest, FreshMachinesInstallTheWdmDriverWithoutWaitingOutTheLimits) {
    const std::vector<setupsim::MatrixRow> rows = setupsim::RunMatrix(setupsim::LoadMedium(kExamples + "win98se-cd"));
    const setupsim::MatrixRow& wdm = RowOf(rows, WindowsVersion::WinME, "/DRIVER");
    EXPECT_EQ(wdm.driver, "WDM");
    EXPECT_EQ(wdm.driverFilesStaged, 4u);
    EXPECT_EQ(wdm.messages, (std::vector<std::string>{
                                "The driver will be installed now. It need a few minutes to complete.",
                                "Setup completed! The system will restart now!"}));
    EXPECT_LT(wdm.virtualTime, 60000u);
    EXPECT_GT(wdm.virtualTime, 10000u);  // the final window wait and 5 s pause at least
}

TEST(MatrixTest, BrokenMediumShowsTheMessagesOfMissingFiles) {
    const std::vector<setupsim::MatrixRow> rows = setupsim::RunMatrix(setupsim::LoadMedium(kExamples + "broken-medium"));
    struct Row {
        WindowsVersion version;
        const char* mode;
        const char* message;
        const char* driver;
    } expected[] = {
        {WindowsVersion::NT4, "defaults", "Can not find installation files.", "-"},
        {WindowsVersion::NT4, "/AP", "Can not find the PCI Audio Applications setup program.", "-"},
        {WindowsVersion::Win2000, "defaults", "Can not find the setup program for Windows 2000/XP.", "-"},
        {WindowsVersion::Win95, "/DRIVER", "Setup completed! The system will restart now!", "VxD"},
    };
    for (const Row& row : expected) {
        const setupsim::MatrixRow& run = RowOf(rows, row.version, row.mode);
        EXPECT_NE(std::find(run.messages.begin(), run.messages.end(), row.message), run.messages.end())
            << vm::ToString(row.version) << " " << row.mode;
        EXPECT_EQ(run.driver, row.driver);
    }
    // The VxD folders are missing: the driver is chosen but nothing arrives.
    EXPECT_EQ(RowOf(rows, WindowsVersion::Win95, "/DRIVER").driverFilesStaged, 0u);
}

// What check plans for each system is what the program does: the driver
// comes from the folder check names, and the main dialog starts the
// installer check names.
TEST(MatrixTest, AgreesWithWhatCheckPlans) {
    for (const char* example : {"win98se-cd", "broken-medium", "flat-package"}) {
        const setupsim::Medium medium = setupsim::LoadMedium(kExamples + example);
        vm::VirtualMachine machine;
        setupsim::PutMedium(machine.Files(), medium);
        const setupsim::SystemsCheck systems =
            setupsim::CheckSystems(machine, setup::ReadInstallOptions(machine, setupsim::kMediumRoot));
        const std::vector<setupsim::MatrixRow> rows = setupsim::RunMatrix(medium);
        ASSERT_FALSE(systems.drivers.empty()) << example;
        for (const setupsim::PlannedDriver& planned : systems.drivers) {
            const std::string context = std::string(example) + " " + vm::ToString(planned.version);
            const setupsim::MatrixRow& unattended = RowOf(rows, planned.version, "/DRIVER");
            EXPECT_EQ(unattended.driver, planned.vxd ? "VxD" : "WDM") << context;
            if (unattended.driverFilesStaged > 0) {
                EXPECT_EQ(unattended.driverSource, planned.driverFolder) << context;
            }
            if (planned.installer && machine.Files().IsFile(*planned.installer)) {
                EXPECT_EQ(RowOf(rows, planned.version, "defaults").installers,
                          std::vector<std::string>{*planned.installer})
                    << context;
            }
        }
    }
}

TEST(MatrixTest, TableForms) {
    const Output json = Setupsim({"matrix", "--json", kExamples + "win98se-cd"});
    ASSERT_EQ(json.code, 0) << json.err;
    const nlohmann::json report = nlohmann::json::parse(json.out);
    ASSERT_EQ(report["runs"].size(), 21u);
    EXPECT_EQ(report["runs"][0]["windows"], "95");
    EXPECT_EQ(report["runs"][0]["mode"], "defaults");
    EXPECT_EQ(report["runs"][2]["restart"], true);

    const Output markdown = Setupsim({"matrix", "--markdown", kExamples + "flat-package"});
    ASSERT_EQ(markdown.code, 0) << markdown.err;
    std::size_t tableLines = 0;
    std::istringstream lines(markdown.out);
    for (std::string line; std::getline(lines, line);) tableLines += line.rfind("| ", 0) == 0 ? 1 : 0;
    EXPECT_EQ(tableLines, 22u);  // header and 21 runs
    EXPECT_NE(markdown.out.find("\n|---|---|---|---|---|---|---|---|\n"), std::string::npos);
    EXPECT_NE(markdown.out.find("| 2000 | /DRIVER | hand-over to the Windows 2000/XP setup program | - | "
                                "`E:\\W2KSetup.exe /DRIVER` | no |"),
              std::string::npos)
        << markdown.out;

    const Output text = Setupsim({"matrix", kExamples + "flat-package"});
    EXPECT_NE(text.out.find("98 SE    /AP       unattended driver installation from a flat package  WDM"),
              std::string::npos)
        << text.out;

    EXPECT_EQ(Setupsim({"matrix", "--json", "--markdown", kExamples + "flat-package"}).code, 2);
}

}  // namespace
