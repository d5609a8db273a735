// The fault campaign: every flow, seed after seed, on a machine with a bad
// input and the virtual machine's seeded failures, judged for crashes,
// hangs, endings, writes out of place and INF bytes no rule writes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "setupsim/runner.h"

namespace campaign {

struct Flow {
    const char* name;
    vm::WindowsVersion version;
    const char* commandLine;
    const char* setupIni;
    bool flat;               // the flat package beside setup.exe, else the full medium
    const char* mainDialog;  // the user in the main dialog, and the messages it may end with (judge.cpp)
    const char* mainEnding;
};
const std::vector<Flow>& Flows();
const Flow* FindFlow(const std::string& name);

// The flow's machine, plain for seed 0, else with a bad input and failures.
std::string Build(const Flow& flow, std::uint32_t seed, vm::VirtualMachine& machine);

// The run's problems ("crashed: ...", "hung: ..." first); a crash, or a run
// past realSeconds of real time, ends the process naming the run.
using Report = std::vector<std::string>;
Report RunAndJudge(const Flow& flow, vm::VirtualMachine& machine, const std::string& run, unsigned realSeconds);

// The flows named (none: all) for `seeds` seeds or `seconds` (0: no limit).
using OnRun = std::function<void(const Flow&, std::uint32_t seed, const std::string& plan, const Report&, vm::VirtualMachine&)>;
std::uint64_t RunCampaign(const std::vector<std::string>& flows, std::uint32_t firstSeed, std::uint64_t seeds, double seconds,
                          const OnRun& onRun);

// The INF bytes the rules may change, "" or what broke the rules. In place: a
// Config switch's last character, a Settings line's column 48, to a value its
// rule writes, on lines with a line end; a Ctrl-Z ending `before` may go.
std::string InPlaceDifference(std::string before, const std::string& after, std::size_t maxEdits);
// Copy flags: the pieces fgets reads (lines, cut at 1023 characters), each
// kept or replaced by the flagged entry of the file name it begins with.
std::string CopyFlagDifference(const std::string& before, const std::string& after);
std::string WithoutSourceDisks(const std::string& text);

}  // namespace campaign
