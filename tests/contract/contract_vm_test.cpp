// The platform contract on the virtual machine, as Windows 98 SE and as XP.
#include <gtest/gtest.h>

#include "contract/contract.h"
#include "platform/vm/machine.h"

namespace {

class VmHost final : public contract::Host {
public:
    explicit VmHost(vm::VirtualMachine& machine, contract::System system)
        : Host(machine, system, false), machine_(machine) {}
    void CreateKey(platform::HKey root, const std::string& path) override { machine_.Reg().Create(root, path); }

private:
    vm::VirtualMachine& machine_;
};

class PlatformContract : public ::testing::TestWithParam<vm::WindowsVersion> {};

TEST_P(PlatformContract, TheVirtualMachineAnswersAsWindows) {
    vm::VirtualMachine machine;
    machine.settings.version = GetParam();
    machine.settings.currentDirectory = "C:\\";
    machine.Files().AddDrive('C');
    VmHost host(machine, vm::IsNt(GetParam()) ? contract::System::Nt : contract::System::Win9x);
    int checked = 0;
    const std::vector<std::string> failures = contract::RunAll(host, &checked);
    for (const std::string& failure : failures) ADD_FAILURE() << failure;
    EXPECT_GT(checked, 150);  // the rows ran
}

INSTANTIATE_TEST_SUITE_P(Systems, PlatformContract, ::testing::Values(vm::WindowsVersion::Win98SE, vm::WindowsVersion::WinXP),
                         [](const auto& info) { return std::string(vm::ToString(info.param)); });

}  // namespace
