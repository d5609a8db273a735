// A log written by setup.exe on a real system held against the prediction:
// effect by effect, times left out, and what a real system names its own
// way (short-name aliases, the case of letters) made alike.
#pragma once

#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "platform/journal/journal.h"

namespace setupsim {

struct LogDifference {
    std::size_t predictedAt = 0;  // index among the predicted effects where it happens
    std::string predicted;        // "" when the log has an effect the prediction lacks
    std::string logged;           // "" when the log lacks a predicted effect
};

struct LogComparison {
    std::size_t predictedEffects = 0;
    std::size_t loggedEffects = 0;
    std::vector<LogDifference> differences;  // in order; empty when they agree
};

// A path component such as "PROGRA~1" or "PROG~FBU" becomes "~".
std::string WithoutShortNames(const std::string& text);

// The log's effects, one a line as the journal writes them; blank lines are
// skipped, and reading stops at the first line that is not one.
struct LogLines {
    std::vector<std::string> effects;  // descriptions, without times
    std::size_t badLine = 0;           // 1-based; 0 when every line was read
};
LogLines ReadLog(std::istream& log);

// Beyond this many effects without a partner the two are too far apart
// for a pairing to tell support anything.
constexpr std::size_t kMostDifferences = 5000;

// A predicted effect and a logged one that differ side by side make one
// difference with both; one side alone is an effect the other lacks.
// nullopt when more than kMostDifferences effects have no partner. Effects
// of an `ignored` kind ("set attributes") are left out on both sides.
std::optional<LogComparison> CompareWithLog(const std::vector<platform::JournalEntry>& predicted,
                                            const std::vector<std::string>& logged,
                                            const std::vector<std::string>& ignored = {});

}  // namespace setupsim
