// The fault campaign's judges on hand-made cases: INF bytes, the places the
// program may write to and delete from, and how runs end.
#include <gtest/gtest.h>

#include "campaign/ending.h"
#include "campaign/file_changes.h"
#include "campaign/inf_bytes.h"

namespace {

using campaign::InfEdits;

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

std::string WithLf(std::string text) {
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) text.erase(at, 1);
    return text;
}

const std::string kPackage =
    "[Version]\r\nSignature=\"$CHICAGO$\"\r\n\r\n[SourceDisksNames]\r\n1=\"Disk\",,0\r\n\r\n[Config]\r\n"
    "HKR,Config,DISMPU,1,0\r\nHKR,Config,LINEINasREAR,1,1\r\n"
    "HKR,\"Settings\",\"JackConfig\",      0x00010001,0x05,0,0,0\r\n";

TEST(FaultCampaignJudges, InfCopyAgainstItsPackageFile) {
    const std::string flipped = Replaced(kPackage, "DISMPU,1,0", "DISMPU,1,1");
    const std::string sourceDisks = Replaced(kPackage, "1=\"Disk\",,0", "1=\"Disk\",,0, C:\\PROGRA~1\\ORVANTA\\WIN_9X");
    struct Row {
        const char* name;
        std::string package;
        std::string copy;
        InfEdits edits;
        bool allowed;
    } rows[] = {
        {"a faithful copy", kPackage, kPackage, InfEdits::None, true},
        {"a switch set by rule 1", kPackage, flipped, InfEdits::InPlace, true},
        {"a switch set where no edit is allowed", kPackage, flipped, InfEdits::None, false},
        {"a switch given a value rule 1 never writes", kPackage, Replaced(kPackage, "DISMPU,1,0", "DISMPU,1,2"),
         InfEdits::InPlace, false},
        {"another byte of a switch line", kPackage, Replaced(kPackage, "DISMPU,1,0", "DISMPU,0,0"), InfEdits::InPlace,
         false},
        {"LINEINasREAR cleared", kPackage, Replaced(kPackage, "REAR,1,1", "REAR,1,0"), InfEdits::InPlace, true},
        {"JackConfig at column 48", kPackage, Replaced(kPackage, "0x05,0", "0x03,0"), InfEdits::InPlace, true},
        {"JackConfig beside column 48", kPackage, Replaced(kPackage, "0x05,0", "0x15,0"), InfEdits::InPlace, false},
        {"the source-disk entry extended", kPackage, sourceDisks, InfEdits::InPlaceAndSourceDisks, true},
        {"the source-disk entry where only in-place edits count", kPackage, sourceDisks, InfEdits::InPlace, false},
        {"a section appended after an unterminated last line", "[Strings]\r\nA=1",
         "[Strings]\r\nA=1\r\n[SourceDisksFiles]\r\novaudio.cat=200\r\n", InfEdits::InPlaceAndSourceDisks, true},
        {"a line lost", kPackage, Replaced(kPackage, "[Config]\r\n", ""), InfEdits::InPlaceAndSourceDisks, false},
        {"the Ctrl-Z a text-mode update drops", kPackage + "\x1A", flipped, InfEdits::InPlace, true},
        {"the Ctrl-Z dropped from a plain copy", kPackage + "\x1A", kPackage, InfEdits::None, false},
        {"LF line ends, switch set", WithLf(kPackage), WithLf(flipped), InfEdits::InPlace, true},
        {"LF line ends, the line end overwritten", WithLf(kPackage),
         Replaced(WithLf(kPackage), "DISMPU,1,0\n", "DISMPU,1,01"), InfEdits::InPlace, false},
        {"nothing but source-disk entries, from an empty file", "", "[SourceDisksNames]\r\n1=, C:\\X\r\n",
         InfEdits::InPlaceAndSourceDisks, true},
    };
    for (const Row& row : rows) {
        const std::optional<std::string> problem = campaign::InfCopyDifference(row.package, row.copy, row.edits);
        EXPECT_EQ(!problem, row.allowed) << row.name << ": " << problem.value_or("allowed");
    }
}

