// The one machine of the scenario tests: Windows folders on C:, the package
// medium on E:, the program started from it; driver packages and REGEDIT4
// blocks put on it in a line, and its journal read back by kind.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/faults/fault_injecting_platform.h"
#include "platform/journal/journaling_platform.h"
#include "platform/vm/machine.h"
#include "setupsim/runner.h"

namespace testsupport {

// A file of tests/data/inf, byte for byte.
std::string TestInf(const std::string& relative);

// text with the first occurrence of each `from` replaced by its `to`; a
// `from` that does not occur fails the test.
std::string Replaced(std::string text, const std::vector<std::pair<std::string, std::string>>& changes);

// What a package on the medium holds.
enum class Package {
    Vxd,     // the VxD driver at the medium's root ("WebSetup" 1)
    Wdm,     // the WDM driver at the medium's root ("WebSetup" 1, "InstallWDMDriver")
    Flat,    // both INF files at the root ("WebSetup" 2 and more)
    Medium,  // the CD layout: W95-98\drv, W2K-ME\drv, Dosdrv
};

class TestMachine : public vm::VirtualMachine {
public:
    static constexpr int kAlways = -1;

    // machineIni: sections of a machine folder's machine.ini, applied last.
    explicit TestMachine(vm::WindowsVersion version = vm::WindowsVersion::Win98SE, const std::string& machineIni = "");

    // A file on the medium, relative to E:\ ("W2K-ME\\app\\Setup.exe").
    void PutMedium(const std::string& relative, const std::string& bytes = "MZ");
    void PutSetupIni(const std::string& text) { PutMedium("setup.ini", text); }
    void PutPackage(Package package);
    // "[HKEY_LOCAL_MACHINE\...]" blocks with their values; the header is added.
    void ImportRegistry(const std::string& blocks);

    setupsim::RunResult Run() { return setupsim::RunSetup(*this); }
    // The machine as a part of the program sees it: every effect journaled.
    platform::Platform& Journaled() { return journaled_; }
    // The machine with its planned faults, not journaled.
    platform::Platform& Faulty() { return faulty_; }

    // One field of every journal entry of a kind, in order.
    std::vector<std::string> Journal(const std::string& kind, const std::string& field);
    std::vector<std::string> Messages() { return Journal("message box", "text"); }
    std::vector<std::string> Traces() { return Journal("trace", "text"); }
    std::vector<std::string> Started();  // command lines of programs started
    std::size_t Sleeps(std::uint32_t ms);
    std::string ProfileValue(const std::string& path, const std::string& section, const std::string& key);
    std::string RegistryText(platform::HKey root, const std::string& path, const std::string& name);
    // A full key name ("HKLM\Enum\PCI"): does it exist, its sub-keys in order.
    bool HasKey(const std::string& fullName);
    std::vector<std::string> SubKeys(const std::string& fullName);

    // Opening or deleting the key with this path (relative to its root, case
    // ignored) fails the next `times` times, or always, as a key held by
    // another program does.
    void RefuseOpen(const std::string& path, int times = kAlways);
    void RefuseDelete(const std::string& path, int times = kAlways);
    long RegOpenKeyEx(platform::HKey root, const std::string& subKey, std::uint32_t access,
                      platform::HKey& result) override;
    long RegDeleteKey(platform::HKey root, const std::string& subKey) override;

private:
    // The machine with its planned faults, journaled as setupsim runs it.
    platform::FaultInjectingPlatform faulty_{*this, FaultPlan(), FaultListener()};
    platform::JournalingPlatform journaled_{faulty_, GetJournal()};
    std::map<std::string, int> refusedOpens_;
    std::map<std::string, int> refusedDeletes_;
};

}  // namespace testsupport
