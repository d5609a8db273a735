// The virtual machine a campaign run uses: the scenario loaded into it, and
// two ways for the hardware to let the program down that the machine has no
// words for: a disk that fills up, and a medium taken out while the program
// copies from it.
#pragma once

#include <cstdint>
#include <optional>

#include "campaign/scenario.h"
#include "platform/vm/machine.h"

namespace campaign {

class CampaignMachine : public vm::VirtualMachine {
public:
    CampaignMachine() = default;
    // The scenario loaded, with its disk and medium.
    explicit CampaignMachine(const Scenario& scenario);

    // Bytes the disk still takes; none for a disk that never fills. A copy
    // or a write that needs more fails as a whole.
    std::optional<std::uint64_t> freeBytes;
    // The medium is taken out just before this copy from it (1 for the
    // first); none for a medium that stays.
    std::optional<std::uint64_t> mediumTakenOutAtCopy;
    char mediumDrive = 'E';

    bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) override;
    std::unique_ptr<platform::FileStream> fopen(const std::string& path, const std::string& mode) override;
    bool WritePrivateProfileString(const std::string& section, const std::string& key, const std::string& value,
                                   const std::string& file) override;

    // Takes bytes from the free space; false (taking nothing) when they do
    // not fit.
    bool TakeSpace(std::uint64_t bytes);
    bool HasSpace(std::uint64_t bytes) const;

private:
    std::uint64_t SizeOf(const std::string& path);

    std::uint64_t mediumCopies_ = 0;
};

// Puts the scenario's folders, files, registry and machine.ini into a fresh
// machine.
void Load(const Scenario& scenario, vm::VirtualMachine& machine);

}  // namespace campaign
