#include "platform/win32/win32_file_stream.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_whole_text.h"

namespace platform::win32 {
namespace {

std::optional<std::string> NonEmpty(std::string text) {
    if (text.empty()) return std::nullopt;
    return text;
}

FindData ToFindData(const WIN32_FIND_DATAA& found) {
    FindData entry;
    entry.fileName = found.cFileName;
    entry.alternateFileName = found.cAlternateFileName;
    entry.attributes = found.dwFileAttributes;
    entry.size = (std::uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
    return entry;
}

}  // namespace

std::optional<std::string> Win32Platform::GetCurrentDirectory() {
    return NonEmpty(ReadWholeText([](char* buffer, DWORD size) { return ::GetCurrentDirectoryA(size, buffer); },
                                  CutSignal::kResultAtLeastSize));
}

bool Win32Platform::SetCurrentDirectory(const std::string& path) {
    return ::SetCurrentDirectoryA(path.c_str()) != FALSE;
}

std::string Win32Platform::GetWindowsDirectory() {
    return ReadWholeText([](char* buffer, DWORD size) { return ::GetWindowsDirectoryA(buffer, size); },
                         CutSignal::kResultAtLeastSize);
}

std::string Win32Platform::GetSystemDirectory() {
    return ReadWholeText([](char* buffer, DWORD size) { return ::GetSystemDirectoryA(buffer, size); },
                         CutSignal::kResultAtLeastSize);
}

bool Win32Platform::CreateDirectory(const std::string& path) {
    return ::CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

std::unique_ptr<FileStream> Win32Platform::fopen(const std::string& path, const std::string& mode) {
    std::FILE* file = ::fopen(path.c_str(), mode.c_str());
    if (file == nullptr) return nullptr;
    return std::make_unique<CrtFileStream>(file);
}

bool Win32Platform::CopyFile(const std::string& from, const std::string& to, bool failIfExists) {
    return ::CopyFileA(from.c_str(), to.c_str(), failIfExists ? TRUE : FALSE) != FALSE;
}

bool Win32Platform::SetFileAttributes(const std::string& path, std::uint32_t attributes) {
    return ::SetFileAttributesA(path.c_str(), attributes) != FALSE;
}

std::optional<std::uint32_t> Win32Platform::GetFileAttributes(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return attributes;
}

bool Win32Platform::DeleteFile(const std::string& path) { return ::DeleteFileA(path.c_str()) != FALSE; }

std::vector<FindData> Win32Platform::FindFiles(const std::string& pattern) {
    std::vector<FindData> entries;
    WIN32_FIND_DATAA found;
    const HANDLE search = ::FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return entries;
    do {
        entries.push_back(ToFindData(found));
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return entries;
}

std::optional<std::string> Win32Platform::GetShortPathName(const std::string& path) {
    return NonEmpty(ReadWholeText(
        [&path](char* buffer, DWORD size) { return ::GetShortPathNameA(path.c_str(), buffer, size); },
        CutSignal::kResultAtLeastSize));
}

}  // namespace platform::win32
