// The fault campaign: every flow, seed after seed, on a machine with a bad
// input and the virtual machine's seeded failures, judged for crashes,
// hangs, wrong endings, writes out of place and INF bytes no rule writes.
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
    const char* mainDialog;  // the user's script for the main dialog
    const char* mainEnding;  // the messages the main dialog may end with (judge.cpp)
};
const std::vector<Flow>& Flows();
const Flow* FindFlow(const std::string& name);

// The flow's machine: the plain one for seed 0, else with the seed's bad
// input and failure rate, which it returns for people to read.
std::string Build(const Flow& flow, std::uint32_t seed, vm::VirtualMachine& machine);

// Each broken promise of a run that did not hang, given the files before it.
std::vector<std::string> Judge(vm::VirtualMachine& machine, const std::vector<vm::FileSystem::Entry>& before,
                               const setupsim::RunResult& result, const Flow& flow);

enum class Verdict { Passed, Crashed, Hung, Violated };
const char* ToString(Verdict verdict);
struct Report {
    Verdict verdict = Verdict::Passed;
    std::vector<std::string> problems;
    std::uint64_t faults = 0;
};

// The run and its judgement. A crash, or a run past realSeconds of real
// time, ends the process naming the run ("options-vxd seed 7").
Report RunAndJudge(const Flow& flow, vm::VirtualMachine& machine, const std::string& run, unsigned realSeconds);

// From firstSeed on, every flow until `seeds` seeds or `seconds` are done
// (0: no limit); returns the seeds done.
using OnRun = std::function<void(const Flow&, std::uint32_t seed, const std::string& plan, const Report&)>;
std::uint64_t RunCampaign(const std::vector<const Flow*>& flows, std::uint32_t firstSeed, std::uint64_t seeds,
                          double seconds, const OnRun& onRun);

}  // namespace campaign
