#include "campaign/scenario_folder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace campaign {

namespace {

namespace fs = std::filesystem;

// "C:\WINDOWS\WIN.INI" under root: root/C/WINDOWS/WIN.INI.
fs::path HostPath(const fs::path& root, const std::string& path) {
    std::string relative = path.substr(0, 1) + path.substr(2);
    std::replace(relative.begin(), relative.end(), '\\', '/');
    return root / relative;
}

void WriteHostFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

void WriteMachineFolder(const Scenario& scenario, const std::string& folder) {
    const fs::path root(folder);
    fs::remove_all(root);
    for (const std::string& path : scenario.folders) {
        // Git and the loader know an empty folder by its ".keep" file.
        WriteHostFile(HostPath(root, path) / ".keep", "");
    }
    for (const auto& [path, bytes] : scenario.files) WriteHostFile(HostPath(root, path), bytes);
    fs::create_directories(root / std::string(1, scenario.mediumDrive));
    WriteHostFile(root / "registry.reg", scenario.registry.ExportRegFile());
    WriteHostFile(root / "machine.ini", scenario.machineIni);
}

}  // namespace campaign
