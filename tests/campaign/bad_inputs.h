// The bad inputs every flow meets in the campaign: broken files on the
// medium and in Windows, an awkward registry, a long Windows folder, a
// read-only or vanishing medium and a full disk.
#pragma once

#include <cstddef>

#include "campaign/random.h"
#include "campaign/scenario.h"

namespace campaign {

enum class BadInput {
    None,
    SetupIniRandomBytes,
    InfRandomBytes,
    InfNulBytes,
    InfLongLines,        // lines of 100,000 characters
    InfLfLineEnds,
    InfCrLineEnds,
    InfEmpty,
    RegistryLongNames,   // key and value names of 300 characters
    RegistryManySubKeys, // 10,000 sub-keys under one key
    RegistryWrongTypes,
    LongWindowsFolder,   // a Windows folder path of 200 characters
    ReadOnlyMedium,
    MediumTakenOut,      // files vanish while the program copies them
    FullDisk,            // copies and writes fail once the disk is full
};
constexpr std::size_t kBadInputCount = 15;

const char* ToString(BadInput input);

// Before the scenario is built: what the machine is.
void Prepare(BadInput input, Environment& environment, Random& random);
// On the built scenario: its files, registry, events and hardware.
void Apply(BadInput input, Scenario& scenario, Random& random);

}  // namespace campaign
