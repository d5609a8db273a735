// A test machine for the cleanup operations: its registry is written as
// REGEDIT4 blocks, asked about by full key names ("HKLM\Enum\PCI"), and can
// refuse to open or delete chosen keys, as keys held or protected by
// another program do.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "support/machine_fixture.h"

namespace testsupport {

class CleanupMachine : public TestMachine {
public:
    static constexpr int kAlways = -1;

    using TestMachine::TestMachine;

    // "[HKLM\...]" blocks with their values; the REGEDIT4 header is added.
    void ImportRegistry(const std::string& blocks);
    // A full key name: root ("HKLM", "HKCR", ... or the long form), then the path.
    bool HasKey(const std::string& fullName);
    // The names of the sub-keys of a key, in enumeration order.
    std::vector<std::string> SubKeys(const std::string& fullName);
    // The keys' full names of "delete registry key" journal entries, in order.
    std::vector<std::string> DeletedKeys();

    // Opening or deleting the key with this path (relative to its root,
    // case ignored) fails the next `times` times, or always.
    void RefuseOpen(const std::string& path, int times = kAlways);
    void RefuseDelete(const std::string& path, int times = kAlways);

    long RegOpenKeyEx(platform::HKey root, const std::string& subKey, std::uint32_t access,
                      platform::HKey& result) override;
    long RegDeleteKey(platform::HKey root, const std::string& subKey) override;

private:
    // True when the call on this path is to be refused (and counts it).
    static bool Refused(std::map<std::string, int>& refusals, const std::string& path);

    std::map<std::string, int> refusedOpens_;
    std::map<std::string, int> refusedDeletes_;
};

}  // namespace testsupport
