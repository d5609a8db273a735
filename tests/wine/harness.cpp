#include "harness.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace winetest {
namespace fs = std::filesystem;
namespace {

// Changes to how the template is made must not reuse an older cached one.
constexpr const char* kTemplateRevision = "r1";
constexpr const char* kCompleteMarker = ".harness-complete";

std::string Win64Dir() { return WINE_TESTS_WIN64_DIR; }
std::string WorkDir() { return WINE_TESTS_WORK_DIR; }

std::string WineLoader() { return FindProgram({"/usr/lib/wine/wine64", "wine64", "wine"}); }
std::string WineServer() {
    return FindProgram({"/usr/lib/wine/wineserver64", "/usr/lib/wine/wineserver", "wineserver"});
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), Lower);
    return text;
}

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

std::optional<std::string> ReadHostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

void WriteHostFile(const std::string& path, const std::string& contents) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
    if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

void Require(bool condition, const std::string& message) {
    if (!condition) throw std::runtime_error(message);
}

std::map<std::string, std::string> WineEnvironment(const std::string& prefix,
                                                   const std::string& display) {
    return {{"WINEPREFIX", prefix},
            {"WINEDEBUG", "-all"},
            {"DISPLAY", display},
            // No offers to download Mono or Gecko: nobody would answer them.
            {"WINEDLLOVERRIDES", "mscoree,mshtml="},
            {"LC_ALL", "C.UTF-8"}};
}

// Waits for the prefix's programs to end; past the deadline kills them.
bool StopWineServer(const std::string& prefix, Milliseconds timeout) {
    ProcessOptions wait;
    wait.argv = {WineServer(), "-w"};
    wait.environment = {{"WINEPREFIX", prefix}};
    if (!RunProcess(wait, timeout).timed_out) return true;
    ProcessOptions kill = wait;
    kill.argv = {WineServer(), "-k"};
    RunProcess(kill, Milliseconds(10000));
    return false;
}

std::string TemplateKey() {
    // One file per test process: tests may run side by side.
    fs::path version_file = fs::path(WorkDir()) / ("wine-version-" + std::to_string(getpid()) + ".txt");
    fs::create_directories(WorkDir());
    fs::remove(version_file);
    ProcessOptions options;
    options.argv = {WineLoader(), "--version"};
    options.output_file = version_file;
    RunResult result = RunProcess(options, Milliseconds(30000));
    std::string version = Trim(ReadHostFile(version_file).value_or(""));
    fs::remove(version_file);
    Require(!result.timed_out && result.exit_code == 0 && !version.empty(),
            "cannot tell the Wine version (" + WineLoader() + " --version)");
    std::string key;
    for (char c : version) key += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return key + "-" + kTemplateRevision;
}

void MakeTemplate(const fs::path& target) {
    fs::path building = target.string() + ".building";
    fs::remove_all(building);
    ProcessOptions boot;
    boot.argv = {WineLoader(), "wineboot", "-i"};
    // No display: whatever Wine would ask while it sets up returns at once.
    boot.environment = WineEnvironment(building, "");
    boot.output_file = target.string() + ".log";
    RunResult result = RunProcess(boot, Milliseconds(240000));
    Require(!result.timed_out && result.exit_code == 0,
            "wineboot failed to make the template prefix; see " + boot.output_file);
    Require(StopWineServer(building, Milliseconds(60000)),
            "the template prefix's wineserver did not end");

    // A crashing program must end, not wait for someone to close a crash dialog.
    fs::path user_reg = building / "user.reg";
    WineRegistryFile hive(ReadHostFile(user_reg).value_or(""));
    hive.SetDword("Software\\Wine\\WineDbg", "ShowCrashDialog", 0);
    WriteHostFile(user_reg, hive.Text());
    WriteHostFile(building / kCompleteMarker, "");
    fs::rename(building, target);
}

// Made once per Wine version and reused by later runs; a lock keeps tests
// that run in parallel from making it twice.
std::string TemplatePrefix() {
    static std::string cached;
    if (!cached.empty()) return cached;
    fs::path target = fs::path(WorkDir()) / ("template-" + TemplateKey());
    std::string lock_path = target.string() + ".lock";
    int lock = open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    Require(lock >= 0, "cannot open " + lock_path);
    flock(lock, LOCK_EX);
    try {
        if (!fs::exists(target / kCompleteMarker)) {
            fs::remove_all(target);
            MakeTemplate(target);
        }
    } catch (...) {
        close(lock);
        throw;
    }
    close(lock);
    cached = target.string();
    return cached;
}

const std::set<std::string>& WindowsVersions() {
    static const std::set<std::string> versions = {"win95", "win98", "winme",
                                                   "nt40",  "win2k", "winxp"};
    return versions;
}

