#pragma once

#include <cstdint>

namespace quorvex {

// Constants derived once per run from the typed step count and perfect ratio.
struct RunConstants {
    double deviationScale; // tan(pi * 0.5 * ratio), stored as a double
    long double stepValue; // 100000000 / steps, kept in extended precision
};

// Inputs the model cannot run with. The reference machine would fault on
// them; here they are reported to the caller instead.
enum class ModelFault {
    none,
    zeroStepCount,         // 100000000 / 0 while deriving stepValue
    unusableDeviationScale // deviationScale 0 or NaN while a step is to run
};

struct RunConstantsOutcome {
    RunConstants constants;
    ModelFault fault;
};

// pi as the model uses it: the double 3.141592653589793.
inline constexpr double modelPi = 3.141592653589793;

inline constexpr std::int32_t scoreDivisor = 100000;

// Derives deviationScale and stepValue. A step count of 0 is a fault; a ratio
// that yields an unusable deviationScale is reported later, by the first song
// that has a step to run, as the reference faults only there.
RunConstantsOutcome deriveRunConstants(std::int32_t steps, double perfectRatio);

struct SongResult {
    std::int32_t songScore;
    std::int32_t marvelousCount;
    bool aaaFlag;
    friend bool operator==(const SongResult&, const SongResult&) = default;
};

struct SongOutcome {
    SongResult result;
    ModelFault fault;
};

// True when a step cannot be judged with these constants (deviationScale 0 or
// NaN): the reference divides by zero or compares a NaN there.
bool deviationScaleUnusable(const RunConstants& constants);

// The judgement of one step, given its draw index t (0..9999999).
struct StepJudgement {
    double deviation; // w, the absolute deviation, as stored
    bool marvelous;   // w <= 0.25
    bool breaksAaa;   // w > 1.0
};
StepJudgement judgeStep(std::int32_t t, const RunConstants& constants);

// The running point total after a step judged as given.
std::int32_t pointsAfterStep(std::int32_t points, const StepJudgement& step, const RunConstants& constants);

// Plays one song of `steps` steps, drawing from the process-wide random source.
// A step count of 0 or less plays no step and yields (0, 0, true).
SongOutcome simulateSong(std::int32_t steps, const RunConstants& constants);

// The same song drawn from `state`, a generator state held by the caller,
// which is left past the song's draws; the process-wide source is untouched.
SongOutcome simulateSongFrom(std::uint64_t& state, std::int32_t steps, const RunConstants& constants);

} // namespace quorvex
