#include "wine_harness.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace winetest {
namespace fs = std::filesystem;
namespace {

using Env = std::map<std::string, std::string>;
const std::string kAnswerLog = "C:\\answerer\\answers.log";
const std::string kAnswerStop = "C:\\answerer\\stop";

void Require(bool condition, const std::string& message) {
    if (!condition) throw std::runtime_error(message);
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
    return parts;
}

std::optional<std::string> ReadHost(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteHost(const std::string& path, const std::string& contents) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << contents;
}

std::string WorkDir() { return WINE_TESTS_WORK_DIR; }
std::string Loader() { return UnderTest().win32 ? "/usr/lib/wine/wine" : "/usr/lib/wine/wine64"; }
std::string Server() { return UnderTest().win32 ? "/usr/lib/wine/wineserver32" : "/usr/lib/wine/wineserver64"; }

// A child in its own process group that dies with the test process.
int Spawn(const std::vector<std::string>& argv, const std::string& cwd, const Env& env, const std::string& out) {
    const pid_t parent = getpid();
    const pid_t pid = fork();
    Require(pid >= 0, "fork failed");
    if (pid > 0) return pid;
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    const int fd = open(out.empty() ? "/dev/null" : out.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    dup2(fd, 1);
    dup2(fd, 2);
    if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(127);
    for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

std::optional<int> WaitFor(int pid, Ms timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (std::chrono::steady_clock::now() > deadline) {
            kill(-pid, SIGKILL);
            waitpid(pid, &status, 0);
            return std::nullopt;
        }
        std::this_thread::sleep_for(Ms(20));
    }
}

std::optional<int> RunHost(const std::vector<std::string>& argv, const Env& env, Ms timeout,
                           const std::string& out = "") {
    return WaitFor(Spawn(argv, "", env, out), timeout);
}

// One Xvfb for the test process, on a display number no other one holds.
const std::string& Display() {
    static const std::string display = [] {
        for (int number = 100 + getpid() % 500;; ++number) {
            const std::string name = ":" + std::to_string(number);
            if (fs::exists("/tmp/.X" + std::to_string(number) + "-lock")) continue;
            const int pid = Spawn({"Xvfb", name, "-screen", "0", "1024x768x24", "-nolisten", "tcp"}, "", {}, "");
            for (int look = 0; look < 500; ++look) {
                if (fs::exists("/tmp/.X11-unix/X" + std::to_string(number))) return name;
                if (waitpid(pid, nullptr, WNOHANG) == pid) break;
                std::this_thread::sleep_for(Ms(20));
            }
            Require(number < 100 + getpid() % 500 + 50, "Xvfb did not start");
        }
    }();
    return display;
}

Env WineEnv(const std::string& prefix, const std::string& display) {
    Env env = {{"WINEPREFIX", prefix}, {"WINEDEBUG", "-all"}, {"DISPLAY", display},
               {"WINEDLLOVERRIDES", "mscoree,mshtml="}, {"LC_ALL", "C.UTF-8"}, {"WINESERVER", Server()}};
    if (UnderTest().win32) env["WINEARCH"] = "win32";
    return env;
}

bool StopServer(const std::string& prefix, Ms timeout) {
    const Env env = {{"WINEPREFIX", prefix}};
    if (RunHost({Server(), "-w"}, env, timeout)) return true;
    RunHost({Server(), "-k"}, env, Ms(10000));
    return false;
}

// Made once per Wine version and architecture; a lock keeps parallel tests
// from making it twice.
std::string Template() {
    static std::string made;
    if (!made.empty()) return made;
    fs::create_directories(WorkDir());
    const std::string version_file = WorkDir() + "/wine-version-" + std::to_string(getpid());
    RunHost({Loader(), "--version"}, {}, Ms(30000), version_file);
    std::string key = Trim(ReadHost(version_file).value_or(""));
    fs::remove(version_file);
    Require(!key.empty(), "cannot tell the Wine version of " + Loader());
    for (char& c : key) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    const fs::path target = WorkDir() + "/template-" + key + (UnderTest().win32 ? "-win32" : "-win64");
    const int lock = open((target.string() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    flock(lock, LOCK_EX);
    if (!fs::exists(target / ".complete")) {
        const std::string building = target.string() + ".building";
        fs::remove_all(building);
        // No display: whatever Wine would ask while it sets up returns at once.
        const Env env = WineEnv(building, "");
        const std::string log = target.string() + ".log";
        const bool booted = RunHost({Loader(), "wineboot", "-i"}, env, Ms(240000), log) == 0 &&
                            RunHost({Loader(), "reg", "add", "HKCU\\Software\\Wine\\WineDbg", "/v", "ShowCrashDialog",
                                     "/t", "REG_DWORD", "/d", "0", "/f"}, env, Ms(60000), log) == 0;
        const bool ended = StopServer(building, Ms(60000));
        if (!booted || !ended) close(lock);
        Require(booted && ended, "wineboot could not make the template prefix; see " + log);
        WriteHost(building + "/.complete", "");
        fs::rename(building, target);
    }
    close(lock);
    return made = target.string();
}

std::string Unescape(const std::string& field) {
    std::string result;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            result += field[i];
            continue;
        }
        const char c = field[++i];
        result += c == 't' ? '\t' : c == 'r' ? '\r' : c == 'n' ? '\n' : c;
    }
    return result;
}

std::vector<Dialog> ParseAnswers(const std::string& log) {
    std::vector<Dialog> dialogs;
    for (std::string line : Split(log, '\n')) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> f = Split(line, '\t');
        if (line.empty()) continue;
        Require(f.size() == 6, "malformed answerer line: " + line);
        for (std::string& field : f) field = Unescape(field);
        dialogs.push_back({f[0], f[1], f[2], f[3].empty() ? std::vector<std::string>{} : Split(f[3], '|'), f[4], f[5]});
    }
    return dialogs;
}

}  // namespace

