// setupsim check on INF files as they come from the era's packages and from
// Windows itself: Unicode files, comments and odd fields in the source-disk
// entry, a Ctrl-Z; each finding names the file and the line.
#include <gtest/gtest.h>

#include "setupsim/inf_check.h"
#include "support/machine_fixture.h"

namespace {

using setupsim::InfKind;
using setupsim::Severity;
using testsupport::Replaced;
using testsupport::TestInf;

TEST(InfCheck, FilesAsShippedByOthers) {
    const std::string vxd = TestInf("vxd/OVAUDIO.INF"), wdm = TestInf("wdm/OVAUDIO.INF");
    const std::string wdmDisk = "200=\"Orvanta WDM Audio Driver Disk\",,,", vxdDisk = "1=\"Orvanta PCI Audio Driver Disk\",,0";
    std::string utf16 = "\xFF\xFE";
    for (const char c : wdm) utf16 += std::string(1, c) + '\0';
    const struct Row {
        std::string content;
        InfKind kind;
        Severity severity;
        std::string says;  // "" : the file checks clean
    } rows[] = {
        {wdm, InfKind::Wdm, Severity::Ok, ""},
        {vxd, InfKind::Vxd, Severity::Ok, ""},
        {utf16, InfKind::Wdm, Severity::Error, "OVAUDIO.INF is a Unicode (UTF-16) INF: the rules read ANSI text"},
        {Replaced(wdm, {{wdmDisk, wdmDisk + " ; WDM disk"}}), InfKind::Wdm, Severity::Error, "line 14 [SourceDisksNames] 200 = "
         "\"Orvanta WDM Audio Driver Disk\",,, ; WDM disk: the value ends in a comment"},
        {Replaced(vxd, {{vxdDisk, vxdDisk + "; VxD disk"}}), InfKind::Vxd, Severity::Error, "line 21 [SourceDisksNames] 1 = "},
        {Replaced(wdm, {{wdmDisk, "200=%ID1%,,0000-0001"}}), InfKind::Wdm, Severity::Error,
         "line 14 [SourceDisksNames] 200 = %ID1%,,0000-0001: the value does not end in \",,,\""},
        {Replaced(wdm, {{wdmDisk, "200=\"Disk; one\",,,"}}), InfKind::Wdm, Severity::Ok, ""},  // a ';' inside quotes is text
        {wdm + "\x1A", InfKind::Wdm, Severity::Warning, "line 71 ends the file with a Ctrl-Z"},
        {Replaced(vxd, {{"[SourceDisksNames]", "\x1A\r\n[SourceDisksNames]"}}), InfKind::Vxd, Severity::Error,
         "line 20 holds a Ctrl-Z: Windows' INF reader stops there"},
    };
    for (const Row& row : rows) {
        const std::vector<setupsim::Finding> findings = setupsim::CheckInfFile("W2K-ME\\drv\\OVAUDIO.INF", row.content, row.kind);
        std::string all;
        for (const setupsim::Finding& finding : findings) all += finding.text + "\n";
        const auto found = std::find_if(findings.begin(), findings.end(), [&](const setupsim::Finding& finding) {
            return finding.severity == row.severity && finding.text.find(row.says) != std::string::npos;
        });
        EXPECT_NE(found, findings.end()) << row.says << "\nfound:\n" << all;
        EXPECT_TRUE(row.severity != Severity::Ok || findings.size() == 1) << all;
    }
}

}  // namespace
