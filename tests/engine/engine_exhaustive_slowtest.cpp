// Every draw index 0..9999999, for several perfect ratios and step counts: the
// engine's verdict on the step (after the exact redo of unsettled draws, as
// applyStepCode does it) equals the plain model's judgement and points, at
// several running totals. The marvelous and AAA verdicts come from the run's
// draw intervals, the points from the vector tangent: both are checked for
// every draw, with the best kernels this processor runs; every other kernel
// must give the very same codes. The intervals by which one-step songs are
// counted in bulk must give every draw its one-step song's result, with
// every kernel. Prints how many draws each run leaves unsettled.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "evaluate_draws.h"
#include "runtime/numeric_mode.h"
#include "runtime/random_source.h"
#include "sim/engine/engine.h"
#include "sim/engine/kernel_constants.h"
#include "sim/engine/one_step_songs.h"
#include "sim/engine/step_code.h"
#include "sim/step_model.h"

namespace quorvex {
namespace {

constexpr std::int32_t stepCounts[] = {1, 7, 300, 400, 1000};
constexpr std::size_t stepCaseCount = std::size(stepCounts);

struct Tally {
    std::int64_t unsettled[stepCaseCount] = {};
    std::int64_t mismatches = 0;
    std::int32_t firstMismatch = -1;
    std::int64_t otherKernelDifferences = 0;
    std::int64_t oneStepMismatches = 0;
    std::int32_t firstOneStepMismatch = -1;
};

std::vector<EngineIsa> supportedIsas() {
    std::vector<EngineIsa> isas;
    for (EngineIsa isa : {EngineIsa::scalar, EngineIsa::avx2, EngineIsa::avx512})
        if (engineIsaSupported(isa))
            isas.push_back(isa);
    return isas;
}

// Running totals a song can hold before a step: empty, arbitrary, just below a
// score boundary, and the highest from which one more step still fits.
std::vector<std::int32_t> totalsFor(const RunConstants& c) {
    const auto highest = static_cast<std::int32_t>(100000000.0L - std::ceil(c.stepValue));
    return {0, 12345, 4999999, std::max(0, highest)};
}

Tally sweep(EngineIsa isa, double ratio, const std::vector<OneStepSongs>& oneStepSongs, std::int32_t begin,
            std::int32_t end) {
    setNumericMode();
    Tally tally;
    RunConstants constants[stepCaseCount];
    KernelConstants kernel[stepCaseCount];
    std::vector<std::int32_t> totals[stepCaseCount];
    for (std::size_t s = 0; s < stepCaseCount; ++s) {
        constants[s] = deriveRunConstants(stepCounts[s], ratio).constants;
        kernel[s] = *kernelConstantsFor(stepCounts[s], constants[s]);
        totals[s] = totalsFor(constants[s]);
    }
    constexpr std::int32_t batch = 1 << 14;
    std::vector<std::int32_t> indices(batch), codes(batch), otherCodes(batch);
    std::vector<StepJudgement> judged(batch);
    for (std::int32_t base = begin; base < end; base += batch) {
        const std::int32_t count = std::min(batch, end - base);
        // The judgement depends on the ratio alone: once per draw.
        for (std::int32_t i = 0; i < count; ++i) {
            indices[static_cast<std::size_t>(i)] = base + i;
            judged[static_cast<std::size_t>(i)] = judgeStep(base + i, constants[0]);
        }
        for (std::size_t s = 0; s < stepCaseCount; ++s) {
            evaluateDraws(isa, indices.data(), static_cast<std::size_t>(count), kernel[s], codes.data());
            for (std::int32_t i = 0; i < count; ++i) {
                const std::int32_t code = codes[static_cast<std::size_t>(i)];
                const StepJudgement& j = judged[static_cast<std::size_t>(i)];
                if (stepcode::unsettled(code))
                    ++tally.unsettled[s];
                for (std::int32_t points : totals[s]) {
                    const StepOutcome expected{pointsAfterStep(points, j, constants[s]), j.marvelous,
                                               j.breaksAaa && !j.marvelous};
                    if (applyStepCode(code, points, constants[s]) != expected) {
                        if (tally.mismatches++ == 0)
                            tally.firstMismatch = base + i;
                    }
                }
            }
            for (EngineIsa other : supportedIsas()) {
                if (other == isa)
                    continue;
                evaluateDraws(other, indices.data(), static_cast<std::size_t>(count), kernel[s],
                              otherCodes.data());
                for (std::int32_t i = 0; i < count; ++i)
                    tally.otherKernelDifferences +=
                        otherCodes[static_cast<std::size_t>(i)] != codes[static_cast<std::size_t>(i)];
            }
        }
        // One-step songs (stepCounts[0] is 1): the interval's result against
        // the plain model's song.
        for (std::int32_t i = 0; i < count; ++i) {
            const StepJudgement& j = judged[static_cast<std::size_t>(i)];
            const SongResult expected{pointsAfterStep(0, j, constants[0]) / scoreDivisor, j.marvelous ? 1 : 0,
                                      j.marvelous || !j.breaksAaa};
            for (const OneStepSongs& intervals : oneStepSongs)
                if (intervals.result(intervals.intervalOf(base + i)) != expected &&
                    tally.oneStepMismatches++ == 0)
                    tally.firstOneStepMismatch = base + i;
        }
    }
    return tally;
}

void checkRatio(double ratio) {
    const EngineIsa isa = bestEngineIsa();
    setNumericMode();
    const RunConstants oneStep = deriveRunConstants(1, ratio).constants;
    std::vector<OneStepSongs> oneStepSongs;
    for (EngineIsa kernels : supportedIsas())
        oneStepSongs.emplace_back(kernelsFor(kernels), *kernelConstantsFor(1, oneStep), oneStep);
    const int threads = std::max(1, affinityThreadCount());
    std::vector<Tally> parts(static_cast<std::size_t>(threads));
    std::vector<std::thread> pool;
    for (int k = 0; k < threads; ++k) {
        const auto begin = static_cast<std::int32_t>(std::int64_t{drawModulus} * k / threads);
        const auto end = static_cast<std::int32_t>(std::int64_t{drawModulus} * (k + 1) / threads);
        pool.emplace_back([&, k, begin, end] {
            parts[static_cast<std::size_t>(k)] = sweep(isa, ratio, oneStepSongs, begin, end);
        });
    }
    for (std::thread& thread : pool)
        thread.join();
    Tally total;
    for (const Tally& part : parts) {
        for (std::size_t s = 0; s < stepCaseCount; ++s)
            total.unsettled[s] += part.unsettled[s];
        if (part.mismatches > 0 && total.firstMismatch < 0)
            total.firstMismatch = part.firstMismatch;
        total.mismatches += part.mismatches;
        total.otherKernelDifferences += part.otherKernelDifferences;
        if (part.oneStepMismatches > 0 && total.firstOneStepMismatch < 0)
            total.firstOneStepMismatch = part.firstOneStepMismatch;
        total.oneStepMismatches += part.oneStepMismatches;
    }
    std::printf("ratio %-10.8g unsettled draws of 10^7 for steps 1/7/300/400/1000:", ratio);
    for (std::int64_t n : total.unsettled)
        std::printf(" %lld", static_cast<long long>(n));
    std::printf("; one-step intervals: %zu\n", oneStepSongs.front().intervalCount());
    EXPECT_EQ(total.mismatches, 0) << "first differing draw index " << total.firstMismatch;
    EXPECT_EQ(total.otherKernelDifferences, 0) << "another kernel's codes differ from the best kernel's";
    EXPECT_EQ(total.oneStepMismatches, 0)
        << "one-step interval result differs at draw index " << total.firstOneStepMismatch;
}

TEST(EngineExhaustive, Ratio0_5) {
    checkRatio(0.5);
}
TEST(EngineExhaustive, Ratio0_9) {
    checkRatio(0.9);
}
TEST(EngineExhaustive, Ratio0_95) {
    checkRatio(0.95);
}
TEST(EngineExhaustive, Ratio0_99) {
    checkRatio(0.99);
}
TEST(EngineExhaustive, Ratio0_9999999) {
    checkRatio(0.9999999);
}
TEST(EngineExhaustive, Ratio1) {
    checkRatio(1.0);
}
TEST(EngineExhaustive, RatioMinus0_95) {
    checkRatio(-0.95);
}
TEST(EngineExhaustive, Ratio1e_3) {
    checkRatio(1e-3);
}

} // namespace
} // namespace quorvex
