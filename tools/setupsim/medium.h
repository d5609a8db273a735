// A package medium as setupsim reads it: a plain folder holding what is on
// the CD, or a machine folder whose program folder (from its ProgramPath)
// holds the medium.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/vm/filesystem.h"

namespace setupsim {

// The folder cannot be read, or is a malformed machine folder.
struct MediumError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct MediumEntry {
    std::string path;  // relative to the medium's root, '\' separated
    bool directory = false;
    std::string content;
};

struct Medium {
    std::string origin;                // what was found, for the reports' first line
    std::vector<MediumEntry> entries;  // each folder before its content, names in order
};

// Throws MediumError.
Medium LoadMedium(const std::string& folder);

// Where the medium goes in every machine setupsim builds: the CD drive's root.
constexpr const char* kMediumRoot = "E:\\";

// Puts the medium's folders and files under kMediumRoot, read-only like a
// CD's; the drive is created when missing.
void PutMedium(vm::FileSystem& files, const Medium& medium);

// A path under kMediumRoot as the medium's own relative path ("W2K-ME\drv\").
std::string OnMedium(const std::string& path);

}  // namespace setupsim
