// The machine's files and registry at one moment, and what changed between
// two such moments, named for people to read.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/vm/machine.h"

namespace vm {

struct MachineSnapshot {
    std::vector<FileSystem::Entry> files;
    // "ROOT\\path" for each key (value ""), "ROOT\\path \"name\"" for each
    // value, with the value as people read it.
    std::map<std::string, std::string> registry;
};

MachineSnapshot TakeSnapshot(VirtualMachine& machine);

struct Change {
    char sign = '~';       // '+' added, '-' removed, '~' changed
    std::string what;      // a path, or a registry key or value
    std::vector<std::string> details;  // INI entries or lines that changed
};

// Files (with INI entries or changed lines), folders and registry entries.
std::vector<Change> Diff(const MachineSnapshot& before, const MachineSnapshot& after);

}  // namespace vm
