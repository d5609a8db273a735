#include "campaign/ending.h"

#include <algorithm>

namespace campaign {

namespace {

using Messages = std::vector<std::string>;
using setupsim::Ending;

const std::string kAnnouncement = "The driver will be installed now. It need a few minutes to complete.";
const std::string kCompleted = "Setup completed! The system will restart now!";
const std::string kNoWindows2000Setup = "Can not find the setup program for Windows 2000/XP.";
const std::string kNoApplicationsSetup = "Can not find the PCI Audio Applications setup program.";
const std::string kInsertMedium = kNoApplicationsSetup + "\n Please insert the installation CD now.";
const std::string kNoInstallationFiles = "Can not find installation files.";
const std::string kVxdRefused = "This driver can not be used on Windows NT or Windows 2000.";
const std::string kWdmRefused = "This WDM driver can only be installed on Windows 98SE/ME/2000";

// What may still happen once the restart has been asked for.
const char* const kAfterRestart[] = {"wait cursor", "dialog closed", "exit process"};

class Verdict {
public:
    Verdict(const setupsim::RunResult& result, const vm::Journal& journal) : result_(result), journal_(journal) {
        for (const vm::JournalEntry& entry : journal.OfKind("message box")) messages_.push_back(entry.Get("text"));
    }

    std::vector<std::string> Problems(MainDialogPlan plan) {
        if (result_.exitCode != 0) problems_.push_back("exit code " + std::to_string(result_.exitCode));
        CheckRestart();
        const std::vector<std::string> outcomes = Outcomes();
        if (outcomes.size() != 1) {
            problems_.push_back(std::to_string(outcomes.size()) + " outcomes chosen");
            return problems_;
        }
        CheckOutcome(outcomes[0], plan);
        return problems_;
    }

private:
    std::vector<std::string> Outcomes() const {
        std::vector<std::string> outcomes;
        for (const vm::JournalEntry& entry : journal_.OfKind("trace")) {
            const std::string text = entry.Get("text");
            if (text.rfind("outcome: ", 0) == 0) outcomes.push_back(text.substr(9));
        }
        return outcomes;
    }

    bool DialogMissing() const { return journal_.Count("dialog missing") > 0; }

    bool RestartAttempted() const {
        if (result_.restartRequested) return true;
        for (const vm::JournalEntry& entry : journal_.OfKind("fault")) {
            if (entry.Get("operation") == "ExitWindowsEx") return true;
        }
        return false;
    }

    // The final message comes with the restart request, and the restart
    // with nothing but the end.
    void CheckRestart() {
        const bool completed = !messages_.empty() && messages_.back() == kCompleted;
        if (RestartAttempted() != completed) {
            problems_.push_back(completed ? "the final message without a restart request"
                                          : "a restart request without the final message");
        }
        if (std::count(messages_.begin(), messages_.end(), kCompleted) > 1) problems_.push_back("two final messages");
        bool restarted = false;
        for (const vm::JournalEntry& entry : journal_.Entries()) {
            if (restarted && std::find(std::begin(kAfterRestart), std::end(kAfterRestart), entry.kind) ==
                                 std::end(kAfterRestart)) {
                problems_.push_back("\"" + entry.kind + "\" after the restart request");
                break;
            }
            restarted |= entry.kind == "restart requested";
        }
    }

    void Expect(Ending ending, std::initializer_list<Messages> allowed) {
        if (result_.ending != ending) {
            problems_.push_back(std::string("the program ") + setupsim::ToString(result_.ending) + " where it should have " +
                                setupsim::ToString(ending));
        }
        if (std::find(allowed.begin(), allowed.end(), messages_) == allowed.end()) problems_.push_back(Shown());
    }

    // The medium prompt as often as the user answers it, then what the plan
    // leads to when the user gives up (or nothing when the installer started).
    void ExpectPrompts(const std::string& givingUp) {
        Messages rest = messages_;
        while (!rest.empty() && rest.front() == kInsertMedium) rest.erase(rest.begin());
        if (result_.ending != Ending::Returned) {
            problems_.push_back(std::string("the main dialog's run ") + setupsim::ToString(result_.ending));
        }
        if (!(rest.empty() || rest == Messages{givingUp})) problems_.push_back(Shown());
    }

    void CheckOutcome(const std::string& outcome, MainDialogPlan plan) {
        const bool dialog = outcome == "main setup dialog" || outcome == "VxD driver option dialog" ||
                            outcome == "WDM driver option dialog";
        if (dialog && DialogMissing()) return Expect(Ending::Returned, {{}});
        if (outcome == "applications launch") return Expect(Ending::ExitProcess, {{}, {kNoApplicationsSetup}});
        if (outcome == "hand-over to the Windows 2000/XP setup program") {
            return Expect(Ending::Returned, {{}, {kNoWindows2000Setup}});
        }
        if (outcome == "silent end on Windows NT 4.0") {
            if (journal_.Count("dialog shown") > 0) problems_.push_back("a dialog before the silent end");
            return Expect(Ending::ExitProcess, {{}});
        }
        if (outcome == "unattended driver installation from the medium" ||
            outcome == "unattended driver installation from a flat package") {
            return Expect(Ending::ExitProcess, {{kAnnouncement, kCompleted}});
        }
        if (outcome == "VxD driver option dialog") return Expect(Ending::ExitProcess, {{kCompleted}, {kVxdRefused}});
        if (outcome == "WDM driver option dialog") {
            return Expect(Ending::ExitProcess, {{kAnnouncement, kCompleted}, {kWdmRefused}});
        }
        if (outcome == "main setup dialog") {
            if (messages_ == Messages{kNoInstallationFiles}) return Expect(Ending::ExitProcess, {{kNoInstallationFiles}});
            switch (plan) {
                case MainDialogPlan::DriverOnly: return Expect(Ending::Returned, {{kAnnouncement, kCompleted}});
                case MainDialogPlan::Both: return ExpectPrompts(kCompleted);
                case MainDialogPlan::AppsOnly: return ExpectPrompts(kNoApplicationsSetup);
            }
        }
        problems_.push_back("an outcome no flow has: " + outcome);
    }

    std::string Shown() const {
        std::string shown = "messages shown:";
        for (const std::string& message : messages_) shown += " \"" + message + "\"";
        return messages_.empty() ? "no message shown" : shown;
    }

    const setupsim::RunResult& result_;
    const vm::Journal& journal_;
    Messages messages_;
    std::vector<std::string> problems_;
};

}  // namespace

std::vector<std::string> CheckEnding(const setupsim::RunResult& result, const vm::Journal& journal,
                                     MainDialogPlan plan) {
    return Verdict(result, journal).Problems(plan);
}

}  // namespace campaign