// Drive C:, then names of at most eight characters, a dot and three.
bool IsShortForm(const std::string& path) {
    if (path.size() < 3 || Lower(path[0]) != 'c' || path.compare(1, 2, ":\\") != 0) return false;
    for (const std::string& part : Split(path.substr(3), '\\')) {
        const size_t dot = part.find('.');
        const size_t extension = dot == std::string::npos ? 0 : part.size() - dot - 1;
        if (part.empty() || part.find(' ') != std::string::npos || std::min(dot, part.size()) > 8 ||
            extension > 3) {
            return false;
        }
    }
    return true;
}

std::string Unescape(const std::string& field) {
    std::string result;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            result += field[i];
            continue;
        }
        char c = field[++i];
        result += c == 't' ? '\t' : c == 'r' ? '\r' : c == 'n' ? '\n' : c;
    }
    return result;
}

}  // namespace

std::string SetupExe() { return Win64Dir() + "/setup.exe"; }
std::string RecorderExe() { return Win64Dir() + "/recorder.exe"; }
std::string AnswererExe() { return Win64Dir() + "/answerer.exe"; }

std::string TestData(const std::string& relative) {
    return ReadHostFile(std::string(WINE_TESTS_SOURCE_DIR) + "/tests/data/" + relative).value_or("");
}

std::string MissingPrerequisites(const std::vector<std::string>& programs) {
    std::string missing;
    for (const std::string& program : programs) {
        if (!fs::exists(program)) {
            missing += program + " is missing: build the win64 preset first "
                       "(cmake --preset win64 && cmake --build build/win64 -j2).\n";
        }
    }
    if (WineLoader().empty() || WineServer().empty()) {
        missing += "Wine is missing: install the Debian packages wine and wine64.\n";
    }
    if (FindProgram({"Xvfb"}).empty()) missing += "Xvfb is missing: install the Debian package xvfb.\n";
    return missing;
}

std::optional<std::string> IniValue(const std::string& text, const std::string& section,
                                    const std::string& key) {
    bool in_section = false;
    for (const std::string& raw : Split(text, '\n')) {
        std::string line = Trim(raw);
        if (!line.empty() && line.front() == '[' && line.back() == ']') {
            in_section = LowerCase(Trim(line.substr(1, line.size() - 2))) == LowerCase(section);
            continue;
        }
        size_t equals = line.find('=');
        if (in_section && equals != std::string::npos &&
            LowerCase(Trim(line.substr(0, equals))) == LowerCase(key)) {
            return Trim(line.substr(equals + 1));
        }
    }
    return std::nullopt;
}

WinePrefix::WinePrefix(const std::string& name, const std::string& windows_version) {
    Require(WindowsVersions().count(windows_version) == 1,
            "unknown Windows version for Wine: " + windows_version);
    std::string folder_name;
    for (char c : name) folder_name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    fs::path folder = fs::path(WorkDir()) / "prefixes" / folder_name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    root_ = (folder / "prefix").string();

    ProcessOptions copy;
    copy.argv = {"cp", "-a", "--reflink=auto", TemplatePrefix(), root_};
    RunResult copied = RunProcess(copy, Milliseconds(120000));
    Require(!copied.timed_out && copied.exit_code == 0, "cannot copy the template prefix to " + root_);
    fs::remove(fs::path(root_) / kCompleteMarker);

    SetRegistryString("HKCU\\Software\\Wine", "Version", windows_version);
}

WinePrefix::~WinePrefix() {
    if (may_run_) {
        ProcessOptions kill;
        kill.argv = {WineServer(), "-k"};
        kill.environment = {{"WINEPREFIX", root_}};
        RunProcess(kill, Milliseconds(10000));
    }
    if (!keep_) {
        std::error_code ignored;
        fs::remove_all(fs::path(root_).parent_path(), ignored);
    }
}

std::string WinePrefix::OutputLog() const {
    return (fs::path(root_).parent_path() / "wine-output.log").string();
}

std::string WinePrefix::HostPath(const std::string& windows_path) const {
    Require(windows_path.size() >= 2 && Lower(windows_path[0]) == 'c' && windows_path[1] == ':',
            "not a path on drive C: " + windows_path);
    fs::path path = fs::path(root_) / "drive_c";
    for (const std::string& part : Split(windows_path.substr(2), '\\')) {
        if (part.empty()) continue;
        fs::path exact = path / part;
        std::error_code error;
        if (!fs::exists(exact, error) && fs::is_directory(path, error)) {
            for (const fs::directory_entry& entry : fs::directory_iterator(path, error)) {
                if (LowerCase(entry.path().filename().string()) == LowerCase(part)) {
                    exact = entry.path();
                    break;
                }
            }
        }
        path = exact;
    }
    return path.string();
}

