// A run's journal and changes, for people and for programs.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "setupsim/runner.h"

namespace setupsim {

std::string TextReport(vm::VirtualMachine& machine, const RunResult& result);
nlohmann::json JsonReport(vm::VirtualMachine& machine, const RunResult& result);

}  // namespace setupsim
