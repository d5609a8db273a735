#include "setupsim/common_subsequence.h"

#include <algorithm>

namespace setupsim {

namespace {

// Myers' difference algorithm, linear-space: the middle snake of an edit
// path splits the problem in two, each with half the differences.
class Matcher {
public:
    Matcher(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b, std::size_t maxUnpaired)
        : a_(a), b_(b), maxUnpaired_(static_cast<long>(maxUnpaired)) {}

    bool Match(long a0, long a1, long b0, long b1, Pairs& pairs) {
        while (a0 < a1 && b0 < b1 && a_[a0] == b_[b0]) pairs.emplace_back(a0++, b0++);
        long tail = 0;
        while (a1 > a0 && b1 > b0 && a_[a1 - 1] == b_[b1 - 1]) --a1, --b1, ++tail;
        if (a0 < a1 && b0 < b1) {
            // Both sides left differ at both ends, so at least two elements
            // go unpaired and each half has fewer than the whole.
            const std::optional<Snake> snake = MiddleSnake(a0, a1, b0, b1);
            if (!snake || !Match(a0, snake->x, b0, snake->y, pairs)) return false;
            for (long x = snake->x, y = snake->y; x < snake->u; ++x, ++y) pairs.emplace_back(x, y);
            if (!Match(snake->u, a1, snake->v, b1, pairs)) return false;
        }
        for (long k = 0; k < tail; ++k) pairs.emplace_back(a1 + k, b1 + k);
        return true;
    }

private:
    struct Snake {
        long x, y, u, v;  // from (x, y) to (u, v), equal elements all the way
    };

    // The furthest-reaching paths from both corners, one difference more
    // each round, until they overlap; nullopt past the allowed differences.
    std::optional<Snake> MiddleSnake(long a0, long a1, long b0, long b1) {
        const long n = a1 - a0, m = b1 - b0, delta = n - m, limit = (n + m + 1) / 2;
        const bool odd = (delta & 1) != 0;
        std::vector<long> forward(2 * limit + 3, 0), backward(2 * limit + 3, 0);
        const auto at = [limit](long k) { return static_cast<std::size_t>(k + limit + 1); };
        for (long d = 0; d <= limit; ++d) {
            if (2 * d - 1 > maxUnpaired_) return std::nullopt;
            for (long k = -d; k <= d; k += 2) {
                long x = k == -d || (k != d && forward[at(k - 1)] < forward[at(k + 1)]) ? forward[at(k + 1)] : forward[at(k - 1)] + 1;
                const long x0 = x, y0 = x - k;
                while (x < n && x - k < m && a_[a0 + x] == b_[b0 + x - k]) ++x;
                forward[at(k)] = x;
                const long reverse = delta - k;
                if (odd && reverse >= -(d - 1) && reverse <= d - 1 && x + backward[at(reverse)] >= n) {
                    return Snake{a0 + x0, b0 + y0, a0 + x, b0 + x - k};
                }
            }
            for (long k = -d; k <= d; k += 2) {
                long x = k == -d || (k != d && backward[at(k - 1)] < backward[at(k + 1)]) ? backward[at(k + 1)] : backward[at(k - 1)] + 1;
                const long x0 = x, y0 = x - k;
                while (x < n && x - k < m && a_[a1 - 1 - x] == b_[b1 - 1 - (x - k)]) ++x;
                backward[at(k)] = x;
                const long ahead = delta - k;
                if (!odd && ahead >= -d && ahead <= d && x + forward[at(ahead)] >= n) {
                    return Snake{a1 - x, b1 - (x - k), a1 - x0, b1 - y0};
                }
            }
        }
        return std::nullopt;
    }

    const std::vector<std::uint32_t>& a_;
    const std::vector<std::uint32_t>& b_;
    const long maxUnpaired_;
};

}  // namespace

std::optional<Pairs> CommonSubsequence(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b,
                                       std::size_t maxUnpaired) {
    Pairs pairs;
    Matcher matcher(a, b, maxUnpaired);
    if (!matcher.Match(0, static_cast<long>(a.size()), 0, static_cast<long>(b.size()), pairs)) return std::nullopt;
    return pairs;
}

}  // namespace setupsim
