// Stands in for the programs setup.exe starts: appends what it was started
// with (command line, current directory) to a log, optionally lingers, and
// exits with a chosen code.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

std::string Environment(const char* name, const std::string& fallback) {
    char buffer[1024];
    DWORD length = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer) return fallback;
    return std::string(buffer, length);
}

std::string CurrentDirectory() {
    char buffer[MAX_PATH + 1];
    DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    if (length == 0 || length >= sizeof buffer) return "?";
    return std::string(buffer, length);
}

// Several recorders may finish at once: retry while another one holds the
// file, and write the line with a single call so lines never interleave.
bool AppendLine(const std::string& path, const std::string& line) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            BOOL ok = WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written,
                                nullptr);
            CloseHandle(file);
            return ok && written == line.size();
        }
        Sleep(20);
    }
    return false;
}

}  // namespace

int main() {
    std::string line = GetCommandLineA();
    line += '\t';
    line += CurrentDirectory();
    line += "\r\n";
    bool logged = AppendLine(Environment("RECORDER_LOG", "C:\\recorder.log"), line);

    std::string sleep = Environment("RECORDER_SLEEP_MS", "");
    if (!sleep.empty()) Sleep(static_cast<DWORD>(std::strtoul(sleep.c_str(), nullptr, 10)));

    // A lost record must not look like a clean run.
    if (!logged) return 250;
    return static_cast<int>(std::strtol(Environment("RECORDER_EXIT", "0").c_str(), nullptr, 10));
}
