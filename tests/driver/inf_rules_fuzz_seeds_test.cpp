// The fuzz target's promises, kept on its seeds in every build: the test
// INF files and the awkward shapes of line ends and lengths, under each rule
// and a spread of choices.
#include <gtest/gtest.h>

#include "driver/inf_test_support.h"
#include "fuzz/inf_rules_property.h"

namespace {

using fuzzing::FuzzedRule;

TEST(InfRulesFuzzSeeds, EveryRuleKeepsItsPromise) {
    const std::string switches =
        "HKR,Config,DISMPU,1,0\r\nHKR,Config,DISJSTK,1,0\r\nHKR,Config,LINEINasREAR,1,1\r\n"
        "HKR,Config,LINEINasBASS,1,0\r\nHKR,Config,MICasBASS,1,0\r\n";
    const std::string settings =
        "HKR,\"Settings\",\"EnableLegacy\",    0x00010001,0x03,0,0,0\r\n"
        "HKR,\"Settings\",\"JackConfig\",      0x00010001,0x05,0,0,0\r\n";
    const std::string copyFiles =
        "[KS.CopyFiles]\r\nKS.SYS\r\nstream.sys,,,2\r\nmspclock.sys=1\r\nMSKSSRV.SYS\r\n"
        "[KS.DelFiles]\r\nksuser.dll\r\n";
    const std::vector<std::string> files = {
        inftest::TestInf("vxd/OVAUDIO.INF"),
        inftest::TestInf("wdm/OVAUDIO.INF"),
        inftest::TestInf("system/ks.inf"),
        inftest::TestInf("system/wdmaudio.inf"),
        inftest::TestInf("system/ksfilter.inf"),
        switches + settings + copyFiles,
        inftest::WithLfLineEnds(switches + settings + copyFiles),
        switches.substr(0, switches.size() - 2),
        settings + "\x1A",
        std::string(1023, 'x') + switches + std::string(1023, 'x') + settings + std::string(1023, 'x') + copyFiles,
        std::string(5000, '\r') + switches,
        std::string("\0\r\n", 3) + switches + std::string("\0", 1) + settings,
        "",
    };
    const std::uint8_t choiceSets[] = {0x00, 0x01, 0x03, 0x05, 0x09, 0x0b, 0x0f, 0x1e, 0x31, 0x4d, 0x7f, 0xff};
    for (std::size_t i = 0; i < files.size(); ++i) {
        for (FuzzedRule rule : {FuzzedRule::ConfigSwitches, FuzzedRule::SettingsValues, FuzzedRule::CopyFlags}) {
            for (std::uint8_t choices : choiceSets) {
                EXPECT_EQ(fuzzing::CheckInfRule(fuzzing::MakeInput(rule, choices, files[i])), "")
                    << "file " << i << ", rule " << static_cast<int>(rule) << ", choices " << static_cast<int>(choices);
            }
        }
    }
}

}  // namespace
