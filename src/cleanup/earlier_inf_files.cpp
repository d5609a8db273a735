#include "cleanup/earlier_inf_files.h"

#include "cleanup/cleanup_constants.h"
#include "cleanup/cleanup_text.h"

namespace setup::cleanup {

namespace {

bool NamesEarlierDriver(const std::string& value) {
    const std::string head = CutAfter(value, kEarlierDriverTextChars);
    for (const char* text : kEarlierDriverTexts) {
        if (head == text) return true;
    }
    return false;
}

void DeleteNormalFile(platform::Platform& platform, const std::string& path) {
    platform.SetFileAttributes(path, platform::FILE_ATTRIBUTE_NORMAL);
    platform.DeleteFile(path);
}

// The INF file and the file of the same name with the extension PNF.
void DeleteWithPrecompiledCompanion(platform::Platform& platform, const std::string& infPath) {
    DeleteNormalFile(platform, infPath);
    const std::size_t extensionChars = std::string(kPrecompiledInfExtension).size();
    DeleteNormalFile(platform, infPath.substr(0, infPath.size() - extensionChars) + kPrecompiledInfExtension);
}

// Judges every file the search finds, in the order found. False when it
// finds nothing.
bool CleanFoundFiles(platform::Platform& platform, const std::string& windowsFolder, const InfSearch& search) {
    const std::string folder = windowsFolder + search.folder;
    const std::vector<platform::FindData> found = platform.FindFiles(folder + search.namePattern);
    for (const platform::FindData& file : found) {
        const std::string path = folder + file.fileName;
        if (BelongsToEarlierDriver(platform, path)) DeleteWithPrecompiledCompanion(platform, path);
    }
    return !found.empty();
}

}  // namespace

bool BelongsToEarlierDriver(platform::Platform& platform, const std::string& infPath) {
    for (const char* key : kEarlierDriverKeys) {
        if (NamesEarlierDriver(platform.GetPrivateProfileString(kInfStringsSection, key, "", infPath))) return true;
    }
    return false;
}

void DeleteEarlierInfFiles(platform::Platform& platform, const std::string& windowsFolder) {
    // Pass 1: INF\OTHER; the INF folder's OEM files only when it holds none.
    if (!CleanFoundFiles(platform, windowsFolder, kOtherInfFiles)) {
        CleanFoundFiles(platform, windowsFolder, kOemInfFilesUpperCase);
    }
    // Pass 2: the earlier packages' own INF files.
    CleanFoundFiles(platform, windowsFolder, kOvInfFiles);
    // Pass 3: the OEM files again; the search ignores case, so after the
    // fallback above this judges what that left, with the same result.
    CleanFoundFiles(platform, windowsFolder, kOemInfFiles);
}

}  // namespace setup::cleanup
