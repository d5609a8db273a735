// A C run-time stream over a virtual file, as the Windows run-time keeps one:
// a 4096-byte buffer over the file pointer, text-mode translation on reading
// (CR LF becomes LF, a Ctrl-Z ends the file) and on writing (LF becomes
// CR LF), writes held in the buffer until a flush, a seek or a full buffer.
// Tell answers what the run-time's ftell answers, its text-mode miscounts
// included: it takes every LF in the buffer for a CR LF.
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
