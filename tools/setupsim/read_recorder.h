// What a run read of its machine: registry keys and values, files, folders
// and searches, in the order first read. Support learns from it what a
// customer must send; a maintainer what a medium depends on.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/proxy_platform.h"
#include "platform/vm/machine.h"

namespace setupsim {

struct Read {
    std::string kind;  // "registry key", "registry value", "file", "folder", "search"
    std::string what;  // a full key name, a key and a value name, a path, a pattern
};

// Records each read it passes on to the machine, once: the reads of a run
// with a log, whose journal reads what a value or file was before a change.
class ReadRecorder final : public platform::ProxyPlatform {
public:
    // inner: the machine, or a wrapper of it.
    ReadRecorder(platform::Platform& inner, vm::VirtualMachine& machine) : ProxyPlatform(inner), machine_(machine) {}
    const std::vector<Read>& Reads() const { return reads_; }

    std::unique_ptr<platform::FileStream> fopen(const std::string& path, const std::string& mode) override;
    std::optional<std::uint32_t> GetFileAttributes(const std::string& path) override;
    std::vector<platform::FindData> FindFiles(const std::string& pattern) override;
    std::optional<std::string> GetShortPathName(const std::string& path) override;
    bool SetCurrentDirectory(const std::string& path) override;
    int GetPrivateProfileInt(const std::string& section, const std::string& key, int defaultValue,
                             const std::string& file) override;
    std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                        const std::string& defaultValue, const std::string& file) override;
    long RegOpenKeyEx(platform::HKey root, const std::string& subKey, std::uint32_t access, platform::HKey& result) override;
    long RegQueryValueEx(platform::HKey key, const std::string& name, std::size_t bufferBytes,
                         platform::RegValue& result) override;
    long RegEnumKeyEx(platform::HKey key, std::uint32_t index, std::size_t nameChars, std::string& name) override;
    long RegEnumValue(platform::HKey key, std::uint32_t index, std::size_t nameChars, std::size_t dataBytes,
                      platform::RegEnumValueResult& result) override;
    long RegCloseKey(platform::HKey key) override;

private:
    void Add(const std::string& kind, const std::string& what);
    std::string KeyName(platform::HKey key) const;
    std::string FilePath(const std::string& path);
    std::string ProfilePath(const std::string& file);

    vm::VirtualMachine& machine_;  // resolves paths without a call the program could see
    std::vector<Read> reads_;
    std::set<std::pair<std::string, std::string>> seen_;
    std::map<platform::HKey, std::string> keys_;
};

}  // namespace setupsim
