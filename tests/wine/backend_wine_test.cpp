// The Win32 backend where it differs from the raw API, under Wine: calls
// into missing or raising exports fail instead of crashing, and a key with
// sub-keys is deleted whole.
#include <gtest/gtest.h>

#include "harness.h"

namespace winetest {
namespace {

TEST(BackendUnderWine, FailsWhereTheRawApiWouldCrashOrRefuse) {
    const std::string probe = std::string(WINE_TESTS_WIN64_DIR) + "/backend_probe.exe";
    const std::string missing = MissingPrerequisites({probe});
    ASSERT_TRUE(missing.empty()) << missing;
    WinePrefix prefix("backend", "winxp");
    prefix.CopyIn(probe, "C:\\probe\\backend_probe.exe");
    const RunResult run = prefix.Run("C:\\probe\\backend_probe.exe", {"C:\\probe\\report.txt"});
    ASSERT_FALSE(run.timed_out);
    ASSERT_EQ(run.exit_code, 0) << prefix.OutputLog();
    const std::string report = prefix.ReadFile("C:\\probe\\report.txt").value_or("");
    // ERROR_PROC_NOT_FOUND (127) for a missing DLL or export.
    EXPECT_NE(report.find("missing-dll=-1 error=127\n"), std::string::npos) << report;
    EXPECT_NE(report.find("missing-export=-1 error=127\n"), std::string::npos) << report;
    // Wine's SetupQuerySourceListA stub raises: twice survived, as a failure.
    EXPECT_NE(report.find("raising-export=failed error=574 failed error=574\n"), std::string::npos) << report;
    EXPECT_NE(report.find("access-violation=abandoned\n"), std::string::npos) << report;
    // Wine, like NT, refuses the raw call on a key with sub-keys (5, access
    // denied); the backend deletes the whole tree.
    EXPECT_NE(report.find("backend=0 gone\n"), std::string::npos) << report;
    EXPECT_EQ(report.find("raw=0"), std::string::npos) << report;
}

}  // namespace
}  // namespace winetest
