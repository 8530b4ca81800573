#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "stats/aaa_ratio_target.h"
#include "stats/draw_census.h"
#include "stats/score_summary.h"

namespace quorvex::output {

// The goal `quorvex target` is asked to meet.
struct TargetGoal {
    enum class Kind {
        aaaChance,   // P(AAA) >= Q, answered exactly for independent draws
        scoreChance, // P(score >= X) >= Q, answered by simulation
        meanScore    // mean score >= M, answered by simulation
    };
    Kind kind = Kind::aaaChance;
    double chance = 0;      // Q, the double its text reads as
    std::string chanceText; // Q as given
    std::int32_t score = 0; // X
    double mean = 0;        // M, the double its text reads as
    std::string meanText;   // M as given
};

// The songs played at one ratio, with the run's seed.
struct TargetRun {
    double ratio = 0;
    // The shortest round-trip text, or a longer one that `simulate
    // --perfect` reads as this very double where the shortest would land
    // next to it (see app/ratio_text.h); `ratioTextReadsBack` is false when
    // no decimal text does.
    std::string ratioText;
    bool ratioTextReadsBack = true;
    stats::ScoreSummary summary; // with P(score >= X) for a score goal
};

// The exact answer to an AAA goal: the least count of AAA draws a* whose
// chance (a* / 10^7)^S meets Q, and the least double ratio keeping a* draws.
struct ExactAaaAnswer {
    std::int32_t aaaDrawsNeeded = 0; // a*
    int exactChecks = 0;             // comparisons the logarithms left to integers
    stats::AaaRatioTarget target;    // the ratio, a(ratio), the double below and a there
    std::string ratioBelowText;
    stats::DrawCensus census;   // at the ratio
    stats::ExactValues exact{}; // at the ratio: (a / 10^7)^S and the generator's chance
    double chanceBelow = 0;     // (a(below) / 10^7)^S, short of Q
};

// How a simulated search ended: the answer is the least ratio k / grid
// whose songs meet the goal; the one below it does not.
struct SimulatedSearch {
    double resolution = 0;
    std::string resolutionText;
    std::int64_t grid = 0;          // ratios are k / grid, grid = 1 / resolution rounded up
    int runs = 0;                   // seeded runs played, ratio 1 first
    std::optional<TargetRun> below; // at (k - 1) / grid; none when that is 0
    // The goal's value (Q, or M) lies within the 95% interval at the
    // answer: the estimate alone cannot tell on which side the true value
    // falls, and more songs might move the answer.
    bool goalWithinInterval = false;
};

// `quorvex target` as asked and answered, as every writer sees it.
struct TargetRecord {
    TargetGoal goal;
    std::int32_t steps = 0;
    std::int32_t songs = 0;
    std::uint32_t seed = 0;
    std::int32_t bestScore = 0; // the highest score the step count allows

    // How it ran: in text only, never in json.
    int threads = 0;
    double elapsedSeconds = 0;

    TargetRun answer;                      // the ratio found, and the songs played there
    std::optional<ExactAaaAnswer> exact;   // for the AAA goal
    std::optional<SimulatedSearch> search; // for the score and mean goals
};

} // namespace quorvex::output