void WinePrefix::PutFile(const std::string& windows_path, const std::string& contents) {
    WriteHostFile(HostPath(windows_path), contents);
}

void WinePrefix::CopyIn(const std::string& host_file, const std::string& windows_path) {
    std::optional<std::string> contents = ReadHostFile(host_file);
    Require(contents.has_value(), "cannot read " + host_file);
    PutFile(windows_path, *contents);
}

bool WinePrefix::Exists(const std::string& windows_path) const {
    return fs::exists(HostPath(windows_path));
}

std::vector<std::string> WinePrefix::Listing(const std::string& windows_folder) const {
    std::vector<std::string> names;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(HostPath(windows_folder), error)) {
        names.push_back(entry.path().filename().string() + (entry.is_directory(error) ? "\\" : ""));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::string> WinePrefix::ReadFile(const std::string& windows_path) const {
    return ReadHostFile(HostPath(windows_path));
}

ProcessOptions WinePrefix::WineCommand(const std::string& program,
                                       const std::vector<std::string>& arguments,
                                       const WineRunOptions& options) {
    ProcessOptions command;
    command.argv = {WineLoader(), program};
    command.argv.insert(command.argv.end(), arguments.begin(), arguments.end());
    // Wine turns the host's current folder into the program's.
    command.working_dir = HostPath(options.current_dir);
    Require(fs::is_directory(command.working_dir), "no folder " + options.current_dir);
    command.environment = WineEnvironment(root_, TestDisplay());
    for (const auto& [name, value] : options.environment) command.environment[name] = value;
    command.output_file = OutputLog();
    may_run_ = true;
    return command;
}

RunResult WinePrefix::Run(const std::string& program, const std::vector<std::string>& arguments,
                          const WineRunOptions& options) {
    return RunProcess(WineCommand(program, arguments, options), options.timeout);
}

Process WinePrefix::Start(const std::string& program, const std::vector<std::string>& arguments,
                          const WineRunOptions& options) {
    return Process(WineCommand(program, arguments, options));
}

std::string WinePrefix::ShortPathName(const std::string& windows_path) {
    // cmd would give a missing path back as it is.
    Require(Exists(windows_path), "no such path for a short name: " + windows_path);
    const std::string script = "C:\\harness-shortpath.bat";
    const std::string result = "C:\\harness-shortpath.txt";
    PutFile(script, "@for %%I in (\"" + windows_path + "\") do @echo %%~sI> " + result + "\r\n");
    fs::remove(HostPath(result));
    const RunResult run = Run("cmd", {"/c", script});
    Require(Shutdown(), "Wine did not end after cmd");
    Require(!run.timed_out && run.exit_code == 0, "cmd failed to give the short name of " + windows_path);
    std::string text = ReadHostFile(HostPath(result)).value_or("");
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
    Require(IsShortForm(text), "cmd gave no short name for " + windows_path + ": " + text);
    return text;
}

bool WinePrefix::Shutdown(Milliseconds timeout) {
    bool ended = StopWineServer(root_, timeout);
    may_run_ = false;
    return ended;
}

void WinePrefix::RequireAtRest() const {
    if (may_run_) {
        throw std::logic_error("the registry of " + root_ +
                               " is only read and written while Wine is not running there");
    }
}

// The hive file that holds `key`, and the key's path inside it.
std::pair<std::string, std::string> WinePrefix::HiveFile(const std::string& key) const {
    static const std::pair<const char*, const char*> kRoots[] = {
        {"hkey_current_user\\", "user.reg"},    {"hkcu\\", "user.reg"},
        {"hkey_local_machine\\", "system.reg"}, {"hklm\\", "system.reg"},
        {"hkey_users\\.default\\", "userdef.reg"}, {"hku\\.default\\", "userdef.reg"},
    };
    std::string lower = LowerCase(key);
    for (const auto& [root, file] : kRoots) {
        std::string prefix = root;
        if (lower.compare(0, prefix.size(), prefix) == 0) {
            return {(fs::path(root_) / file).string(), key.substr(prefix.size())};
        }
    }
    throw std::runtime_error("no hive file for the registry key " + key);
}

WineRegistryFile WinePrefix::LoadHive(const std::string& file) const {
    RequireAtRest();
    std::optional<std::string> text = ReadHostFile(file);
    Require(text.has_value(), "cannot read " + file);
    return WineRegistryFile(*text);
}

void WinePrefix::SetRegistryString(const std::string& key, const std::string& name,
                                   const std::string& value) {
    auto [file, path] = HiveFile(key);
    WineRegistryFile hive = LoadHive(file);
    hive.SetString(path, name, value);
    WriteHostFile(file, hive.Text());
}

void WinePrefix::SetRegistryDword(const std::string& key, const std::string& name, uint32_t value) {
    auto [file, path] = HiveFile(key);
    WineRegistryFile hive = LoadHive(file);
    hive.SetDword(path, name, value);
    WriteHostFile(file, hive.Text());
}

void WinePrefix::CreateRegistryKey(const std::string& key) {
    auto [file, path] = HiveFile(key);
    WineRegistryFile hive = LoadHive(file);
    hive.CreateKey(path);
    WriteHostFile(file, hive.Text());
}

std::optional<RegistryValue> WinePrefix::RegistryValueOf(const std::string& key,
                                                         const std::string& name) const {
    auto [file, path] = HiveFile(key);
    return LoadHive(file).Value(path, name);
}

std::string WinePrefix::RegistryText(const std::string& key, const std::string& name) const {
    std::optional<RegistryValue> value = RegistryValueOf(key, name);
    return value ? value->Text() : "(missing)";
}

bool WinePrefix::HasRegistryKey(const std::string& key) const {
    auto [file, path] = HiveFile(key);
    return LoadHive(file).HasKey(path);
}

namespace {

constexpr const char* kAnswererFolder = "C:\\answerer";
const std::string kAnswererLog = std::string(kAnswererFolder) + "\\answers.log";
const std::string kAnswererStop = std::string(kAnswererFolder) + "\\stop";
const std::string kAnswererShots = std::string(kAnswererFolder) + "\\shots";

}  // namespace

Answerer::Answerer(WinePrefix& prefix, const std::vector<AnswerRule>& rules, bool screenshots,
                   Milliseconds lifetime)
    : prefix_(prefix) {
    std::string program = std::string(kAnswererFolder) + "\\answerer.exe";
    prefix_.CopyIn(AnswererExe(), program);
    // A previous watch's stop file would end this one at once, and its log
    // would pass for this one's start.
    fs::remove(prefix_.HostPath(kAnswererStop));
    fs::remove(prefix_.HostPath(kAnswererLog));
    std::vector<std::string> arguments = {"--log", kAnswererLog, "--stop-file", kAnswererStop,
                                          "--timeout-ms", std::to_string(lifetime.count())};
    for (const AnswerRule& rule : rules) {
        arguments.push_back("--answer");
        arguments.push_back(rule.caption + "=" + rule.buttons);
    }
    if (screenshots) {
        fs::create_directories(prefix_.HostPath(kAnswererShots));
        arguments.push_back("--shot");
        arguments.push_back(kAnswererShots);
    }
    process_.emplace(prefix_.Start(program, arguments));

    // The log appears once the watch is on.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!prefix_.Exists(kAnswererLog)) {
        if (std::optional<int> code = process_->Wait(Milliseconds(0))) {
            throw std::runtime_error("answerer.exe ended at start with exit code " +
                                     std::to_string(*code) + "; see " + prefix_.OutputLog());
        }
        if (std::chrono::steady_clock::now() > deadline) {
            throw std::runtime_error("answerer.exe did not start; see " + prefix_.OutputLog());
        }
        std::this_thread::sleep_for(Milliseconds(20));
    }
}

