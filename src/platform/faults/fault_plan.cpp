#include "platform/faults/fault_plan.h"

namespace platform {

void FaultPlan::SetRandom(double probability, std::uint32_t seed) {
    random_.emplace(probability);
    engine_.seed(seed);
}

bool FaultPlan::Fails(const char* operation, std::uint64_t& call) {
    call = ++calls_[operation];
    bool fail = false;
    for (const FaultRule& rule : rules_) {
        if ((rule.operation == "*" || rule.operation == operation) && (rule.nthCall == 0 || rule.nthCall == call)) fail = true;
    }
    if (!fail && random_) fail = (*random_)(engine_);
    injected_ += fail;
    return fail;
}

}  // namespace platform
