// How a run ended, judged against the outcome the program chose: the
// restart request after the final message, a refusal message, the silent
// end or the hand-over, and nothing done after the restart was asked for.
#pragma once

#include <string>
#include <vector>

#include "campaign/scenario.h"
#include "platform/vm/journal.h"
#include "setupsim/runner.h"

namespace campaign {

// Each problem found, for people to read. A hung run is no concern of
// this check.
std::vector<std::string> CheckEnding(const setupsim::RunResult& result, const vm::Journal& journal,
                                     MainDialogPlan plan);

}  // namespace campaign