TEST(FaultCampaignJudges, KernelStreamingInfAfterTheCopyFlagRewrite) {
    const std::string before = "[KS.CopyFiles]\r\nKS.SYS\r\nstream.sys,,,2\r\n[KS.DelFiles]\r\nksuser.dll\r\n";
    const std::string longLine = std::string(1023, 'x') + "ks.sys\r\n";
    struct Row {
        const char* name;
        std::string before;
        std::string after;
        bool allowed;
    } rows[] = {
        {"untouched", before, before, true},
        {"both entries flagged",
         before, "[KS.CopyFiles]\r\nks.sys,,,0x00000010\r\nstream.sys,,,0x00000010\r\n[KS.DelFiles]\r\nksuser.dll\r\n",
         true},
        {"cut short", before, before.substr(0, 20), false},
        {"an entry replaced by another file's", before, Replaced(before, "stream.sys,,,2", "ks.sys,,,0x00000010"),
         false},
        {"a line added", before, before + "extra\r\n", false},
        {"the second piece of a long line flagged", longLine, std::string(1023, 'x') + "ks.sys,,,0x00000010\r\n", true},
    };
    for (const Row& row : rows) {
        const std::optional<std::string> problem = campaign::CopyFlagRewriteDifference(row.before, row.after);
        EXPECT_EQ(!problem, row.allowed) << row.name << ": " << problem.value_or("allowed");
    }
}

const campaign::FileRules kRules{"C:\\WINDOWS", "C:\\WINDOWS\\OPTIONS\\CABS", "C:\\OVMIXER", 'E', false};

TEST(FaultCampaignJudges, WhereTheProgramMayWrite) {
    struct Row {
        const char* path;
        bool allowed;
    } rows[] = {
        {"C:\\Program Files", true},
        {"C:\\Program Files\\Orvanta\\WIN_9x\\026\\a.026", true},
        {"C:\\Program Files\\Other\\x.dll", false},
        {"C:\\WINDOWS\\INF\\OVAUDIO.INF", true},
        {"c:\\windows\\inf\\other\\ovaudio.inf", true},
        {"C:\\WINDOWS\\INF\\CATALOG\\ovaudio.cat", true},
        {"C:\\WINDOWS\\INF\\SUB\\x.inf", false},
        {"C:\\WINDOWS\\WININIT.INI", true},
        {"C:\\WINDOWS\\Mixer.dat", true},
        {"C:\\WINDOWS\\SYSTEM.INI", false},
        {"C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD", false},
        {"C:\\OVMIXER\\Mixer.exe", true},
        {"C:\\OVMIXER\\Mixer.dll", false},
        {"C:\\WINDOWS\\OPTIONS\\CABS\\ovwdm.sys", true},
        {"E:\\setup.ini", false},
        {"C:\\AUTOEXEC.BAT", false},
    };
    for (const Row& row : rows) EXPECT_EQ(campaign::MayWrite(kRules, row.path), row.allowed) << row.path;
}

TEST(FaultCampaignJudges, WhatTheProgramMayDelete) {
    const std::string earlier = "[Strings]\r\nSSC-Legacy.DeviceDesc=\"OVX4720 PCI Audio\"\r\n";
    const std::string other = "[Strings]\r\nSSC-Legacy.DeviceDesc=\"Modem\"\r\n";
    auto file = [](const std::string& path, const std::string& content) {
        vm::FileSystem::Entry entry;
        entry.path = path;
        entry.content = content;
        return entry;
    };
    const std::vector<vm::FileSystem::Entry> before = {
        file("C:\\WINDOWS\\INF\\OEM1.INF", earlier),       file("C:\\WINDOWS\\INF\\OEM1.PNF", "p"),
        file("C:\\WINDOWS\\INF\\OEM2.INF", other),         file("C:\\WINDOWS\\INF\\OEM2.PNF", "p"),
        file("C:\\WINDOWS\\INF\\OTHER\\ANY.INF", earlier), file("C:\\WINDOWS\\INF\\Drvdata.bin", "d"),
        file("C:\\WINDOWS\\INF\\MEDIA.INF", earlier),      file("C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD", "v"),
        file("E:\\setup.exe", "MZ"),
    };
    const std::vector<std::string> expected = {
        "deleted C:\\WINDOWS\\INF\\MEDIA.INF", "deleted C:\\WINDOWS\\INF\\OEM2.INF",
        "deleted C:\\WINDOWS\\INF\\OEM2.PNF", "deleted C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD", "deleted E:\\setup.exe"};
    EXPECT_EQ(campaign::CheckFileChanges(kRules, before, {}), expected);
    campaign::FileRules vanishing = kRules;
    vanishing.mediumMayVanish = true;
    EXPECT_EQ(campaign::CheckFileChanges(vanishing, before, {}).size(), expected.size() - 1);
}

