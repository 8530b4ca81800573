#include "output/exact_agreement.h"

#include <algorithm>
#include <cmath>

namespace quorvex::output {

namespace {

constexpr double z95 = 1.959963984540054; // the standard normal quantile at 0.975

// The generator's 2^31 outputs over the 10^7 draw indices.
constexpr double outputs = 2147483648.0;
constexpr double heavyIndices = 7483648; // indices from 215 outputs each
constexpr double lightIndices = 2516352; // indices from 214 outputs each

} // namespace

ExactAgreement exactAgreementOf(const SimulationRecord& run) {
    // 1. The chance of a marvelous step, at its lowest (the draws on the
    //    light indices first) and at its highest (on the heavy ones first).
    const double m = run.census.marvelousDraws;
    const double qLow = (214 * std::min(m, lightIndices) + 215 * std::max(0.0, m - lightIndices)) / outputs;
    const double qHigh = (215 * std::min(m, heavyIndices) + 214 * std::max(0.0, m - heavyIndices)) / outputs;
    // 2. The widest binomial spread over that range (largest nearest 1/2).
    const double qWidest = std::clamp(0.5, qLow, qHigh);
    const double songs = static_cast<double>(run.summary.songs);
    const double halfWidth = z95 * std::sqrt(run.steps * qWidest * (1 - qWidest) / songs);
    // 3. The band around both ends, never narrower than the exact value itself.
    const stats::Interval band{std::min(run.steps * qLow, run.exact.marvelousMean) - halfWidth,
                               std::max(run.steps * qHigh, run.exact.marvelousMean) + halfWidth};
    const double q = m / 1e7;
    return {run.summary.aaa.wilson95.contains(run.exact.aaaChance),
            run.summary.perfectScore.wilson95.contains(run.exact.perfectScoreChance), band,
            z95 * std::sqrt(run.steps * q * (1 - q) / songs), band.contains(run.summary.marvelousMean)};
}

} // namespace quorvex::output
