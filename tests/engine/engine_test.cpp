// Whole runs: the engine folds exactly the songs the plain model plays, on one
// thread and on several, with every instruction set this processor runs, and
// leaves the generator where the plain model leaves it.
#include "sim/engine/engine.h"

#ifdef _WIN32
#include <windows.h>

#include <bit>
#else
#include <sched.h>
#endif

#include <atomic>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "evaluate_draws.h"
#include "runtime/numeric_mode.h"
#include "runtime/random_source.h"
#include "sim/engine/kernel.h"
#include "sim/engine/kernel_constants.h"
#include "sim/engine/plain_run.h"
#include "sim/step_model.h"

namespace quorvex {
namespace {

struct RunCase {
    std::int32_t songs;
    std::int32_t steps;
    double ratio;
    std::uint32_t seed;
};

struct RunResult {
    ScoreAggregate aggregate;
    ModelFault fault;
    std::uint64_t stateAfter;
};

RunResult playPlain(const RunCase& c) {
    const RunConstants constants = deriveRunConstants(c.steps, c.ratio).constants;
    RunResult result{{}, ModelFault::none, 0};
    seedRandom(c.seed);
    result.fault = runSongsPlain(c.songs, c.steps, constants, result.aggregate);
    result.stateAfter = randomState;
    return result;
}

RunResult playEngine(const RunCase& c, EngineOptions options) {
    const RunConstants constants = deriveRunConstants(c.steps, c.ratio).constants;
    RunResult result{{}, ModelFault::none, 0};
    seedRandom(c.seed);
    result.fault = runSongs(c.songs, c.steps, constants, result.aggregate, options);
    result.stateAfter = randomState;
    return result;
}

std::vector<EngineIsa> supportedIsas() {
    std::vector<EngineIsa> isas;
    for (EngineIsa isa : {EngineIsa::scalar, EngineIsa::avx2, EngineIsa::avx512})
        if (engineIsaSupported(isa))
            isas.push_back(isa);
    return isas;
}

void expectSameRun(const RunCase& c) {
    const RunResult plain = playPlain(c);
    for (EngineIsa isa : supportedIsas()) {
        for (int threads : {1, 3, 0}) {
            const RunResult engine = playEngine(c, {threads, isa});
            const auto where = ::testing::Message()
                               << c.songs << " songs x " << c.steps << " steps at " << c.ratio << ", seed "
                               << c.seed << ", isa " << static_cast<int>(isa) << ", threads " << threads;
            EXPECT_TRUE(engine.aggregate == plain.aggregate) << where;
            EXPECT_EQ(engine.fault, plain.fault) << where;
            EXPECT_EQ(engine.stateAfter, plain.stateAfter) << where;
        }
    }
}

class EngineRun : public ::testing::Test {
  protected:
    void SetUp() override { setNumericMode(); }
};

TEST_F(EngineRun, TypicalInputsMatchThePlainModel) {
    for (const RunCase& c : std::vector<RunCase>{{10, 400, 0.95, 1700000000u},
                                                 {1000, 100, 0.9, 12345u},
                                                 {3001, 7, 0.9, 1u},
                                                 {20001, 1, 0.5, 4294967295u},
                                                 {200, 1000, 0.99, 77u},
                                                 {333, 300, 0.9999999, 5u}})
        expectSameRun(c);
}

TEST_F(EngineRun, EdgeRatiosMatchThePlainModel) {
    // Ratio 1: the lowest draws give w of exactly 1.0, left to the exact path.
    // Negative and tiny ratios, and one beyond 1, run with the same kernels.
    for (const RunCase& c : std::vector<RunCase>{{500, 100, 1.0, 9u},
                                                 {500, 100, -0.95, 10u},
                                                 {300, 100, 1e-3, 11u},
                                                 {300, 100, 2.0, 12u},
                                                 {2000, 1, 1.0, 13u}})
        expectSameRun(c);
}

TEST_F(EngineRun, ManyOneStepSongsCountedInBulkMatchThePlainModel) {
    // From 2^21 one-step songs a run is counted per interval of equal
    // result; 2^21 + 3 songs are 8 chunks and a few songs more.
    constexpr std::int32_t songs = (1 << 21) + 3;
    for (const RunCase& c : std::vector<RunCase>{{songs, 1, 0.5, 51u},
                                                 {songs, 1, 0.95, 52u},
                                                 {songs, 1, -0.95, 53u},
                                                 {songs, 1, 1e-3, 54u},
                                                 {songs, 1, 1.0, 55u}})
        expectSameRun(c);
}

TEST_F(EngineRun, SongsAcrossBatchesWithManyUnsettledDrawsMatchThePlainModel) {
    // Songs of 64 steps and more are folded as their draws are judged, in
    // batches of 1024 draws: songs that end inside a batch, span batches or
    // are longer than one, with ratio 1e-3 leaving about one draw in 450 to
    // the exact path, several in most songs; and the step counts either side
    // of where the kernels switch to that pass.
    for (const RunCase& c : std::vector<RunCase>{{2000, 300, 1e-3, 61u},
                                                 {40, 4097, 1e-3, 62u},
                                                 {300, 1023, 0.5, 63u},
                                                 {3000, 63, 0.9, 64u},
                                                 {3000, 64, 0.9, 65u},
                                                 {3000, 99, 0.9, 66u},
                                                 {3000, 100, 0.9, 67u}})
        expectSameRun(c);
}

TEST_F(EngineRun, FewSongsOfManyStepsMatchThePlainModel) {
    // Fewer songs than threads and lanes; songs straddle many kernel blocks.
    expectSameRun({3, 100000, 0.95, 21u});
    expectSameRun({1, 250000, 0.9, 22u});
}

TEST_F(EngineRun, SongCountsNotDividingTheChunks) {
    // 2^18 draws make a chunk: 2622 songs of 100 steps are a chunk and a bit.
    expectSameRun({2622 * 2 + 7, 100, 0.95, 31u});
}

TEST_F(EngineRun, NoDrawRuns) {
    // Negative step counts play songs of (0, 0, true) without drawing.
    expectSameRun({25, -5, 0.95, 41u});
    expectSameRun({0, 400, 0.95, 42u});
    expectSameRun({-3, 400, 0.95, 43u});
    const RunResult negative = playEngine({25, -5, 0.95, 41u}, {});
    EXPECT_EQ(negative.aggregate.frequency[0], 25);
    EXPECT_EQ(negative.aggregate.aaaCount[0], 25);
    EXPECT_EQ(negative.stateAfter, 41u);
}

TEST_F(EngineRun, MarvelousSumsAndProgressCountEverySong) {
    // The marvelous sums are checked against songs played one by one here,
    // not against the aggregate's own record; the progress counter ends at
    // the song count on every path (kernels, plain model, songs of no steps).
    for (const RunCase& c :
         std::vector<RunCase>{{2622 + 9, 100, 0.95, 71u}, {40, 100, 1e-260, 72u}, {9, -4, 0.9, 73u}}) {
        const RunConstants constants = deriveRunConstants(c.steps, c.ratio).constants;
        seedRandom(c.seed);
        std::vector<std::int64_t> expected(ScoreAggregate::denseScores, 0);
        for (std::int32_t song = 0; song < c.songs; ++song) {
            const SongResult result = simulateSong(c.steps, constants).result;
            expected[static_cast<std::size_t>(result.songScore)] += result.marvelousCount;
        }
        std::atomic<std::int64_t> songsDone{0};
        EngineOptions options;
        options.songsDone = &songsDone;
        const RunResult engine = playEngine(c, options);
        for (std::size_t s = 0; s < expected.size(); ++s)
            EXPECT_EQ(engine.aggregate.marvelousSum[s], expected[s]) << "score " << s << ", seed " << c.seed;
        EXPECT_EQ(songsDone.load(), c.songs) << "seed " << c.seed;
    }
}

TEST_F(EngineRun, FaultingScaleDrawsNothing) {
    // A zero or NaN deviationScale faults at the first step, as in the plain model.
    for (double ratio : {0.0, std::numeric_limits<double>::quiet_NaN(), 6e15}) {
        const RunResult engine = playEngine({5, 10, ratio, 51u}, {});
        EXPECT_EQ(engine.fault, ModelFault::unusableDeviationScale) << ratio;
        EXPECT_EQ(engine.stateAfter, 51u) << ratio;
        EXPECT_EQ(engine.aggregate.songCount(), 0) << ratio;
    }
    EXPECT_EQ(playEngine({5, -10, 0.0, 51u}, {}).fault, ModelFault::none);
}

TEST_F(EngineRun, DeclinedConstantsStillMatchThePlainModel) {
    // A tiny |deviationScale| lies outside the kernels' range: declined.
    const RunConstants tiny = deriveRunConstants(100, 1e-260).constants;
    EXPECT_FALSE(kernelConstantsFor(100, tiny).has_value());
    expectSameRun({50, 100, 1e-260, 61u});
    // A stepValue whose fraction is within 2^-30 of 1 is declined too.
    RunConstants nearCarry = deriveRunConstants(100, 0.9).constants;
    nearCarry.stepValue = 1000000.0L - 0x1p-40L;
    EXPECT_FALSE(kernelConstantsFor(100, nearCarry).has_value());
    EXPECT_TRUE(kernelConstantsFor(100, deriveRunConstants(100, 0.9).constants).has_value());
    EXPECT_TRUE(kernelConstantsFor(7, deriveRunConstants(7, 0.9).constants).has_value());
}

TEST_F(EngineRun, ThreadCountFollowsTheAffinityMask) {
#ifdef _WIN32
    DWORD_PTR process = 0, system = 0;
    ASSERT_NE(::GetProcessAffinityMask(::GetCurrentProcess(), &process, &system), 0);
    EXPECT_EQ(affinityThreadCount(), std::popcount(static_cast<std::uint64_t>(process)));
#else
    cpu_set_t set;
    CPU_ZERO(&set);
    ASSERT_EQ(sched_getaffinity(0, sizeof set, &set), 0);
    EXPECT_EQ(affinityThreadCount(), CPU_COUNT(&set));
#endif
}

TEST_F(EngineRun, StreamDrawIndicesAreTheOutputsModulo10To7) {
    // Each lane's state is chosen so that its output g sits next to a
    // multiple of 10^7 (where a quotient formed in floating point is most
    // easily off by one) or at the ends of the range; bit 63 and the low
    // word, which the output ignores, are set in some lanes. The stream's
    // code for g must be the code of draw index g mod 10^7, its draw index
    // stream must give g mod 10^7, and each lane must advance by the stride.
    const RunConstants constants = deriveRunConstants(400, 0.9).constants;
    const KernelConstants kc = *kernelConstantsFor(400, constants);
    std::vector<std::int64_t> outputs;
    for (std::int64_t multiple = 0; multiple <= 214; ++multiple)
        for (std::int64_t offset = -300; offset <= 300; ++offset)
            if (const std::int64_t g = multiple * drawModulus + offset; g >= 0 && g <= 0x7FFFFFFF)
                outputs.push_back(g);
    for (std::int64_t g = 0x7FFFFFFF - 300; g <= 0x7FFFFFFF; ++g)
        outputs.push_back(g);
    for (EngineIsa isa : supportedIsas()) {
        const KernelSet& kernels = kernelsFor(isa);
        const std::size_t lanes = kernels.lanes;
        const RandomJump stride = randomJump(lanes);
        std::vector<std::uint64_t> states(lanes), before(lanes);
        std::vector<std::int32_t> codes(lanes + 1), indices(lanes), expected(lanes), drawn(lanes);
        std::int64_t mismatches = 0, stateMismatches = 0;
        for (std::size_t first = 0; first + lanes <= outputs.size(); first += lanes) {
            for (std::size_t i = 0; i < lanes; ++i) {
                const auto g = static_cast<std::uint64_t>(outputs[first + i]);
                before[i] = states[i] = (g << 32) | ((i & 1) ? 0x8000000000000000ULL | (first + i) : 0);
                indices[i] = static_cast<std::int32_t>(g % drawModulus);
            }
            kernels.evaluateStream(states.data(), stride, codes.data(), 1, kc);
            evaluateDraws(isa, indices.data(), lanes, kc, expected.data());
            for (std::size_t i = 0; i < lanes; ++i) {
                mismatches += codes[i] != expected[i];
                stateMismatches += states[i] != before[i] * stride.multiplier + stride.increment;
            }
            // The draw indices alone, from the same states.
            states = before;
            kernels.drawIndexStream(states.data(), stride, drawn.data(), 1);
            for (std::size_t i = 0; i < lanes; ++i) {
                mismatches += drawn[i] != indices[i];
                stateMismatches += states[i] != before[i] * stride.multiplier + stride.increment;
            }
        }
        EXPECT_EQ(mismatches, 0) << "isa " << static_cast<int>(isa);
        EXPECT_EQ(stateMismatches, 0) << "isa " << static_cast<int>(isa);
    }
}

TEST_F(EngineRun, UnsupportedIsaFallsBackToTheBest) {
    EXPECT_TRUE(engineIsaSupported(bestEngineIsa()));
    EXPECT_EQ(&kernelsFor(EngineIsa::automatic), &kernelsFor(bestEngineIsa()));
    if (!engineIsaSupported(EngineIsa::avx512)) {
        EXPECT_EQ(&kernelsFor(EngineIsa::avx512), &kernelsFor(bestEngineIsa()));
    }
}

} // namespace
} // namespace quorvex
