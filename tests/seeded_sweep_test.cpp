// A seeded sweep: every row is the record simulate makes for its ratio from
// the same second, on any thread count, with the progress counter covering
// the whole sweep and the process's generator left alone.

#include "app/seeded_sweep.h"

#include <algorithm>
#include <atomic>
#include <cstdint>

#include <gtest/gtest.h>

#include "app/run_record.h"
#include "app/seeded_run.h"
#include "output/json_report.h"
#include "runtime/numeric_mode.h"
#include "runtime/random_source.h"

namespace quorvex::app {
namespace {

// Everything of a record but its histogram, how long it took and the threads.
std::string figuresOf(output::SimulationRecord record) {
    record.histogram.clear();
    return output::simulationJson(record);
}

TEST(SeededSweep, EachRowIsSimulatesRecordForItsRatioOnAnyThreadCount) {
    setNumericMode();
    // 1e-300 is played by the plain model (the kernels decline a deviation
    // scale below 1e-250), the others by the kernels; 0.95 twice.
    SweepRequest request{300, 100, 1700000000u, {}, {950, 1000}};
    for (const double ratio : {0.95, 0.5, 1.0, 1e-300, 0.99, 0.95})
        request.ratios.push_back({ratio, "r", "label"});
    const std::uint64_t before = 0x123456789ABCDEFULL;
    for (const int threads : {1, 3}) {
        randomState = before;
        RunControl control;
        const SeededSweep sweep = playSeededSweep(request, threads, &control);
        EXPECT_EQ(randomState, before);
        EXPECT_EQ(control.songsDoneNow(), 300 * 6);
        EXPECT_FALSE(sweep.faultedRatio.has_value());
        ASSERT_EQ(sweep.rows.size(), request.ratios.size());
        for (std::size_t i = 0; i < request.ratios.size(); ++i) {
            const RunRequest single{300, 100, request.ratios[i].value, request.seed};
            const output::SimulationRecord simulated =
                recordOfRun(single, {"r", 1, request.atLeast}, playSeededRun(single, 1));
            EXPECT_EQ(figuresOf(sweep.rows[i].run), figuresOf(simulated)) << request.ratios[i].value;
            EXPECT_EQ(sweep.rows[i].run.histogram.capacity(), 0U) << "no histogram is kept";
            EXPECT_EQ(sweep.rows[i].label, "label");
            // The plot's exact curve passes through every row's exact value.
            const auto& curve = sweep.exactAaaCurve;
            const auto at = std::find_if(curve.begin(), curve.end(), [&](const output::ExactAaaPoint& p) {
                return p.ratio == request.ratios[i].value;
            });
            ASSERT_NE(at, curve.end());
            EXPECT_EQ(at->chance, simulated.exact.aaaChance);
        }
        // 239 ratios evenly between 1e-300 and 1, of which 120/240 and
        // 228/240 are the rows' 0.5 and 0.95, and the 5 distinct rows.
        EXPECT_EQ(sweep.exactAaaCurve.size(), 242U);
        EXPECT_TRUE(std::is_sorted(sweep.exactAaaCurve.begin(), sweep.exactAaaCurve.end(),
                                   [](const auto& a, const auto& b) { return a.ratio < b.ratio; }));
    }
}

TEST(SeededSweep, TheSameSongsAtEveryRatio) {
    setNumericMode();
    // Common random numbers: the same ratio twice gives the same row, and a
    // ratio's row does not depend on its neighbours.
    const SweepRequest both{500, 50, 7, {{0.9, "0.9", "0.9"}, {0.97, "0.97", "0.97"}}, {}};
    const SweepRequest alone{500, 50, 7, {{0.97, "0.97", "0.97"}}, {}};
    EXPECT_EQ(figuresOf(playSeededSweep(both, 2).rows[1].run),
              figuresOf(playSeededSweep(alone, 2).rows[0].run));
}

} // namespace
} // namespace quorvex::app
