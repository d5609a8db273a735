// The end-to-end test harness: real Windows programs in a throw-away Wine
// prefix on a private X display.
//
// A prefix is made once (cached in the build folder, per Wine version) and
// copied for every test. Registry values are prepared while the prefix is at
// rest and read after everything in it has ended (WinePrefix::Shutdown).
#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host_process.h"
#include "wine_registry.h"

namespace winetest {

// The Windows programs under test, as the win64 preset builds them.
std::string SetupExe();
std::string RecorderExe();
std::string AnswererExe();

// A file of the source tree's tests/data/ ("inf/vxd/OVAUDIO.INF"); empty
// when it cannot be read.
std::string TestData(const std::string& relative);

// Empty when Wine, Xvfb and the given programs are all there; otherwise what
// is missing and what to do about it.
std::string MissingPrerequisites(const std::vector<std::string>& programs);

// The [section] key=value of INI text, both names compared without regard to
// case, blanks around the value dropped.
std::optional<std::string> IniValue(const std::string& text, const std::string& section,
                                    const std::string& key);

struct WineRunOptions {
    std::string current_dir = "C:\\";              // a Windows path
    std::map<std::string, std::string> environment; // e.g. RECORDER_EXIT
    Milliseconds timeout{60000};
};

class WinePrefix {
public:
    // A fresh prefix for one test that reports `windows_version` (win95,
    // win98, winme, nt40, win2k, winxp) to the programs. `name` names its
    // folder; a previous one of that name is replaced.
    WinePrefix(const std::string& name, const std::string& windows_version);
    ~WinePrefix();  // ends everything still running; deletes the prefix unless kept
    WinePrefix(const WinePrefix&) = delete;
    WinePrefix& operator=(const WinePrefix&) = delete;

    void KeepForInspection() { keep_ = true; }
    const std::string& root() const { return root_; }
    std::string OutputLog() const;  // what the Wine processes printed

    // The host path of a Windows path on drive C: ("C:\MEDIUM\setup.ini").
    // Existing components are matched without regard to case, as Windows does.
    std::string HostPath(const std::string& windows_path) const;
    void PutFile(const std::string& windows_path, const std::string& contents);
    void CopyIn(const std::string& host_file, const std::string& windows_path);
    bool Exists(const std::string& windows_path) const;
    // The names in a folder, sorted, sub-folders with a trailing backslash;
    // empty when there is no such folder.
    std::vector<std::string> Listing(const std::string& windows_folder) const;
    std::optional<std::string> ReadFile(const std::string& windows_path) const;

    // Runs a Windows program to its end (killed at the deadline).
    RunResult Run(const std::string& program, const std::vector<std::string>& arguments,
                  const WineRunOptions& options = {});
    Process Start(const std::string& program, const std::vector<std::string>& arguments,
                  const WineRunOptions& options = {});

    // What GetShortPathNameA gives for an existing path on drive C:, asked
    // through cmd: Wine makes up hashed short names. Runs Wine, so a
    // WININIT.INI written before is carried out; leaves the prefix at rest.
    std::string ShortPathName(const std::string& windows_path);

    // Waits until every program in the prefix has ended and Wine has saved
    // the registry; past the deadline it kills them all and returns false.
    bool Shutdown(Milliseconds timeout = Milliseconds(30000));

    // Registry access by full key name ("HKCU\Software\Wine",
    // "HKEY_LOCAL_MACHINE\...", "HKU\.Default\..."); only while the prefix
    // is at rest (before the first program, after Shutdown).
    void SetRegistryString(const std::string& key, const std::string& name, const std::string& value);
    void SetRegistryDword(const std::string& key, const std::string& name, uint32_t value);
    void CreateRegistryKey(const std::string& key);
    std::optional<RegistryValue> RegistryValueOf(const std::string& key, const std::string& name) const;
    // The value as text (RegistryValue::Text), or "(missing)".
    std::string RegistryText(const std::string& key, const std::string& name) const;
    bool HasRegistryKey(const std::string& key) const;

private:
    ProcessOptions WineCommand(const std::string& program, const std::vector<std::string>& arguments,
                               const WineRunOptions& options);
    std::pair<std::string, std::string> HiveFile(const std::string& key) const;
    WineRegistryFile LoadHive(const std::string& file) const;
    void RequireAtRest() const;

    std::string root_;
    bool keep_ = false;
    bool may_run_ = false;
};

struct AnswerRule {
    std::string caption;  // pattern with * and ?
    std::string buttons;  // label or id; several joined by +; "-" leaves the window alone
};

struct DialogRecord {
    std::string caption;
    std::string text;   // a message box's message; else the texts of all controls, one a line
    std::string owner;  // the owner window's caption, or "(none)"
    std::vector<std::string> buttons;
    std::string action;      // what was pressed, "-", "(no rule)" or "missing:<button>"
    std::string screenshot;  // Windows path of the BMP, or "-"
};

// answerer.exe running in a prefix, playing the user for the dialogs of the
// other programs there. Start it before the program under test. It gives up
// by itself after `lifetime`, a safety net for runs that outlive the test.
// One watch at a time; a new one after Stop() starts with an empty log.
class Answerer {
public:
    Answerer(WinePrefix& prefix, const std::vector<AnswerRule>& rules, bool screenshots = false,
             Milliseconds lifetime = Milliseconds(300000));
    ~Answerer();
    Answerer(const Answerer&) = delete;
    Answerer& operator=(const Answerer&) = delete;

    // One record per dialog seen so far, in order, while the watch goes on.
    std::vector<DialogRecord> SeenSoFar() const;

    // Ends the watch and returns one record per dialog seen, in order.
    std::vector<DialogRecord> Stop();

private:
    WinePrefix& prefix_;
    std::optional<Process> process_;
};

std::vector<DialogRecord> ParseAnswererLog(const std::string& log);

// One line of recorder.exe's log: how a copy of it was started. Lines other
// programs add to the same log have no tab and give an empty current_dir.
struct RecordedStart {
    std::string command_line;
    std::string current_dir;
};

std::vector<RecordedStart> RecorderStarts(const std::string& log);

}  // namespace winetest
