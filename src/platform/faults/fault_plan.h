// Which platform calls fail on purpose: an operation's n-th call or every
// one, or every call of every operation at random with a seed. It counts the
// calls of each operation and the failures it decides.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace platform {

struct FaultRule {
    std::string operation;      // a platform operation's name, or "*"
    std::uint64_t nthCall = 0;  // 0: every call; n: only the n-th
};

class FaultPlan {
public:
    std::vector<FaultRule>& Rules() { return rules_; }
    // Every call of every operation fails with this probability.
    void SetRandom(double probability, std::uint32_t seed);
    bool Empty() const { return rules_.empty() && !random_; }

    // Counts a call of the operation (its number in `call`); true when it
    // is to fail.
    bool Fails(const char* operation, std::uint64_t& call);
    std::uint64_t Injected() const { return injected_; }

private:
    std::vector<FaultRule> rules_;
    std::map<std::string, std::uint64_t> calls_;
    std::optional<std::bernoulli_distribution> random_;
    std::mt19937 engine_;
    std::uint64_t injected_ = 0;
};

}  // namespace platform
