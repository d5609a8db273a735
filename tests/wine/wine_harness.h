// Real Windows programs in throw-away Wine prefixes (copies of a template made
// once per Wine and architecture) on a private X display; the registry read
// and written through Wine's own reg.exe.
#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace winetest {

using Ms = std::chrono::milliseconds;
using Env = std::map<std::string, std::string>;
using Rules = std::vector<std::pair<std::string, std::string>>;

// build/win32 in a pure 32-bit prefix where the kernel runs 32-bit code, else
// build/win64 (WINE_TESTS_ARCH=win32|win64 decides instead).
std::string UnderTest();  // "build/win32/setup.exe in a 32-bit prefix"
std::string Program(const std::string& name);  // "setup.exe" -> host path in that build
std::string HostFile(const std::string& path);  // its contents, empty if unreadable
// Empty when Wine and the named programs are there; else what is missing.
std::string Missing(const std::vector<std::string>& programs);

struct Dialog {
    // text: a message box's message, else every control's text, one a line;
    // action: what was pressed; shot: the BMP's Windows path or "-".
    std::string caption, text, owner, action, shot;
    bool centred;  // in the work area
};

class Prefix {
public:
    // `version`: win95, win98, winme, nt40, win2k, winxp.
    Prefix(const std::string& name, const std::string& version);
    ~Prefix();  // kills what still runs; deletes the prefix unless kept

    void Keep() { keep_ = true; }
    const std::string& root() const { return root_; }
    std::string Log() const;

    // Windows paths on drive C:, matched without regard to case.
    std::string Host(const std::string& path) const;
    void Put(const std::string& path, const std::string& contents);
    std::optional<std::string> Read(const std::string& path) const;
    std::vector<std::string> Listing(const std::string& folder) const;  // sorted

    // The exit code; nothing (and the process killed) past the deadline.
    std::optional<int> Run(const std::string& program, const std::vector<std::string>& args,
                           const std::string& cwd = "C:\\", const Env& env = {}, Ms deadline = Ms(240000));
    void Import(const std::string& regedit4_body);  // "[HKEY_...]" blocks after the REGEDIT4 line
    std::optional<std::string> Value(const std::string& key, const std::string& name);  // as reg query prints it
    std::string ShortPath(std::string path);  // as GetShortPathNameA gives it
    bool Shutdown();
    // answerer.exe plays the user until Answers(): rules are caption or * ->
    // buttons ("OK", "Install+OK", "syscommand:16+Cancel"); with `shots` it
    // takes a picture of each dialog.
    void Answer(const Rules& rules, bool shots = false);
    std::vector<Dialog> Answers();  // stops it; the dialogs it saw  // waits until everything in the prefix has ended; kills it past a deadline

private:
    int Start(const std::string& program, const std::vector<std::string>& args, const std::string& cwd, const Env& env);
    std::string root_;
    bool keep_ = false;
    int answerer_ = 0;
};

}  // namespace winetest
