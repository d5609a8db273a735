// Keeps the support log out of the run it records: a run with a log does on
// the machine what the same run does without one.
#pragma once

#include <optional>
#include <string>

#include "platform/proxy_platform.h"

namespace setup {

// The first line of every log, which an earlier log is known by.
constexpr const char* kLogFirstLineStart = "; Orvanta PCI audio setup";

// The log's full path, or nullopt where a log would become part of the run:
// in the Windows folder or the staging folders (the program writes there),
// over a file that is not an earlier log (the program may read or copy
// it), or in a folder that does not exist.
std::optional<std::string> PlaceLog(platform::Platform& machine, const std::string& requested);

// Answers as if the log were not there: searches leave it out; opening,
// copying, changing, deleting it or reading it as a profile fail as they
// would for a missing file.
class LogHidingPlatform final : public platform::ProxyPlatform {
public:
    LogHidingPlatform(platform::Platform& inner, const std::string& logPath);

    std::unique_ptr<platform::FileStream> fopen(const std::string& path, const std::string& mode) override;
    bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) override;
    bool SetFileAttributes(const std::string& path, std::uint32_t attributes) override;
    std::optional<std::uint32_t> GetFileAttributes(const std::string& path) override;
    bool DeleteFile(const std::string& path) override;
    std::vector<platform::FindData> FindFiles(const std::string& pattern) override;
    std::optional<std::string> GetShortPathName(const std::string& path) override;
    int GetPrivateProfileInt(const std::string& section, const std::string& key, int defaultValue,
                             const std::string& file) override;
    std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                        const std::string& defaultValue, const std::string& file) override;
    bool WritePrivateProfileString(const std::string& section, const std::string& key, const std::string& value,
                                   const std::string& file) override;

private:
    bool IsLog(const std::string& path);

    std::string log_;       // full path, upper case
    std::string logShort_;  // its 8.3 form, upper case
    std::string names_[2];  // its long and short file names, upper case
};

}  // namespace setup
