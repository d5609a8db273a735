// Programs started by the setup, other programs' windows, and message boxes.
#include <algorithm>
#include <cctype>

#include "platform/vm/machine.h"
#include "platform/vm/name_compare.h"

namespace vm {

namespace {

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::optional<std::string> VirtualMachine::ResolveProgram(const std::string& commandLine) const {
    std::vector<std::string> candidates;
    if (!commandLine.empty() && commandLine[0] == '"') {
        const std::size_t close = commandLine.find('"', 1);
        candidates.push_back(commandLine.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    } else {
        // Like CreateProcess, try "C:\Program", then "C:\Program Files\x.exe", ...
        for (std::size_t blank = commandLine.find(' '); ; blank = commandLine.find(' ', blank + 1)) {
            candidates.push_back(commandLine.substr(0, blank));
            if (blank == std::string::npos) break;
        }
    }
    const std::string moduleFolder = settings.programPath.substr(0, settings.programPath.find_last_of('\\') + 1);
    for (const std::string& candidate : candidates) {
        std::vector<std::string> names{candidate};
        if (FileNameOf(candidate).find('.') == std::string::npos) names.push_back(candidate + ".exe");
        for (const std::string& name : names) {
            std::vector<std::string> tries;
            if (name.find_first_of("\\:") != std::string::npos) {
                tries.push_back(name);
            } else {
                for (const std::string& folder : {moduleFolder, std::string(), settings.systemFolder + "\\",
                                                  settings.windowsFolder + "\\"}) {
                    tries.push_back(folder + name);
                }
            }
            for (const std::string& path : tries) {
                const std::optional<std::string> full = FullPath(path);
                if (full && fs_.IsFile(*full)) return fs_.LongPath(*full);
            }
        }
    }
    return std::nullopt;
}

platform::Handle VirtualMachine::Start(const std::string& commandLine) {
    const std::optional<std::string> program = ResolveProgram(commandLine);
    const std::string directory = FullPath(".").value_or("");
    if (!program) return 0;
    StartedProcess process{commandLine, *program, directory, now_, {}};
    for (const ProgramBehaviour& behaviour : programs_) {
        if (name::Equal(behaviour.name, *program) || name::Equal(behaviour.name, FileNameOf(*program))) {
            process.behaviour = behaviour;
            break;
        }
    }
    processes_.push_back(process);
    return processes_.size();
}

StartedProcess* VirtualMachine::ProcessOf(platform::Handle handle) {
    return handle >= 1 && handle <= processes_.size() ? &processes_[handle - 1] : nullptr;
}

std::uint32_t VirtualMachine::WinExec(const std::string& commandLine, int /*showWindow*/) {
    // Above 31 is success; 2 is "file not found".
    return Start(commandLine) != 0 ? 33 : 2;
}

platform::Handle VirtualMachine::CreateProcess(const std::string& commandLine, int /*showWindow*/) {
    return Start(commandLine);
}

std::uint32_t VirtualMachine::WaitForInputIdle(platform::Handle process, std::uint32_t milliseconds) {
    StartedProcess* started = ProcessOf(process);
    if (!started) return platform::WAIT_FAILED;
    const std::uint64_t idleAt = started->startedAt + started->behaviour.idleAfter;
    if (idleAt <= now_) return 0;
    const std::uint64_t until = std::min<std::uint64_t>(idleAt, now_ + milliseconds);
    AdvanceTo(until);
    return until == idleAt ? 0 : platform::WAIT_TIMEOUT;
}

std::uint32_t VirtualMachine::WaitForSingleObject(platform::Handle process, std::uint32_t milliseconds) {
    StartedProcess* started = ProcessOf(process);
    if (!started) return platform::WAIT_FAILED;
    const std::uint64_t endsAt = started->startedAt + started->behaviour.runsFor;
    if (endsAt <= now_) return platform::WAIT_OBJECT_0;
    if (milliseconds != platform::INFINITE && endsAt > now_ + milliseconds) {
        AdvanceTo(now_ + milliseconds);
        return platform::WAIT_TIMEOUT;
    }
    AdvanceTo(endsAt);
    return platform::WAIT_OBJECT_0;
}

std::optional<std::uint32_t> VirtualMachine::GetExitCodeProcess(platform::Handle process) {
    StartedProcess* started = ProcessOf(process);
    if (!started) return std::nullopt;
    if (started->startedAt + started->behaviour.runsFor > now_) {
        // A poll without pause still costs time: a busy loop ends in
        // virtual time as it would in real time.
        AdvanceTo(now_ + 1);
        return platform::STILL_ACTIVE;
    }
    return started->behaviour.exitCode;
}

bool VirtualMachine::CloseHandle(platform::Handle handle) { return ProcessOf(handle) != nullptr; }

platform::Hwnd VirtualMachine::FindWindowEx(const std::optional<std::string>& className,
                                            const std::optional<std::string>& title) {
    for (std::size_t i = 0; i < windows_.size(); ++i) {
        const TopLevelWindow& window = windows_[i];
        if (!window.open) continue;
        if (className && !name::Equal(*className, window.className)) continue;
        if (title && !name::Equal(*title, window.title)) continue;
        return 0x10000 + i;
    }
    return 0;
}

std::intptr_t VirtualMachine::SendMessage(platform::Hwnd window, std::uint32_t message, std::uintptr_t /*wParam*/,
                                          std::intptr_t /*lParam*/) {
    if (message == platform::WM_CLOSE && window >= 0x10000 && window - 0x10000 < windows_.size()) {
        windows_[window - 0x10000].open = false;
    }
    return 0;
}

int VirtualMachine::MessageBox(platform::Hwnd /*owner*/, const std::string& text, const std::string& /*caption*/,
                               std::uint32_t type) {
    int button = platform::IDOK;
    std::uint64_t thinking = 0;
    for (MessageBoxAnswer& answer : answers_) {
        if (!answer.used && (answer.textContains == "*" || text.find(answer.textContains) != std::string::npos)) {
            answer.used = true;
            button = answer.button;
            thinking = answer.after;
            break;
        }
    }
    // An OK-only box can only be answered with OK (Esc and the close box too).
    if ((type & 0xF) == platform::MB_OK) button = platform::IDOK;
    // Whatever happens while the box waits for its answer happens now.
    if (thinking > 0) AdvanceTo(now_ + thinking);
    return button;
}

}  // namespace vm
