// A small virtual machine for scenario tests: Windows folders on C:, a
// package medium on E:, and the program started from it.
#pragma once

#include <string>

#include "platform/vm/machine.h"
#include "setupsim/runner.h"

namespace testsupport {

class TestMachine : public vm::VirtualMachine {
public:
    explicit TestMachine(vm::WindowsVersion version = vm::WindowsVersion::Win98SE);

    // A file on the medium, relative to E:\ ("W2K-ME\\app\\Setup.exe").
    void PutMedium(const std::string& relative, const std::string& bytes = "MZ");
    void PutSetupIni(const std::string& text) { PutMedium("setup.ini", text); }

    setupsim::RunResult Run() { return setupsim::RunSetup(*this); }

    // Journal helpers.
    std::vector<std::string> Messages();   // the texts of the message boxes shown
    std::vector<std::string> Traces();     // OutputDebugString lines
    std::vector<std::string> Started();    // command lines of programs started
    std::string ProfileValue(const std::string& path, const std::string& section, const std::string& key);
    std::string RegistryText(platform::HKey root, const std::string& path, const std::string& name);
};

}  // namespace testsupport
