#pragma once

#include <cstdint>

#include "sim/step_model.h"

namespace quorvex {

// The engine's verdict on one draw, packed in 32 bits.
//
// A settled draw (bit 31 clear) holds the points the step adds to ANY running
// total a song can reach (bits 0..26), whether it is marvelous (bit 27) and
// whether it clears the AAA flag (bit 28).
//
// An unsettled draw (bit 31 set) is one whose fast evaluation lies within its
// error bound of a decision; it holds the draw index t (bits 0..23) and must be
// judged again exactly, with the running total before it: its argument (u or
// x) may not be the model's double, or its points lie near an integer or a
// carry. Marvelous and AAA verdicts are exact, never unsettled: they follow
// from the draw index alone.
namespace stepcode {
inline constexpr std::uint32_t incrementMask = (1u << 27) - 1;
inline constexpr std::uint32_t marvelousBit = 1u << 27;
inline constexpr std::uint32_t breaksAaaBit = 1u << 28;
inline constexpr std::uint32_t unsettledBit = 1u << 31;
inline constexpr std::uint32_t drawIndexMask = (1u << 24) - 1;

constexpr bool unsettled(std::int32_t code) {
    return (static_cast<std::uint32_t>(code) & unsettledBit) != 0;
}
constexpr std::int32_t increment(std::int32_t code) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(code) & incrementMask);
}
constexpr std::int32_t drawIndexOf(std::int32_t code) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(code) & drawIndexMask);
}
} // namespace stepcode

// The state of a song after one more step.
struct StepOutcome {
    std::int32_t points;
    bool marvelous;
    bool breaksAaa;
    friend bool operator==(const StepOutcome&, const StepOutcome&) = default;
};

// Applies one packed verdict to a running total: a settled one by adding its
// points, an unsettled one by the plain model's judgeStep and pointsAfterStep.
StepOutcome applyStepCode(std::int32_t code, std::int32_t points, const RunConstants& constants);

} // namespace quorvex
