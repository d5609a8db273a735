// Both driver installations under seeded streams of failing operations:
// whatever fails, the flow ends with its restart request or its refusal,
// never with a crash or a hang.
#include <gtest/gtest.h>

#include "driver/inf_test_support.h"
#include "driver/option_dialogs_install.h"

namespace {

using testsupport::TestMachine;

constexpr int kSeeds = 1000;
constexpr double kFailureRate = 0.05;

// A window that only remembers what was done to it.
class PlainWindow : public platform::DialogWindow {
public:
    platform::Hwnd Handle() override { return 0x40000; }
    bool IsChecked(int) override { return false; }
    void SetCheck(int, bool) override {}
    void EnableControl(int, bool) override {}
    void ShowControl(int, bool) override {}
    void RedrawControl(int) override {}
    void Show(bool) override {}
    void Redraw() override {}
    void End(int) override {}
    void Close() override {}
    void SetIcon(int) override {}
    void AppendSystemMenuItem(int, std::uint32_t) override {}
    bool IsIconic() override { return false; }
    platform::Size ClientSize() override { return {}; }
    platform::Size SystemIconSize() override { return {}; }
    void PaintIcon(int, int, int) override {}
};

void PrepareMachine(TestMachine& machine) {
    machine.PutMedium("OVAUDIO.INF", inftest::TestInf("vxd/OVAUDIO.INF"));
    machine.PutMedium("WDM.INF", inftest::TestInf("wdm/OVAUDIO.INF"));
    machine.PutMedium("ovaudio.cat", "catalog");
    machine.PutMedium("026\\a.026", "a");
    machine.Files().PutDirectory("C:\\WINDOWS\\INF\\OTHER");
    machine.Files().PutFile("C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD", "old");
    machine.Files().PutFile("C:\\WINDOWS\\INF\\OTHER\\OEM1.INF", inftest::TestInf("vxd/OVAUDIO.INF"));
    machine.Reg().Create(platform::HKEY_LOCAL_MACHINE, "Enum\\PCI\\VEN_1D9C&DEV_0111\\BUS_00");
    machine.Devices().push_back({{"PCI\\VEN_1D9C&DEV_0111"}, true});
}

// The last message box the flow showed.
std::string LastMessage(TestMachine& machine) {
    const std::vector<std::string> messages = machine.Messages();
    return messages.empty() ? "" : messages.back();
}

TEST(InstallationFaultsTest, EveryFlowEndsAsItShould) {
    struct Flow {
        const char* name;
        vm::WindowsVersion version;
        bool wdm;
    } flows[] = {{"VxD on 98", vm::WindowsVersion::Win98, false},
                 {"WDM on ME", vm::WindowsVersion::WinME, true},
                 {"WDM on 98 SE", vm::WindowsVersion::Win98SE, true}};
    for (const Flow& flow : flows) {
        std::uint64_t faults = 0;
        for (int seed = 1; seed <= kSeeds; ++seed) {
            TestMachine machine(flow.version);
            PrepareMachine(machine);
            machine.SetRandomFaults(kFailureRate, static_cast<std::uint32_t>(seed));
            PlainWindow window;
            bool exited = false;
            try {
                if (flow.wdm) {
                    setup::InstallWdmDriver(machine, window, "E:\\", {});
                } else {
                    setup::InstallVxdDriver(machine, window, "E:\\", 0, {});
                }
            } catch (const vm::ProcessExit& exit) {
                exited = exit.exitCode == 0;
            } catch (const vm::VirtualTimeLimit&) {
                ADD_FAILURE() << flow.name << " hung with seed " << seed;
            }
            faults += machine.FaultsInjected();
            EXPECT_TRUE(exited) << flow.name << " seed " << seed;
            EXPECT_EQ(LastMessage(machine), "Setup completed! The system will restart now!")
                << flow.name << " seed " << seed;
        }
        EXPECT_GT(faults, static_cast<std::uint64_t>(kSeeds)) << flow.name;  // the campaign did inject
    }
}

}  // namespace