std::string Build::Describe() const {
    return dir.substr(std::string(WINE_TESTS_SOURCE_DIR).size() + 1) + "/setup.exe in a " + (win32 ? "32" : "64") +
           "-bit prefix";
}

const Build& UnderTest() {
    static const Build build = [] {
        const char* forced = std::getenv("WINE_TESTS_ARCH");
        bool win32 = forced ? std::string(forced) == "win32" : false;
        // The 32-bit loader starts only where the kernel runs 32-bit code.
        if (!forced && access("/usr/lib/wine/wine", X_OK) == 0) {
            win32 = RunHost({"/usr/lib/wine/wine", "--version"}, {}, Ms(30000)) == 0;
        }
        return Build{std::string(WINE_TESTS_SOURCE_DIR) + (win32 ? "/build/win32" : "/build/win64"), win32};
    }();
    return build;
}

std::string Program(const std::string& name) { return UnderTest().dir + "/" + name; }

std::string TestData(const std::string& relative) {
    return ReadHost(std::string(WINE_TESTS_SOURCE_DIR) + "/tests/data/" + relative).value_or("");
}

std::string Missing(const std::vector<std::string>& programs) {
    std::string missing;
    for (const std::string& name : programs) {
        if (!fs::exists(Program(name))) missing += Program(name) + " is missing: build its preset first.\n";
    }
    if (access(Loader().c_str(), X_OK) != 0) missing += Loader() + " is missing: run scripts/install-deps.\n";
    if (system("command -v Xvfb > /dev/null") != 0) missing += "Xvfb is missing: run scripts/install-deps.\n";
    return missing;
}

std::optional<std::string> IniValue(const std::string& text, const std::string& section, const std::string& key) {
    bool inside = false;
    for (const std::string& raw : Split(text, '\n')) {
        const std::string line = Trim(raw);
        if (!line.empty() && line.front() == '[' && line.back() == ']') {
            inside = Lower(Trim(line.substr(1, line.size() - 2))) == Lower(section);
        } else if (inside && line.find('=') != std::string::npos &&
                   Lower(Trim(line.substr(0, line.find('=')))) == Lower(key)) {
            return Trim(line.substr(line.find('=') + 1));
        }
    }
    return std::nullopt;
}

Prefix::Prefix(const std::string& name, const std::string& version) {
    const fs::path folder = WorkDir() + "/prefixes/" + name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    root_ = (folder / "prefix").string();
    Require(RunHost({"cp", "-a", "--reflink=auto", Template(), root_}, {}, Ms(120000)) == 0,
            "cannot copy the template prefix to " + root_);
    Import("[HKEY_CURRENT_USER\\Software\\Wine]\r\n\"Version\"=\"" + version + "\"\r\n");
}

Prefix::~Prefix() {
    RunHost({Server(), "-k"}, {{"WINEPREFIX", root_}}, Ms(10000));
    std::error_code ignored;
    if (!keep_) fs::remove_all(fs::path(root_).parent_path(), ignored);
}

std::string Prefix::Log() const { return (fs::path(root_).parent_path() / "wine-output.log").string(); }

std::string Prefix::Host(const std::string& path) const {
    Require(path.size() >= 2 && Lower(path.substr(0, 2)) == "c:", "not a path on drive C: " + path);
    fs::path host = fs::path(root_) / "drive_c";
    for (const std::string& part : Split(path.substr(2), '\\')) {
        if (part.empty()) continue;
        fs::path exact = host / part;
        std::error_code error;
        if (!fs::exists(exact, error) && fs::is_directory(host, error)) {
            for (const fs::directory_entry& entry : fs::directory_iterator(host, error)) {
                if (Lower(entry.path().filename().string()) == Lower(part)) exact = entry.path();
            }
        }
        host = exact;
    }
    return host.string();
}

void Prefix::Put(const std::string& path, const std::string& contents) { WriteHost(Host(path), contents); }

void Prefix::CopyIn(const std::string& host_file, const std::string& path) {
    const std::optional<std::string> contents = ReadHost(host_file);
    Require(contents.has_value(), "cannot read " + host_file);
    Put(path, *contents);
}