const std::string kAnnouncement = "The driver will be installed now. It need a few minutes to complete.";
const std::string kCompleted = "Setup completed! The system will restart now!";
const std::string kNoApplications = "Can not find the PCI Audio Applications setup program.";
const std::string kPrompt = kNoApplications + "\n Please insert the installation CD now.";

TEST(FaultCampaignJudges, HowARunEnds) {
    using setupsim::Ending;
    using campaign::MainDialogPlan;
    struct Row {
        const char* name;
        std::vector<std::string> outcomes;
        std::vector<std::string> messages;
        std::vector<std::string> afterMessages;  // journal kinds
        Ending ending;
        std::uint32_t exitCode;
        MainDialogPlan plan;
        std::vector<std::string> problems;
    } rows[] = {
        {"the unattended installation restarts", {"unattended driver installation from the medium"},
         {kAnnouncement, kCompleted}, {"restart requested", "exit process"}, Ending::ExitProcess, 0,
         MainDialogPlan::Both, {}},
        {"a failed restart request still counts", {"unattended driver installation from a flat package"},
         {kAnnouncement, kCompleted}, {"fault:ExitWindowsEx", "exit process"}, Ending::ExitProcess, 0,
         MainDialogPlan::Both, {}},
        {"no announcement", {"unattended driver installation from the medium"}, {kCompleted},
         {"restart requested"}, Ending::ExitProcess, 0, MainDialogPlan::Both,
         {"messages shown: \"" + kCompleted + "\""}},
        {"the final message without a restart", {"VxD driver option dialog"}, {kCompleted}, {"exit process"},
         Ending::ExitProcess, 0, MainDialogPlan::Both, {"the final message without a restart request"}},
        {"a copy after the restart request", {"VxD driver option dialog"}, {kCompleted},
         {"restart requested", "copy file"}, Ending::ExitProcess, 0, MainDialogPlan::Both,
         {"\"copy file\" after the restart request"}},
        {"an exit code other than 0", {"applications launch"}, {}, {}, Ending::ExitProcess, 1, MainDialogPlan::Both,
         {"exit code 1"}},
        {"the hand-over returns", {"hand-over to the Windows 2000/XP setup program"}, {}, {}, Ending::Returned, 0,
         MainDialogPlan::Both, {}},
        {"the hand-over ends the process", {"hand-over to the Windows 2000/XP setup program"}, {}, {},
         Ending::ExitProcess, 0, MainDialogPlan::Both,
         {"the program ended its process where it should have returned"}},
        {"both boxes: prompts, then Cancel restarts", {"main setup dialog"}, {kPrompt, kPrompt, kCompleted},
         {"restart requested"}, Ending::Returned, 0, MainDialogPlan::Both, {}},
        {"applications only: prompt, then Cancel", {"main setup dialog"}, {kPrompt, kNoApplications}, {},
         Ending::Returned, 0, MainDialogPlan::AppsOnly, {}},
        {"applications only must not restart", {"main setup dialog"}, {kPrompt, kCompleted}, {"restart requested"},
         Ending::Returned, 0, MainDialogPlan::AppsOnly,
         {"messages shown: \"" + kPrompt + "\" \"" + kCompleted + "\""}},
        {"two outcomes", {"main setup dialog", "applications launch"}, {}, {}, Ending::Returned, 0,
         MainDialogPlan::Both, {"2 outcomes chosen"}},
        {"a dialog that could not be made", {"WDM driver option dialog"}, {}, {"dialog missing"}, Ending::Returned, 0,
         MainDialogPlan::Both, {}},
    };
    for (const Row& row : rows) {
        vm::Journal journal;
        for (const std::string& outcome : row.outcomes) journal.Add(0, "trace", {{"text", "outcome: " + outcome}});
        for (const std::string& message : row.messages) journal.Add(0, "message box", {{"text", message}});
        setupsim::RunResult result;
        for (const std::string& kind : row.afterMessages) {
            if (kind == "fault:ExitWindowsEx") {
                journal.Add(0, "fault", {{"operation", "ExitWindowsEx"}});
                continue;
            }
            journal.Add(0, kind);
            result.restartRequested |= kind == "restart requested";
        }
        result.ending = row.ending;
        result.exitCode = row.exitCode;
        EXPECT_EQ(campaign::CheckEnding(result, journal, row.plan), row.problems) << row.name;
    }
}

}  // namespace
