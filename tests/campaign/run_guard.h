// Guards a series of runs against what no check after a run can see: a run
// that loops without end in real time (the virtual clock standing still) is
// ended with its name printed, and a run that crashes names itself on
// standard error before the crash takes its usual course.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace campaign {

class RunGuard {
public:
    explicit RunGuard(std::chrono::seconds limit);
    ~RunGuard();
    RunGuard(const RunGuard&) = delete;
    RunGuard& operator=(const RunGuard&) = delete;

    // label names the run, for instance "options-vxd seed 17".
    void Begin(const std::string& label);
    void End();

private:
    void Watch();

    const std::chrono::seconds limit_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool running_ = false;
    bool stopping_ = false;
    std::chrono::steady_clock::time_point started_;
    std::uint64_t generation_ = 0;
    std::thread watcher_;
};

}  // namespace campaign