bool Prefix::Exists(const std::string& path) const { return fs::exists(Host(path)); }
std::optional<std::string> Prefix::Read(const std::string& path) const { return ReadHost(Host(path)); }

std::vector<std::string> Prefix::Listing(const std::string& folder) const {
    std::vector<std::string> names;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(Host(folder), error)) {
        names.push_back(entry.path().filename().string() + (entry.is_directory() ? "\\" : ""));
    }
    std::sort(names.begin(), names.end());
    return names;
}

int Prefix::Start(const std::string& program, const std::vector<std::string>& args, const std::string& cwd,
                  const Env& env) {
    std::vector<std::string> argv = {Loader(), program};
    argv.insert(argv.end(), args.begin(), args.end());
    Env all = WineEnv(root_, Display());
    for (const auto& [name, value] : env) all[name] = value;
    // Wine turns the host's current folder into the program's.
    return Spawn(argv, Host(cwd), all, Log());
}

std::optional<int> Prefix::Wait(int pid, Ms timeout) { return WaitFor(pid, timeout); }

std::optional<int> Prefix::Run(const std::string& program, const std::vector<std::string>& args,
                               const std::string& cwd, const Env& env, Ms timeout) {
    return WaitFor(Start(program, args, cwd, env), timeout);
}

void Prefix::Import(const std::string& body) {
    Put("C:\\harness\\import.reg", "REGEDIT4\r\n\r\n" + body);
    Require(Run("reg", {"import", "C:\\harness\\import.reg"}) == 0, "reg import failed; see " + Log());
}

std::optional<std::string> Prefix::Value(const std::string& key, const std::string& name) {
    const std::string out = root_ + "/../reg-query.txt";
    fs::remove(out);
    std::vector<std::string> argv = {Loader(), "reg", "query", key, "/v", name};
    Env env = WineEnv(root_, Display());
    if (RunHost(argv, env, Ms(60000), out) != 0) return std::nullopt;
    // "    NAME    REG_SZ    value": the value follows the type.
    for (const std::string& line : Split(ReadHost(out).value_or(""), '\n')) {
        const size_t type = line.find("    REG_");
        if (type == std::string::npos || Lower(Trim(line.substr(0, type))) != Lower(name)) continue;
        const size_t value = line.find("    ", type + 4);
        return value == std::string::npos ? "" : Trim(line.substr(value + 4));
    }
    return std::nullopt;
}

bool Prefix::HasKey(const std::string& key) { return Run("reg", {"query", key}) == 0; }

std::string Prefix::ShortPath(std::string path) {
    if (path.back() == '\\') path.pop_back();
    Put("C:\\harness\\short.bat", "@for %%I in (\"" + path + "\") do @echo %%~sI> C:\\harness\\short.txt\r\n");
    Require(Run("cmd", {"/c", "C:\\harness\\short.bat"}) == 0, "cmd failed on " + path);
    return Trim(Read("C:\\harness\\short.txt").value_or(""));
}

bool Prefix::Shutdown(Ms timeout) { return StopServer(root_, timeout); }

Answerer::Answerer(Prefix& prefix, const std::vector<std::pair<std::string, std::string>>& rules, bool shots)
    : prefix_(prefix) {
    prefix_.CopyIn(Program("answerer.exe"), "C:\\answerer\\answerer.exe");
    fs::remove(prefix_.Host(kAnswerStop));
    fs::remove(prefix_.Host(kAnswerLog));
    std::vector<std::string> args = {"--log", kAnswerLog, "--stop-file", kAnswerStop};
    for (const auto& [caption, buttons] : rules) args.insert(args.end(), {"--answer", caption + "=" + buttons});
    if (shots) {
        fs::create_directories(prefix_.Host("C:\\answerer\\shots"));
        args.insert(args.end(), {"--shot", "C:\\answerer\\shots"});
    }
    pid_ = prefix_.Start("C:\\answerer\\answerer.exe", args);
    // The log appears once the watch is on.
    for (int look = 0; !prefix_.Exists(kAnswerLog); ++look) {
        Require(look < 3000, "answerer.exe did not start; see " + prefix_.Log());
        std::this_thread::sleep_for(Ms(20));
    }
}

Answerer::~Answerer() {
    if (pid_) WaitFor(pid_, Ms(0));
}

std::vector<Dialog> Answerer::SoFar() const {
    const std::string log = prefix_.Read(kAnswerLog).value_or("");
    // A line still being written waits for the next look.
    return ParseAnswers(log.substr(0, log.rfind("\r\n") == std::string::npos ? 0 : log.rfind("\r\n") + 2));
}

std::vector<Dialog> Answerer::Stop() {
    if (pid_) {
        prefix_.Put(kAnswerStop, "");
        WaitFor(pid_, Ms(10000));
        pid_ = 0;
    }
    return ParseAnswers(prefix_.Read(kAnswerLog).value_or(""));
}

}  // namespace winetest
