// Linux processes for the Wine tests: start with a given environment and
// folder, wait with a deadline, kill; and the one X display of the test
// process.
#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace winetest {

using Milliseconds = std::chrono::milliseconds;

struct ProcessOptions {
    std::vector<std::string> argv;                  // argv[0] is looked up in PATH
    std::string working_dir;                        // empty: the test's own
    std::map<std::string, std::string> environment; // set on top of the test's own
    std::string output_file;                        // stdout and stderr appended here; empty: discarded
};

// A started process. It is killed if still running when the object goes, and
// it dies with the test process, so that a test killed by its timeout leaves
// nothing behind.
class Process {
public:
    explicit Process(const ProcessOptions& options);  // throws std::runtime_error
    Process(Process&& other) noexcept;
    Process& operator=(Process&&) = delete;
    Process(const Process&) = delete;
    ~Process();

    // The exit code (128 + signal number when killed by a signal), or nothing
    // if the process is still running at the deadline.
    std::optional<int> Wait(Milliseconds timeout);
    void Kill();
    bool Finished() const { return !pid_; }

private:
    int pid_ = 0;
    int exit_code_ = 0;
};

struct RunResult {
    bool timed_out = false;  // killed at the deadline
    int exit_code = -1;
};

RunResult RunProcess(const ProcessOptions& options, Milliseconds timeout);

// Where a program is: an absolute path that exists, or the first match in
// PATH; empty if none of the candidates is found.
std::string FindProgram(const std::vector<std::string>& candidates);

// The X display every Wine program of this test process uses: an Xvfb on a
// free display number, started on first use (throws std::runtime_error if it
// cannot start) and ended with the process.
const std::string& TestDisplay();

}  // namespace winetest
