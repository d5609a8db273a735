#include "setupsim/read_recorder.h"

#include "platform/vm/registry.h"

namespace setupsim {

namespace {

std::string Joined(const std::string& parent, std::string child) {
    while (!child.empty() && child.back() == '\\') child.pop_back();
    while (!child.empty() && child.front() == '\\') child.erase(0, 1);
    return child.empty() ? parent : parent + "\\" + child;
}

}  // namespace

void ReadRecorder::Add(const std::string& kind, const std::string& what) {
    if (seen_.insert({kind, what}).second) reads_.push_back({kind, what});
}

std::string ReadRecorder::KeyName(platform::HKey key) const {
    const auto found = keys_.find(key);
    return found != keys_.end() ? found->second : vm::Registry::RootName(key);
}

// As the machine resolves it against its current folder.
std::string ReadRecorder::FilePath(const std::string& path) { return machine_.FullPath(path).value_or(path); }

// A profile named without a folder lives in the Windows folder.
std::string ReadRecorder::ProfilePath(const std::string& file) {
    if (file.find_first_of("\\/:") == std::string::npos) return machine_.settings.windowsFolder + "\\" + file;
    return FilePath(file);
}

std::unique_ptr<platform::FileStream> ReadRecorder::fopen(const std::string& path, const std::string& mode) {
    if (!mode.empty() && mode[0] == 'r') Add("file", FilePath(path));
    return inner_.fopen(path, mode);
}

std::optional<std::uint32_t> ReadRecorder::GetFileAttributes(const std::string& path) {
    const std::optional<std::uint32_t> attributes = inner_.GetFileAttributes(path);
    Add(attributes && (*attributes & platform::FILE_ATTRIBUTE_DIRECTORY) ? "folder" : "file", FilePath(path));
    return attributes;
}

std::vector<platform::FindData> ReadRecorder::FindFiles(const std::string& pattern) {
    Add("search", FilePath(pattern));
    return inner_.FindFiles(pattern);
}

std::optional<std::string> ReadRecorder::GetShortPathName(const std::string& path) {
    Add("file", FilePath(path));
    return inner_.GetShortPathName(path);
}

bool ReadRecorder::SetCurrentDirectory(const std::string& path) {
    Add("folder", FilePath(path));
    return inner_.SetCurrentDirectory(path);
}

int ReadRecorder::GetPrivateProfileInt(const std::string& section, const std::string& key, int defaultValue,
                                       const std::string& file) {
    Add("file", ProfilePath(file));
    return inner_.GetPrivateProfileInt(section, key, defaultValue, file);
}

std::string ReadRecorder::GetPrivateProfileString(const std::string& section, const std::string& key,
                                                  const std::string& defaultValue, const std::string& file) {
    Add("file", ProfilePath(file));
    return inner_.GetPrivateProfileString(section, key, defaultValue, file);
}

long ReadRecorder::RegOpenKeyEx(platform::HKey root, const std::string& subKey, std::uint32_t access,
                                platform::HKey& result) {
    const std::string name = Joined(KeyName(root), subKey);
    Add("registry key", name);
    const long error = inner_.RegOpenKeyEx(root, subKey, access, result);
    if (error == platform::ERROR_SUCCESS) keys_[result] = name;
    return error;
}

long ReadRecorder::RegQueryValueEx(platform::HKey key, const std::string& name, std::size_t bufferBytes,
                                   platform::RegValue& result) {
    Add("registry value", KeyName(key) + " \"" + name + "\"");
    return inner_.RegQueryValueEx(key, name, bufferBytes, result);
}

long ReadRecorder::RegEnumKeyEx(platform::HKey key, std::uint32_t index, std::size_t nameChars, std::string& name) {
    Add("registry key", KeyName(key));
    return inner_.RegEnumKeyEx(key, index, nameChars, name);
}

long ReadRecorder::RegEnumValue(platform::HKey key, std::uint32_t index, std::size_t nameChars, std::size_t dataBytes,
                                platform::RegEnumValueResult& result) {
    Add("registry key", KeyName(key));
    return inner_.RegEnumValue(key, index, nameChars, dataBytes, result);
}

long ReadRecorder::RegCloseKey(platform::HKey key) {
    keys_.erase(key);
    return inner_.RegCloseKey(key);
}

}  // namespace setupsim
