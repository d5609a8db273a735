// The campaign's one source of chance: a seeded stream with the few shapes
// it needs, the same on every run of the same seed.
#pragma once

#include <cstdint>
#include <random>
#include <string>

namespace campaign {

class Random {
public:
    explicit Random(std::uint64_t seed) : engine_(static_cast<std::mt19937_64::result_type>(seed)) {}

    // 0 to count - 1; 0 when count is 0.
    std::uint64_t Below(std::uint64_t count) { return count == 0 ? 0 : engine_() % count; }
    bool OneIn(std::uint64_t count) { return Below(count) == 0; }
    std::string Bytes(std::size_t count) {
        std::string bytes(count, '\0');
        for (char& byte : bytes) byte = static_cast<char>(engine_() & 0xFF);
        return bytes;
    }

private:
    std::mt19937_64 engine_;
};

}  // namespace campaign
