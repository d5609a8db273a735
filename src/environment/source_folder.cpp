#include "environment/source_folder.h"

#include "environment/paths.h"

namespace setup {

namespace {

bool IsNetworkPath(const std::string& path) { return path.size() >= 2 && path[0] == '\\' && path[1] == '\\'; }

bool HasDrive(const std::string& path) { return path.size() >= 2 && path[1] == ':'; }

// "D:" from "D:\WORK"; a directory without a drive stays whole.
std::string DriveOf(const std::string& currentDirectory) {
    const std::size_t colon = currentDirectory.find(':');
    return colon == std::string::npos ? currentDirectory : currentDirectory.substr(0, colon + 1);
}

}  // namespace

std::string SourceFolderFromPath(const std::string& programPath, const std::string& currentDirectory,
                                 bool qualifyWithDrive) {
    const std::size_t cut = programPath.rfind('\\');
    // Started by name from a prompt: the program lies in the current directory.
    if (cut == std::string::npos) return WithBackslash(currentDirectory);
    // \\server\share\...\setup.exe names its folder fully.
    if (IsNetworkPath(programPath)) return programPath.substr(0, cut + 1);

    std::string folder = programPath.substr(0, cut);
    if (folder.empty() && !qualifyWithDrive) return "\\";
    if (!HasDrive(folder) && qualifyWithDrive) {
        const std::string drive = DriveOf(currentDirectory);
        if (folder.empty()) {
            folder = drive + "\\";  // \setup.exe: the current drive's root
        } else {
            // "A\B" gains a backslash after the drive; "\Audio" and "A" do not.
            const bool insertBackslash = folder.size() >= 2 && folder[1] == '\\';
            folder = drive + (insertBackslash ? "\\" : "") + folder;
        }
    }
    return WithBackslash(folder);
}

std::string DetermineSourceFolder(platform::Platform& platform) {
    return SourceFolderFromPath(platform.ProgramPath(), platform.GetCurrentDirectory().value_or(""));
}

}  // namespace setup
