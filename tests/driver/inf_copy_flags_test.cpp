// Copy flags of the system's kernel-streaming INF files: which lines are
// replaced, which are kept, and when an INF stays as it was.
#include "driver/inf_copy_flags.h"

#include <gtest/gtest.h>

#include "driver/inf_test_support.h"

namespace {

using inftest::TestInf;
using setup::KernelStreamingInf;

const std::string kInfFolder = "C:\\WINDOWS\\INF\\";

std::string InfPath(KernelStreamingInf inf) { return kInfFolder + setup::ToString(inf); }

std::string NewPath(KernelStreamingInf inf) {
    const std::string name = setup::ToString(inf);
    return kInfFolder + name.substr(0, name.size() - 4) + ".new";
}

TEST(InfCopyFlagsTest, TheSystemInfs) {
    testsupport::TestMachine machine;
    for (KernelStreamingInf inf : setup::kAllKernelStreamingInfs) {
        machine.Files().PutFile(InfPath(inf), TestInf(std::string("system/") + setup::ToString(inf)));
    }
    setup::RewriteCopyFlags(machine, setup::kAllKernelStreamingInfs);
    for (KernelStreamingInf inf : setup::kAllKernelStreamingInfs) {
        const std::string expected = TestInf(std::string("system/rewritten/") + setup::ToString(inf));
        EXPECT_EQ(machine.Files().ReadFile(InfPath(inf)), expected) << setup::ToString(inf);
        EXPECT_EQ(machine.Files().ReadFile(NewPath(inf)), expected) << setup::ToString(inf);
    }
}

TEST(InfCopyFlagsTest, Lines) {
    const KernelStreamingInf ks = KernelStreamingInf::Ks;
    const KernelStreamingInf wdmaudio = KernelStreamingInf::WdmAudio;
    const KernelStreamingInf ksfilter = KernelStreamingInf::KsFilter;
    struct Row {
        KernelStreamingInf inf;
        std::string before;
        std::string after;
    } rows[] = {
        {ks, "[KS.CopyFiles]\r\nKS.SYS\r\n", "[KS.CopyFiles]\r\nks.sys,,,0x00000010\r\n"},
        {ks, "[KS.DelFiles]\r\nKS.SYS\r\n", "[KS.DelFiles]\r\nKS.SYS\r\n"},
        {ks, "[Ks.Remove.DELFILES]\r\nstream.sys\r\n[KS.CopyFiles]\r\nks.sys\r\n",
         "[Ks.Remove.DELFILES]\r\nstream.sys\r\n[KS.CopyFiles]\r\nks.sys\r\n"},
        {ks, "KS.SYS\r\n[KS.DelFiles]\r\nKS.SYS\r\n", "ks.sys,,,0x00000010\r\n[KS.DelFiles]\r\nKS.SYS\r\n"},
        {ks, "DelFiles=KS.DelFiles\r\nks.sys\r\n", "DelFiles=KS.DelFiles\r\nks.sys,,,0x00000010\r\n"},
        {ks, "; see [KS.DelFiles] below\r\nks.sys\r\n", "; see [KS.DelFiles] below\r\nks.sys\r\n"},
        {ks, "ks.sys,,,0x00000002 ; the tail goes\r\n", "ks.sys,,,0x00000010\r\n"},
        {ks, "ks.sys,,,0x00000010 ; flagged already\r\n", "ks.sys,,,0x00000010 ; flagged already\r\n"},
        {ks, "KS.SYS,,,0X00000010\r\n", "KS.SYS,,,0X00000010\r\n"},
        {ks, " ks.sys\r\n", " ks.sys\r\n"},
        {ks, "ks.sys=1\r\n", "ks.sys,,,0x00000010\r\n"},
        {ks, "ksuser.dll\r\nStream.Sys,,,4\r\nksproxy.ax\r\n",
         "ksuser.dll,,,0x00000010\r\nstream.sys,,,0x00000010\r\nksproxy.ax,,,0x00000010\r\n"},
        {ks, "mspclock.sys\r\nmskssrv.sys\r\n", "mspclock.sys\r\nmskssrv.sys\r\n"},
        {ks, "ks.sys\nother\n", "ks.sys,,,0x00000010\r\nother\n"},
        {ks, "[x]\r\nksproxy.ax", "[x]\r\nksproxy.ax,,,0x00000010\r\n"},
        {ks, "other", "other"},
        {ks, "ks.sys," + std::string(2000, 'x') + "\r\nks.sys\r\n", "ks.sys,,,0x00000010\r\nks.sys,,,0x00000010\r\n"},
        {ks, std::string(1023, 'x') + "ks.sys\r\n", std::string(1023, 'x') + "ks.sys\r\n"},
        {ks, std::string(1022, 'x') + "\r\nks.sys\r\n", std::string(1022, 'x') + "\r\nks.sys,,,0x00000010\r\n"},
        {ks, std::string("a\0b\r\nks.sys\r\n", 13), std::string("a\0b\r\nks.sys,,,0x00000010\r\n", 26)},
        {ks, "", ""},
        {wdmaudio, "[WDMAUDIO.CopyList]\r\nStream.Sys\r\n[WDMAUDIO.DelFiles]\r\nStream.Sys\r\n",
         "[WDMAUDIO.CopyList]\r\nstream.sys,,,0x00000010\r\n[WDMAUDIO.DelFiles]\r\nStream.Sys\r\n"},
        {ksfilter, "[SourceDisksFiles]\r\nmspclock.sys=1\r\nMSKSSRV.SYS=1\r\n",
         "[SourceDisksFiles]\r\nmspclock.sys=1\r\nMSKSSRV.SYS=1\r\n"},
        {ksfilter, "MSPCLOCK.SYS,,,0x00000004\r\nmskssrv.sys\r\n",
         "mspclock.sys,,,0x00000010\r\nmskssrv.sys,,,0x00000010\r\n"},
        {ksfilter, "[MSPCLOCK.DelFiles]\r\nmspclock.sys\r\n", "[MSPCLOCK.DelFiles]\r\nmspclock.sys,,,0x00000010\r\n"},
        {ksfilter, "mspclock.sys,,,0x00000010 ; flagged\r\n", "mspclock.sys,,,0x00000010 ; flagged\r\n"},
        {ksfilter, "mspclock.sys = 1\r\n", "mspclock.sys,,,0x00000010\r\n"},
        {ksfilter, "ks.sys\r\nstream.sys\r\n", "ks.sys\r\nstream.sys\r\n"},
    };
    for (const Row& row : rows) {
        testsupport::TestMachine machine;
        machine.Files().PutFile(InfPath(row.inf), row.before);
        setup::RewriteCopyFlags(machine, {row.inf});
        EXPECT_EQ(machine.Files().ReadFile(InfPath(row.inf)), row.after)
            << setup::ToString(row.inf) << ": " << row.before;
        EXPECT_EQ(machine.Files().ReadFile(NewPath(row.inf)), row.after)
            << setup::ToString(row.inf) << ": " << row.before;
    }
}

TEST(InfCopyFlagsTest, OnlyTheChosenInfs) {
    const std::string line = "stream.sys\r\n";
    const std::string flagged = "stream.sys,,,0x00000010\r\n";
    const std::string filterLine = "mspclock.sys\r\n";
    const std::string filterFlagged = "mspclock.sys,,,0x00000010\r\n";
    const std::vector<std::set<KernelStreamingInf>> choices = {
        {},
        {KernelStreamingInf::Ks},
        {KernelStreamingInf::KsFilter},
        {KernelStreamingInf::Ks, KernelStreamingInf::WdmAudio},
        setup::kAllKernelStreamingInfs,
    };
    for (const std::set<KernelStreamingInf>& chosen : choices) {
        testsupport::TestMachine machine;
        for (KernelStreamingInf inf : setup::kAllKernelStreamingInfs) {
            machine.Files().PutFile(InfPath(inf), inf == KernelStreamingInf::KsFilter ? filterLine : line);
        }
        setup::RewriteCopyFlags(machine, chosen);
        for (KernelStreamingInf inf : setup::kAllKernelStreamingInfs) {
            const bool isChosen = chosen.count(inf) != 0;
            const bool isFilter = inf == KernelStreamingInf::KsFilter;
            const std::string expected =
                isChosen ? (isFilter ? filterFlagged : flagged) : (isFilter ? filterLine : line);
            EXPECT_EQ(machine.Files().ReadFile(InfPath(inf)), expected) << setup::ToString(inf);
            EXPECT_EQ(machine.Files().Exists(NewPath(inf)), isChosen) << setup::ToString(inf);
        }
    }
}

TEST(InfCopyFlagsTest, AnInfThatCannotBeReplacedStaysAsItWas) {
    const KernelStreamingInf ks = KernelStreamingInf::Ks;
    const std::string before = "ks.sys\r\n";
    const std::string rewritten = "ks.sys,,,0x00000010\r\n";
    struct Row {
        const char* name;
        void (*setUp)(testsupport::TestMachine& machine);
        std::optional<std::string> inf;      // afterwards
        std::optional<std::string> newFile;  // afterwards
    } rows[] = {
        {"read-only INF",
         [](testsupport::TestMachine& m) {
             m.Files().SetAttributes(InfPath(KernelStreamingInf::Ks), platform::FILE_ATTRIBUTE_READONLY);
         },
         before, rewritten},
        {"missing INF", [](testsupport::TestMachine& m) { m.Files().Remove(InfPath(KernelStreamingInf::Ks)); },
         std::nullopt, ""},
        {"read-only .new file",
         [](testsupport::TestMachine& m) {
             m.Files().PutFile(NewPath(KernelStreamingInf::Ks), "old", platform::FILE_ATTRIBUTE_READONLY);
         },
         before, "old"},
        {"CopyFile fails",
         [](testsupport::TestMachine& m) {
             m.Faults().push_back({"CopyFile", 0});
         },
         before, rewritten},
        {"the INF does not open",
         [](testsupport::TestMachine& m) {
             m.Faults().push_back({"fopen", 1});
         },
         before, ""},
        {"the .new file does not open",
         [](testsupport::TestMachine& m) {
             m.Faults().push_back({"fopen", 2});
         },
         before, std::nullopt},
        {"a longer .new file of an earlier run",
         [](testsupport::TestMachine& m) { m.Files().PutFile(NewPath(KernelStreamingInf::Ks), std::string(100, 'x')); },
         rewritten, rewritten},
    };
    for (const Row& row : rows) {
        testsupport::TestMachine machine;
        machine.Files().PutFile(InfPath(ks), before);
        row.setUp(machine);
        setup::RewriteCopyFlags(machine, {ks});
        EXPECT_EQ(machine.Files().ReadFile(InfPath(ks)), row.inf) << row.name;
        EXPECT_EQ(machine.Files().ReadFile(NewPath(ks)), row.newFile) << row.name;
    }
}

TEST(InfCopyFlagsTest, TheWindowsFolderWithOrWithoutItsBackslash) {
    for (const char* windows : {"C:\\WINDOWS", "C:\\WINDOWS\\"}) {
        testsupport::TestMachine machine;
        machine.settings.windowsFolder = windows;
        machine.Files().PutFile(InfPath(KernelStreamingInf::Ks), "ks.sys\r\n");
        setup::RewriteCopyFlags(machine, {KernelStreamingInf::Ks});
        EXPECT_EQ(machine.Files().ReadFile(InfPath(KernelStreamingInf::Ks)), "ks.sys,,,0x00000010\r\n") << windows;
    }
}

TEST(InfCopyFlagsRunTime, AnUnfaithfulCopyNeverReplacesTheInf) {
    const std::string withNul("[x]\r\nnul\0byte\r\nks.sys\r\n", 24);
    const std::string plain = "[x]\r\nks.sys\r\n";
    struct Row {
        const char* name;
        inftest::CrtQuirks quirks;
        std::string before;
        std::string after;
    } rows[] = {
        {"fgets stops at a NUL byte", {false, true, std::nullopt}, withNul, withNul},
        {"fgets stops at a NUL byte, none in the file",
         {false, true, std::nullopt},
         plain,
         "[x]\r\nks.sys,,,0x00000010\r\n"},
        {"the disk fills up", {false, false, 10}, plain, plain},
        {"the disk just holds it", {false, false, 26}, plain, "[x]\r\nks.sys,,,0x00000010\r\n"},
    };
    for (const Row& row : rows) {
        inftest::CrtQuirksMachine machine;
        machine.quirks = row.quirks;
        machine.Files().PutFile(InfPath(KernelStreamingInf::Ks), row.before);
        setup::RewriteCopyFlags(machine, {KernelStreamingInf::Ks});
        EXPECT_EQ(machine.Files().ReadFile(InfPath(KernelStreamingInf::Ks)), row.after) << row.name;
    }
}

}  // namespace
