#include "output/exact_agreement.h"

#include <cmath>

namespace quorvex::output {

namespace {

constexpr double z95 = 1.959963984540054; // the standard normal quantile at 0.975
constexpr double generatorOutputs = 2147483648.0;

} // namespace

ExactAgreement exactAgreementOf(const SimulationRecord& run) {
    const double q = static_cast<double>(run.census.marvelousOutputs) / generatorOutputs;
    const double songs = static_cast<double>(run.summary.songs);
    const double halfWidth = z95 * std::sqrt(run.steps * q * (1 - q) / songs);
    const double centre = run.exact.generatorMarvelousMean;
    const stats::Interval band{centre - halfWidth, centre + halfWidth};
    return {run.summary.aaa.wilson95.contains(run.exact.generatorAaaChance),
            run.summary.perfectScore.wilson95.contains(run.exact.generatorPerfectScoreChance), band,
            halfWidth, band.contains(run.summary.marvelousMean)};
}

} // namespace quorvex::output
