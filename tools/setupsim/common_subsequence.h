// The longest common subsequence of two sequences, in memory that grows with
// their lengths (not their product) and time that grows with the lengths
// times the number of elements left unpaired: two long logs that differ in
// a few places compare at once.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace setupsim {

using Pairs = std::vector<std::pair<std::size_t, std::size_t>>;

// The (i, j) with a[i] == b[j] of a longest common subsequence, both indexes
// increasing. nullopt when more than maxUnpaired elements of the two would
// be left without a partner: the search stops there.
std::optional<Pairs> CommonSubsequence(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b,
                                       std::size_t maxUnpaired);

}  // namespace setupsim
