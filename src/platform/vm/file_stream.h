// A C run-time stream over a virtual file, with the Windows run-time's
// text-mode rules: on reading, CR LF becomes LF and a Ctrl-Z ends the file;
// on writing, LF becomes CR LF. Tell and Seek work on byte offsets of the
// file as stored. Changes reach the file system on Flush and on close.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/vm/filesystem.h"

namespace vm {

// Opens path in the file system with an fopen mode ("r", "rb", "w", "wb",
// "r+", "r+b", "rb+", "a", "ab", "w+", "a+" and their "t" forms). Returns
// nullptr where fopen would return NULL: a missing file for "r" modes, a
// read-only file or drive for writing modes, a missing folder, a folder.
std::unique_ptr<platform::FileStream> OpenFileStream(FileSystem& fs, const std::string& path,
                                                     const std::string& mode);

}  // namespace vm