Answerer::~Answerer() {
    if (process_) process_->Kill();
}

std::vector<DialogRecord> Answerer::SeenSoFar() const {
    std::string log = prefix_.ReadFile(kAnswererLog).value_or("");
    // A line still being written is left for the next look.
    size_t end = log.rfind("\r\n");
    return ParseAnswererLog(end == std::string::npos ? "" : log.substr(0, end + 2));
}

std::vector<DialogRecord> Answerer::Stop() {
    if (process_ && !process_->Finished()) {
        prefix_.PutFile(kAnswererStop, "");
        if (!process_->Wait(Milliseconds(10000))) process_->Kill();
    }
    return ParseAnswererLog(prefix_.ReadFile(kAnswererLog).value_or(""));
}

std::vector<DialogRecord> ParseAnswererLog(const std::string& log) {
    std::vector<DialogRecord> records;
    for (std::string line : Split(log, '\n')) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        std::vector<std::string> fields = Split(line, '\t');
        Require(fields.size() == 6, "malformed answerer log line: " + line);
        for (std::string& field : fields) field = Unescape(field);
        DialogRecord record{fields[0], fields[1], fields[2], {}, fields[4], fields[5]};
        if (!fields[3].empty()) record.buttons = Split(fields[3], '|');
        records.push_back(record);
    }
    return records;
}

std::vector<RecordedStart> RecorderStarts(const std::string& log) {
    std::vector<RecordedStart> starts;
    for (std::string line : Split(log, '\n')) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        const size_t tab = line.find('\t');
        starts.push_back({line.substr(0, tab), tab == std::string::npos ? "" : line.substr(tab + 1)});
    }
    return starts;
}

}  // namespace winetest
