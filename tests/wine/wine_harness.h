// Real Windows programs in a throw-away Wine prefix on a private X display.
// A template prefix is made once per Wine version and architecture, and
// copied for each prefix. The registry is read and written through Wine's
// own reg.exe.
#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace winetest {

using Ms = std::chrono::milliseconds;

// The build whose programs run: build/win32 in a pure 32-bit prefix where
// the kernel runs 32-bit code (WINE_TESTS_ARCH=win32|win64 decides instead).
struct Build {
    std::string dir;
    bool win32 = false;
    std::string Describe() const;  // "build/win32/setup.exe in a 32-bit prefix"
};
const Build& UnderTest();
std::string Program(const std::string& name);  // "setup.exe" -> host path in that build
std::string TestData(const std::string& relative);  // tests/data/<relative>, empty if unreadable
// Empty when Wine, Xvfb and the named programs are there; else what is missing.
std::string Missing(const std::vector<std::string>& programs);
std::optional<std::string> IniValue(const std::string& text, const std::string& section, const std::string& key);

struct Dialog {
    std::string caption, text, owner;  // text: a message box's message, else every control's text, one a line
    std::vector<std::string> buttons;
    std::string action, shot;  // what was pressed; the BMP's Windows path or "-"
};

class Prefix {
public:
    // `version`: win95, win98, winme, nt40, win2k, winxp.
    Prefix(const std::string& name, const std::string& version);
    ~Prefix();  // kills what still runs; deletes the prefix unless kept
    Prefix(const Prefix&) = delete;
    Prefix& operator=(const Prefix&) = delete;

    void Keep() { keep_ = true; }
    const std::string& root() const { return root_; }
    std::string Log() const;

    // Windows paths on drive C:, matched without regard to case.
    std::string Host(const std::string& path) const;
    void Put(const std::string& path, const std::string& contents);
    void CopyIn(const std::string& host_file, const std::string& path);
    bool Exists(const std::string& path) const;
    std::optional<std::string> Read(const std::string& path) const;
    std::vector<std::string> Listing(const std::string& folder) const;  // sorted, folders end in '\'

    int Start(const std::string& program, const std::vector<std::string>& args, const std::string& cwd = "C:\\",
              const std::map<std::string, std::string>& env = {});
    // The exit code; nothing (and the process killed) past the deadline.
    std::optional<int> Wait(int pid, Ms timeout);
    std::optional<int> Run(const std::string& program, const std::vector<std::string>& args,
                           const std::string& cwd = "C:\\", const std::map<std::string, std::string>& env = {},
                           Ms timeout = Ms(60000));

    void Import(const std::string& regedit4_body);  // "[HKEY_...]" blocks after the REGEDIT4 line
    std::optional<std::string> Value(const std::string& key, const std::string& name);  // as reg query prints it
    bool HasKey(const std::string& key);
    std::string ShortPath(std::string path);  // as GetShortPathNameA gives it
    // Waits until everything in the prefix has ended; kills it past the deadline.
    bool Shutdown(Ms timeout = Ms(30000));

private:
    std::string root_;
    bool keep_ = false;
};

// answerer.exe in a prefix, playing the user: rules are caption pattern ->
// buttons ("OK", "Install+OK", "syscommand:16+Cancel", "-" leaves it alone).
class Answerer {
public:
    Answerer(Prefix& prefix, const std::vector<std::pair<std::string, std::string>>& rules, bool shots = false);
    ~Answerer();
    std::vector<Dialog> SoFar() const;
    std::vector<Dialog> Stop();

private:
    Prefix& prefix_;
    int pid_ = 0;
};

}  // namespace winetest
