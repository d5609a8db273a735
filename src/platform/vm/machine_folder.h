// A virtual machine kept in a plain folder, so people can read and edit it:
//   machine.ini    the Windows version, folders, program start, windows open,
//                  devices, programs, answers to message boxes, events, faults
//   registry.reg   the registry as REGEDIT4 text
//   C/, E/, ...    one folder per drive, holding its files
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include "platform/vm/machine.h"

namespace vm {

// A fault in a machine folder, naming the file and the 1-based line
// (0 when the fault is not on one line).
struct MachineFolderError : std::runtime_error {
    std::string file;
    int line = 0;
    MachineFolderError(std::string fileName, int lineNumber, const std::string& message);
};

// Reads the folder into a fresh machine. Throws MachineFolderError.
void LoadMachineFolder(const std::string& folder, VirtualMachine& machine);

// Reads machine.ini text alone (the drives and registry come separately).
// fileName only names the file in errors.
void ApplyMachineIni(const std::string& text, const std::string& fileName, VirtualMachine& machine);

// Writes the machine as it is now: drives, registry.reg and machine.ini.
// The target folder is created; an existing machine folder's content is
// replaced. Throws MachineFolderError when the folder cannot be written.
void SaveMachineFolder(VirtualMachine& machine, const std::string& folder);

// A folder of the host put on the machine at virtualFolder ("C:" for a
// drive's root), in name order, its files read-only where asked.
void LoadHostFolder(const std::string& hostFolder, const std::string& virtualFolder, bool readOnly, FileSystem& files);

// A host file's bytes, or nothing when it cannot be read.
std::optional<std::string> ReadHostFile(const std::string& path);

}  // namespace vm
