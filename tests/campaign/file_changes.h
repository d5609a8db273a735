// What a run did to the machine's files, judged: every file written lies in
// a place the program writes to, every file deleted is one it may delete,
// and every INF file it placed or edited differs from its source only where
// the INF rules say.
#pragma once

#include <string>
#include <vector>

#include "platform/vm/machine.h"

namespace campaign {

struct FileRules {
    std::string windowsFolder;  // no trailing backslash
    std::string setupSource;    // the folder "SourcePath" names
    std::string mixerFolder;    // the registered mixer program's folder
    char mediumDrive = 'E';
    bool mediumMayVanish = false;  // the medium was taken out on purpose
};

// Whether the program may create or change this file or folder.
bool MayWrite(const FileRules& rules, const std::string& path);

// Each problem found, for people to read: from the files before and after
// the run, and from the journal, which also shows writes that a later
// deletion hid.
std::vector<std::string> CheckWrites(const FileRules& rules, const vm::Journal& journal, vm::VirtualMachine& machine);
std::vector<std::string> CheckFileChanges(const FileRules& rules, const std::vector<vm::FileSystem::Entry>& before,
                                          const std::vector<vm::FileSystem::Entry>& after);

}  // namespace campaign
