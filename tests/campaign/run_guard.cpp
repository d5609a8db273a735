#include "campaign/run_guard.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace campaign {

namespace {

constexpr int kCrashSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr std::size_t kLabelSize = 256;

// Read by the signal handler, so plain bytes and a length.
char gLabel[kLabelSize];
volatile std::sig_atomic_t gLabelLength = 0;
struct sigaction gPrevious[std::size(kCrashSignals)];

void Write(const char* text, std::size_t length) {
    while (length > 0) {
        const ssize_t written = ::write(STDERR_FILENO, text, length);
        if (written <= 0) return;
        text += written;
        length -= static_cast<std::size_t>(written);
    }
}

// Names the run, then hands the signal back to whoever handled it before
// (the default action, or a sanitizer's report): a fault happens again on
// return, an abort goes on by itself.
void OnCrash(int signal) {
    const char prefix[] = "\nfault campaign: crashed in ";
    Write(prefix, sizeof prefix - 1);
    Write(gLabel, static_cast<std::size_t>(gLabelLength));
    Write("\n", 1);
    for (std::size_t i = 0; i < std::size(kCrashSignals); ++i) {
        if (kCrashSignals[i] == signal) sigaction(signal, &gPrevious[i], nullptr);
    }
}

void InstallCrashHandlers() {
    struct sigaction action {};
    action.sa_handler = OnCrash;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(kCrashSignals); ++i) sigaction(kCrashSignals[i], &action, &gPrevious[i]);
}

void RemoveCrashHandlers() {
    for (std::size_t i = 0; i < std::size(kCrashSignals); ++i) sigaction(kCrashSignals[i], &gPrevious[i], nullptr);
}

}  // namespace

RunGuard::RunGuard(std::chrono::seconds limit) : limit_(limit) {
    InstallCrashHandlers();
    watcher_ = std::thread([this] { Watch(); });
}

RunGuard::~RunGuard() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    watcher_.join();
    gLabelLength = 0;
    RemoveCrashHandlers();
}

void RunGuard::Begin(const std::string& label) {
    const std::size_t length = std::min(label.size(), kLabelSize);
    gLabelLength = 0;
    std::memcpy(gLabel, label.data(), length);
    gLabelLength = static_cast<std::sig_atomic_t>(length);
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        running_ = true;
        started_ = std::chrono::steady_clock::now();
        ++generation_;
    }
    changed_.notify_all();
}

void RunGuard::End() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        running_ = false;
    }
    changed_.notify_all();
}

void RunGuard::Watch() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_) {
        if (!running_) {
            changed_.wait(lock);
            continue;
        }
        const std::uint64_t generation = generation_;
        const auto deadline = started_ + limit_;
        changed_.wait_until(lock, deadline, [&] { return stopping_ || !running_ || generation_ != generation; });
        if (running_ && generation_ == generation && std::chrono::steady_clock::now() >= deadline) {
            std::fprintf(stderr, "\nfault campaign: %.*s ran for more than %lld s of real time: a hang\n",
                         static_cast<int>(gLabelLength), gLabel, static_cast<long long>(limit_.count()));
            std::fflush(stderr);
            std::_Exit(124);
        }
    }
}

}  // namespace campaign
