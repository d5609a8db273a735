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
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace winetest {
namespace fs = std::filesystem;
namespace {

const std::string kAnswerLog = "C:\\answerer\\answers.log";
const std::string kWorkDir = WINE_TESTS_WORK_DIR;

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
    return in ? std::optional<std::string>(std::string(std::istreambuf_iterator<char>(in), {})) : std::nullopt;
}


// A child in its own process group that dies with the test process; its
// output goes to `out` (appended), else nowhere.
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
    for (int status = 0;; std::this_thread::sleep_for(Ms(20))) {
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (std::chrono::steady_clock::now() > deadline) {
            kill(-pid, SIGKILL);
            waitpid(pid, &status, 0);
            return std::nullopt;
        }
    }
}

std::optional<int> RunHost(const std::vector<std::string>& argv, const Env& env = {}, const std::string& out = "") {
    return WaitFor(Spawn(argv, "", env, out), Ms(240000));
}

bool Win32() {
    static const bool win32 = [] {
        if (const char* forced = std::getenv("WINE_TESTS_ARCH")) return std::string(forced) == "win32";
        // The 32-bit loader starts only where the kernel runs 32-bit code.
        return access("/usr/lib/wine/wine", X_OK) == 0 && RunHost({"/usr/lib/wine/wine", "--version"}) == 0;
    }();
    return win32;
}

std::string Loader() { return Win32() ? "/usr/lib/wine/wine" : "/usr/lib/wine/wine64"; }
std::string Server() { return Win32() ? "/usr/lib/wine/wineserver32" : "/usr/lib/wine/wineserver64"; }

// One Xvfb for the test process, on a display number it picks itself.
const std::string& Display() {
    static const std::string display = [] {
        int pipe_ends[2];
        Require(pipe(pipe_ends) == 0, "pipe failed");
        Spawn({"Xvfb", "-displayfd", std::to_string(pipe_ends[1]), "-screen", "0", "1024x768x24", "-nolisten", "tcp"},
              "", {}, "");
        close(pipe_ends[1]);
        char number[16] = {};
        Require(read(pipe_ends[0], number, sizeof number - 1) > 0, "Xvfb did not start");
        close(pipe_ends[0]);
        return ":" + Trim(number);
    }();
    return display;
}

Env WineEnv(const std::string& prefix, const std::string& display) {
    Env env = {{"WINEPREFIX", prefix}, {"WINEDEBUG", "-all"}, {"DISPLAY", display},
               {"WINEDLLOVERRIDES", "mscoree,mshtml="}, {"LC_ALL", "C.UTF-8"}, {"WINESERVER", Server()}};
    if (Win32()) env["WINEARCH"] = "win32";
    return env;
}

bool StopServer(const std::string& prefix) {
    if (WaitFor(Spawn({Server(), "-w"}, "", {{"WINEPREFIX", prefix}}, ""), Ms(60000))) return true;
    RunHost({Server(), "-k"}, {{"WINEPREFIX", prefix}});
    return false;
}

// Made once per Wine version and architecture; a lock keeps parallel tests
// from making it twice.
std::string Template() {
    static std::string made;
    if (!made.empty()) return made;
    fs::create_directories(kWorkDir);
    // A new Wine comes with a new loader.
    const std::string target = kWorkDir + "/template-" + (Win32() ? "win32-" : "win64-") +
                               std::to_string(fs::last_write_time(Loader()).time_since_epoch().count());
    const int lock = open((target + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    flock(lock, LOCK_EX);
    if (!fs::exists(target + "/.complete")) {
        const std::string log = target + ".log";
        fs::remove_all(target);
        // No display: whatever Wine would ask while it sets up returns at once.
        const Env env = WineEnv(target, "");
        const bool booted = RunHost({Loader(), "wineboot", "-i"}, env, log) == 0 &&
                            RunHost({Loader(), "reg", "add", "HKCU\\Software\\Wine\\WineDbg", "/v", "ShowCrashDialog",
                                     "/t", "REG_DWORD", "/d", "0", "/f"}, env, log) == 0;
        if (StopServer(target) && booted) std::ofstream(target + "/.complete");
    }
    close(lock);
    Require(fs::exists(target + "/.complete"), "wineboot could not make the template prefix; see " + target + ".log");
    return made = target;
}

}  // namespace

std::string UnderTest() {
    return std::string("build/") + (Win32() ? "win32/setup.exe in a 32" : "win64/setup.exe in a 64") + "-bit prefix";
}

std::string Program(const std::string& name) {
    return std::string(WINE_TESTS_SOURCE_DIR) + (Win32() ? "/build/win32/" : "/build/win64/") + name;
}

std::string HostFile(const std::string& path) { return ReadHost(path).value_or(""); }

std::string Missing(const std::vector<std::string>& programs) {
    std::string missing;
    for (const std::string& name : programs) {
        if (!fs::exists(Program(name))) missing += Program(name) + " is missing: build its preset first.\n";
    }
    if (access(Loader().c_str(), X_OK) != 0) missing += Loader() + " is missing: run scripts/install-deps.\n";
    return missing;
}

Prefix::Prefix(const std::string& name, const std::string& version) {
    const fs::path folder = kWorkDir + "/prefixes/" + name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    root_ = (folder / "prefix").string();
    Require(RunHost({"cp", "-a", "--reflink=auto", Template(), root_}) == 0, "cannot copy the template to " + root_);
    Import("[HKEY_CURRENT_USER\\Software\\Wine]\r\n\"Version\"=\"" + version + "\"\r\n");
}

Prefix::~Prefix() {
    if (answerer_) WaitFor(answerer_, Ms(0));
    RunHost({Server(), "-k"}, {{"WINEPREFIX", root_}});
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
        for (const fs::directory_entry& entry : fs::directory_iterator(host, error)) {
            if (!fs::exists(exact) && Lower(entry.path().filename().string()) == Lower(part)) exact = entry.path();
        }
        host = exact;
    }
    return host.string();
}

