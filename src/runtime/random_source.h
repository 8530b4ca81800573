#pragma once

#include <cstdint>

namespace quorvex {

// The process-wide 64-bit linear congruential generator:
//   state <- state * 0x0000015A00004E35 + 1  (mod 2^64),
// output = bits 32..62 of the new state. It holds 1 until seeded.
inline constexpr std::uint64_t randomMultiplier = 0x0000015A00004E35ULL;
inline constexpr std::uint64_t randomIncrement = 1;

extern std::uint64_t randomState;

// Replaces the whole state: low word = seed, high word = 0.
void seedRandom(std::uint32_t seed);

// Advances the state one step and returns a value in 0..2147483647.
std::int32_t nextRandom();

// One generator step on an explicit state.
constexpr std::uint64_t stepRandomState(std::uint64_t state) {
    return state * randomMultiplier + randomIncrement;
}

// The output a state yields once it has been stepped to.
constexpr std::int32_t randomOutput(std::uint64_t state) {
    return static_cast<std::int32_t>((state >> 32) & 0x7FFFFFFFu);
}

// The affine map state -> a*state + c (mod 2^64) equal to n generator steps.
struct RandomJump {
    std::uint64_t multiplier;
    std::uint64_t increment;
};

// Composes n steps in O(log n) by repeated squaring of the affine map
// (Brown, "Random number generation with arbitrary strides", 1994).
constexpr RandomJump randomJump(std::uint64_t n) {
    std::uint64_t accMult = 1, accInc = 0;
    std::uint64_t curMult = randomMultiplier, curInc = randomIncrement;
    while (n > 0) {
        if (n & 1) {
            accMult *= curMult;
            accInc = accInc * curMult + curInc;
        }
        curInc = (curMult + 1) * curInc;
        curMult *= curMult;
        n >>= 1;
    }
    return {accMult, accInc};
}

// A state advanced by n steps.
constexpr std::uint64_t advanceRandomState(std::uint64_t state, std::uint64_t n) {
    const RandomJump jump = randomJump(n);
    return state * jump.multiplier + jump.increment;
}

// The uniform draw of a step: t = g mod 10000000 for a generator output g.
inline constexpr std::int32_t drawModulus = 10000000;

constexpr std::int32_t drawIndex(std::int32_t output) {
    return output % drawModulus;
}

// u = t * 1e-7, where 1e-7 is the double nearest to it: the exact product is
// rounded to a 64-bit significand, then to a double. Both roundings count.
double uniformFromIndex(std::int32_t t);

} // namespace quorvex
