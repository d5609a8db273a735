// The machine's clock, events, faults and journal, and its start-up facts.
#include "platform/vm/machine.h"

#include <algorithm>
#include <ctime>

namespace vm {

VirtualMachine::VirtualMachine() : dialogLayouts(ProgramDialogLayout), strings(ProgramString) {
    for (char drive : {'C', 'E'}) fs_.AddDrive(drive);
}

void VirtualMachine::Log(std::string kind, Fields fields) { journal_.Add(now_, std::move(kind), std::move(fields)); }

std::function<void(const char*, std::uint64_t)> VirtualMachine::FaultListener() {
    return [this](const char* operation, std::uint64_t call) {
        Log("fault", {{"operation", operation}, {"call", std::to_string(call)}});
    };
}

// Windows 95 has no Setup API: the backend's calls fail as a missing DLL's do.
bool VirtualMachine::NoSetupApi() {
    if (settings.setupApi) return false;
    lastError_ = platform::ERROR_PROC_NOT_FOUND;
    return true;
}

void VirtualMachine::AddEvent(TimedEvent event) {
    events_.push_back(std::move(event));
    if (events_.back().anchor == TimedEvent::Anchor::Start) {
        scheduled_.push_back({events_.back().delay, events_.size() - 1});
    }
}

void VirtualMachine::Schedule(TimedEvent::Anchor anchor) {
    for (std::size_t i = 0; i < events_.size(); ++i) {
        if (events_[i].anchor == anchor) scheduled_.push_back({now_ + events_[i].delay, i});
    }
}

void VirtualMachine::AdvanceTo(std::uint64_t time) {
    // Events fire in time order, each at its own moment.
    for (;;) {
        auto next = std::min_element(scheduled_.begin(), scheduled_.end(),
                                     [](const Scheduled& a, const Scheduled& b) { return a.at < b.at; });
        if (next == scheduled_.end() || next->at > time) break;
        const Scheduled due = *next;
        scheduled_.erase(next);
        now_ = std::max(now_, due.at);
        const TimedEvent& event = events_[due.event];
        Log("event", {{"what", event.description}});
        if (event.action) event.action(*this);
    }
    now_ = std::max(now_, time);
    if (now_ > settings.timeLimit) throw VirtualTimeLimit{now_};
}

void VirtualMachine::Sleep(std::uint32_t milliseconds) {
    AdvanceTo(now_ + milliseconds);
}

void VirtualMachine::ExitProcess(std::uint32_t exitCode) {
    throw ProcessExit{exitCode};
}

std::string VirtualMachine::ProgramPath() { return settings.programPath; }
std::string VirtualMachine::CommandLine() { return settings.commandLine; }

std::string VirtualMachine::GetModuleFileName() {
    return FullPath(settings.programPath).value_or(settings.programPath);
}

platform::OsVersionInfo VirtualMachine::GetVersionEx() { return VersionInfo(settings.version); }

std::uint32_t VirtualMachine::GetTickCount() { return static_cast<std::uint32_t>(now_); }

platform::LocalTime VirtualMachine::GetLocalTime() {
    const platform::LocalTime& start = settings.startTime;
    std::tm time{};
    time.tm_year = start.year - 1900, time.tm_mon = start.month - 1, time.tm_mday = start.day;
    time.tm_hour = start.hour, time.tm_min = start.minute, time.tm_sec = start.second + static_cast<int>(now_ / 1000);
    const std::time_t seconds = timegm(&time);  // normalises the seconds added into minutes, hours and days
    gmtime_r(&seconds, &time);
    return {time.tm_year + 1900, time.tm_mon + 1, time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec};
}

void VirtualMachine::BeginWaitCursor() {
    ++waitCursor_;
}

void VirtualMachine::EndWaitCursor() {
    if (waitCursor_ > 0) --waitCursor_;
}

void VirtualMachine::Enable3dControls() {}

void VirtualMachine::OutputDebugString(const std::string& /*text*/) {}

std::uint32_t VirtualMachine::SetErrorMode(std::uint32_t mode) {
    const std::uint32_t previous = errorMode_;
    errorMode_ = mode;
    return previous;
}

std::uint32_t VirtualMachine::GetLastError() { return lastError_; }
void VirtualMachine::SetLastError(std::uint32_t error) { lastError_ = error; }

std::uint32_t VirtualMachine::mixerGetNumDevs() {
    return settings.mixerDevices;
}

bool VirtualMachine::ExitWindowsEx(std::uint32_t /*flags*/, std::uint32_t /*reserved*/) {
    restartRequested_ = true;
    return true;
}

}  // namespace vm
