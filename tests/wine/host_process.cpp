#include "host_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace winetest {
namespace {

constexpr Milliseconds kPollInterval{10};

std::vector<std::string> MergedEnvironment(const std::map<std::string, std::string>& overrides) {
    std::map<std::string, std::string> merged;
    for (char** entry = environ; *entry; ++entry) {
        std::string text = *entry;
        size_t equals = text.find('=');
        if (equals != std::string::npos) merged[text.substr(0, equals)] = text.substr(equals + 1);
    }
    for (const auto& [name, value] : overrides) merged[name] = value;
    std::vector<std::string> result;
    for (const auto& [name, value] : merged) result.push_back(name + "=" + value);
    return result;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Runs in the child between fork and exec: only async-signal-safe calls.
[[noreturn]] void ExecChild(const char* folder, int output, char** argv, char** envp,
                            int death_signal) {
    prctl(PR_SET_PDEATHSIG, death_signal);
    setpgid(0, 0);
    if (output >= 0) {
        dup2(output, STDOUT_FILENO);
        dup2(output, STDERR_FILENO);
    }
    if (*folder && chdir(folder) != 0) _exit(126);
    execvpe(argv[0], argv, envp);
    _exit(127);
}

int ExitCode(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

}  // namespace

Process::Process(const ProcessOptions& options) {
    if (options.argv.empty()) throw std::runtime_error("no program to start");
    std::vector<std::string> arguments = options.argv;
    std::vector<std::string> environment = MergedEnvironment(options.environment);
    std::vector<char*> argv = Pointers(arguments);
    std::vector<char*> envp = Pointers(environment);
    const std::string& target = options.output_file.empty() ? std::string("/dev/null")
                                                            : options.output_file;
    int output = open(target.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (output < 0) throw std::runtime_error("cannot open " + target + ": " + std::strerror(errno));

    pid_ = fork();
    if (pid_ == 0) ExecChild(options.working_dir.c_str(), output, argv.data(), envp.data(), SIGKILL);
    int fork_error = errno;
    close(output);
    if (pid_ < 0) {
        pid_ = 0;
        throw std::runtime_error(std::string("fork failed: ") + std::strerror(fork_error));
    }
}

Process::Process(Process&& other) noexcept : pid_(other.pid_), exit_code_(other.exit_code_) {
    other.pid_ = 0;
}

Process::~Process() { Kill(); }

std::optional<int> Process::Wait(Milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (pid_) {
        int status = 0;
        pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_ || (done < 0 && errno == ECHILD)) {
            exit_code_ = done == pid_ ? ExitCode(status) : -1;
            pid_ = 0;
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(kPollInterval);
    }
    return exit_code_;
}

void Process::Kill() {
    if (!pid_) return;
    kill(-pid_, SIGKILL);
    kill(pid_, SIGKILL);
    int status = 0;
    if (waitpid(pid_, &status, 0) == pid_) exit_code_ = ExitCode(status);
    pid_ = 0;
}

RunResult RunProcess(const ProcessOptions& options, Milliseconds timeout) {
    Process process(options);
    RunResult result;
    if (std::optional<int> code = process.Wait(timeout)) {
        result.exit_code = *code;
    } else {
        process.Kill();
        result.timed_out = true;
    }
    return result;
}

std::string FindProgram(const std::vector<std::string>& candidates) {
    namespace fs = std::filesystem;
    for (const std::string& candidate : candidates) {
        if (candidate.find('/') != std::string::npos) {
            if (access(candidate.c_str(), X_OK) == 0) return candidate;
            continue;
        }
        const char* path = std::getenv("PATH");
        std::string folders = path ? path : "/usr/bin:/bin";
        size_t start = 0;
        while (start <= folders.size()) {
            size_t end = folders.find(':', start);
            if (end == std::string::npos) end = folders.size();
            std::string folder = folders.substr(start, end - start);
            fs::path file = fs::path(folder) / candidate;
            if (!folder.empty() && access(file.c_str(), X_OK) == 0) return file;
            start = end + 1;
        }
    }
    return {};
}

namespace {

class Xvfb {
public:
    Xvfb() {
        std::string program = FindProgram({"Xvfb"});
        if (program.empty()) {
            throw std::runtime_error("Xvfb not found: install the Debian package xvfb");
        }
        int pipe_ends[2];
        if (pipe(pipe_ends) != 0) throw std::runtime_error("pipe failed");
        std::string fd = std::to_string(pipe_ends[1]);
        std::vector<std::string> arguments = {program,    "-displayfd", fd,    "-screen",
                                              "0",        "1024x768x24", "-nolisten", "tcp"};
        std::vector<std::string> environment = MergedEnvironment({});
        std::vector<char*> argv = Pointers(arguments);
        std::vector<char*> envp = Pointers(environment);
        int output = open("/dev/null", O_WRONLY | O_CLOEXEC);
        pid_ = fork();
        if (pid_ == 0) {
            close(pipe_ends[0]);
            ExecChild("", output, argv.data(), envp.data(), SIGTERM);
        }
        close(output);
        close(pipe_ends[1]);
        if (pid_ < 0) {
            close(pipe_ends[0]);
            throw std::runtime_error("fork failed");
        }
        std::optional<std::string> number = ReadDisplayNumber(pipe_ends[0]);
        close(pipe_ends[0]);
        if (!number) {
            Stop();
            throw std::runtime_error("Xvfb did not start");
        }
        display_ = ":" + *number;
    }

    ~Xvfb() { Stop(); }

    const std::string& display() const { return display_; }

private:
    // Xvfb writes the display number it took, then a newline, once it
    // accepts clients.
    std::optional<std::string> ReadDisplayNumber(int fd) {
        std::string number;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd wait_for{fd, POLLIN, 0};
            if (poll(&wait_for, 1, 100) <= 0) continue;
            char c;
            if (read(fd, &c, 1) != 1) break;
            if (c == '\n') return number;
            number += c;
        }
        return std::nullopt;
    }

    void Stop() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
        pid_ = 0;
    }

    int pid_ = 0;
    std::string display_;
};

}  // namespace

const std::string& TestDisplay() {
    static std::unique_ptr<Xvfb> server;
    if (!server) server = std::make_unique<Xvfb>();
    return server->display();
}

}  // namespace winetest
