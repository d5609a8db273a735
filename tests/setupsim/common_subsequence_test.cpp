// The common subsequence behind setupsim diff: as long as the quadratic
// table's on every small pair of sequences, and linear in memory on long ones.
#include "setupsim/common_subsequence.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using setupsim::CommonSubsequence;

std::size_t LongestByTable(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    std::vector<std::vector<std::size_t>> table(a.size() + 1, std::vector<std::size_t>(b.size() + 1, 0));
    for (std::size_t i = a.size(); i-- > 0;) {
        for (std::size_t j = b.size(); j-- > 0;) table[i][j] = a[i] == b[j] ? table[i + 1][j + 1] + 1 : std::max(table[i + 1][j], table[i][j + 1]);
    }
    return table[0][0];
}

TEST(CommonSubsequence, AsLongAsTheTablesOnRandomSequences) {
    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::uint32_t> a(random() % 14), b(random() % 14);
        const std::uint32_t letters = 1 + random() % 4;
        for (auto& x : a) x = random() % letters;
        for (auto& x : b) x = random() % letters;
        const auto pairs = CommonSubsequence(a, b, 100);
        ASSERT_TRUE(pairs.has_value());
        EXPECT_EQ(pairs->size(), LongestByTable(a, b)) << round;
        for (std::size_t k = 0; k < pairs->size(); ++k) {
            const auto [i, j] = (*pairs)[k];
            ASSERT_EQ(a.at(i), b.at(j)) << round;
            EXPECT_TRUE(k == 0 || (i > (*pairs)[k - 1].first && j > (*pairs)[k - 1].second)) << round;
        }
    }
}

TEST(CommonSubsequence, LongSequencesThatDifferAtBothEndsAndTooManyDifferences) {
    std::vector<std::uint32_t> a(1000000), b;
    for (std::uint32_t i = 0; i < a.size(); ++i) a[i] = i;
    b = a;
    b.front() = b.back() = 7;  // a table of the two would take four terabytes
    const auto pairs = CommonSubsequence(a, b, 10);
    ASSERT_TRUE(pairs.has_value());
    EXPECT_EQ(pairs->size(), a.size() - 2);
    EXPECT_EQ(CommonSubsequence(a, std::vector<std::uint32_t>(6, 5000000), 10), std::nullopt);  // 1,000,006 unpaired
    EXPECT_TRUE(CommonSubsequence(std::vector<std::uint32_t>(5, 1), std::vector<std::uint32_t>(5, 2), 10).has_value());
    EXPECT_FALSE(CommonSubsequence(std::vector<std::uint32_t>(6, 1), std::vector<std::uint32_t>(6, 2), 10).has_value());
}

}  // namespace