void Prefix::Put(const std::string& path, const std::string& contents) {
    const fs::path host = Host(path);
    fs::create_directories(host.parent_path());
    std::ofstream(host, std::ios::binary | std::ios::trunc) << contents;
}

std::optional<std::string> Prefix::Read(const std::string& path) const { return ReadHost(Host(path)); }

std::vector<std::string> Prefix::Listing(const std::string& folder) const {
    std::vector<std::string> names;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(Host(folder), error)) {
        names.push_back(entry.path().filename().string());
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

std::optional<int> Prefix::Run(const std::string& program, const std::vector<std::string>& args,
                               const std::string& cwd, const Env& env, Ms deadline) {
    return WaitFor(Start(program, args, cwd, env), deadline);
}

void Prefix::Import(const std::string& body) {
    Put("C:\\harness\\import.reg", "REGEDIT4\r\n\r\n" + body);
    Require(Run("reg", {"import", "C:\\harness\\import.reg"}) == 0, "reg import failed; see " + Log());
}

std::optional<std::string> Prefix::Value(const std::string& key, const std::string& name) {
    const std::string out = root_ + "/../reg-query.txt";
    fs::remove(out);
    RunHost({Loader(), "reg", "query", key, "/v", name}, WineEnv(root_, ""), out);
    // "    NAME    REG_SZ    value": the value follows the type.
    for (const std::string& line : Split(HostFile(out), '\n')) {
        const size_t type = line.find("    REG_");
        if (type == std::string::npos || Lower(Trim(line.substr(0, type))) != Lower(name)) continue;
        const size_t value = line.find("    ", type + 4);
        return value == std::string::npos ? "" : Trim(line.substr(value + 4));
    }
    return std::nullopt;
}

std::string Prefix::ShortPath(std::string path) {
    if (path.back() == '\\') path.pop_back();
    Put("C:\\harness\\short.bat", "@for %%I in (\"" + path + "\") do @echo %%~sI> C:\\harness\\short.txt\r\n");
    Require(Run("cmd", {"/c", "C:\\harness\\short.bat"}) == 0, "cmd failed on " + path);
    return Trim(Read("C:\\harness\\short.txt").value_or(""));
}

bool Prefix::Shutdown() { return StopServer(root_); }

void Prefix::Answer(const Rules& rules, bool shots) {
    Put("C:\\answerer\\answerer.exe", HostFile(Program("answerer.exe")));
    fs::remove(Host(kAnswerLog));
    std::vector<std::string> args = {kAnswerLog, shots ? "C:\\answerer" : "-"};
    for (const auto& [caption, buttons] : rules) args.push_back(caption + "=" + buttons);
    answerer_ = Start("C:\\answerer\\answerer.exe", args, "C:\\", {});
    // The log appears once the watch is on.
    for (int look = 0; !Read(kAnswerLog); ++look) {
        Require(look < 3000, "answerer.exe did not start; see " + Log());
        std::this_thread::sleep_for(Ms(20));
    }
}

// One dialog a record, ended by RS; fields split by US.
std::vector<Dialog> Prefix::Answers() {
    if (answerer_) WaitFor(answerer_, Ms(0));  // kills it: each record is whole once written
    answerer_ = 0;
    std::vector<Dialog> dialogs;
    for (const std::string& record : Split(Read(kAnswerLog).value_or(""), '\x1e')) {
        const std::vector<std::string> f = Split(record, '\x1f');
        Require(f.size() == 6, "malformed answerer record: " + record);
        dialogs.push_back({f[0], f[1], f[2], f[3], f[4], f[5] == "centred"});
    }
    return dialogs;
}

}  // namespace winetest
