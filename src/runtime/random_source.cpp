#include "runtime/random_source.h"

namespace quorvex {

std::uint64_t randomState = 1;

void seedRandom(std::uint32_t seed) {
    randomState = seed;
}

std::int32_t nextRandom() {
    randomState = stepRandomState(randomState);
    return randomOutput(randomState);
}

double uniformFromIndex(std::int32_t t) {
    // The double nearest to 1e-7 (0x3E7AD7F29ABCAF48), widened exactly.
    constexpr long double drawFactor = 0x1.ad7f29abcaf48p-24L;
    return static_cast<double>(static_cast<long double>(t) * drawFactor);
}

} // namespace quorvex
