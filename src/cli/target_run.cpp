#include "cli/target_run.h"

#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/ratio_text.h"
#include "cli/run_output.h"
#include "cli/seeded_run.h"
#include "cli/target_search.h"
#include "cli/terminal_text_style.h"
#include "cli/usage_error.h"
#include "numbers/number_text.h"
#include "output/target_json.h"
#include "output/target_text.h"
#include "stats/aaa_draws_needed.h"
#include "stats/aaa_ratio_target.h"
#include "stats/draw_census.h"
#include "stats/score_goal.h"
#include "stats/score_summary.h"

namespace quorvex::cli {

namespace {

constexpr std::string_view command = "target";

using Kind = output::TargetGoal::Kind;

// A goal no ratio can be named for: the one line that says why.
class NoAnswer : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

std::string stepsText(std::int32_t steps) {
    return countedText(steps, "step", "steps");
}

stats::ScoreGoal scoreGoalOf(const output::TargetGoal& goal) {
    if (goal.kind == Kind::scoreChance)
        return {stats::ScoreGoal::Kind::chanceOfScore, goal.score, goal.chance, 0};
    return {stats::ScoreGoal::Kind::meanScore, 0, 0, goal.mean};
}

// 1. Goals settled before any song is played.
void refuseGoalsWithoutAnswer(const TargetSettings& settings, std::int32_t bestScore) {
    const output::TargetGoal& goal = settings.goal;
    const std::string noLeast = ": there is no least one to name";
    switch (goal.kind) {
    case Kind::aaaChance:
        if (goal.chance == 0)
            throw NoAnswer("every perfect ratio meets P(AAA) >= " + goal.chanceText + noLeast);
        return;
    case Kind::scoreChance:
        if (goal.chance == 0 || goal.score == 0)
            throw NoAnswer("every perfect ratio meets P(score >= " + integerText(goal.score) +
                           ") >= " + goal.chanceText +
                           (goal.score == 0 ? ", as every song scores 0 or more" : "") + noLeast);
        if (goal.score > bestScore)
            throw NoAnswer("no song of " + stepsText(settings.steps) + " scores " + integerText(goal.score) +
                           " at any ratio: the best score is " + integerText(bestScore));
        return;
    case Kind::meanScore:
        if (goal.mean == 0)
            throw NoAnswer("every perfect ratio meets a mean score >= " + goal.meanText + noLeast);
        if (goal.mean > bestScore)
            throw NoAnswer("no ratio gives a mean score of " + goal.meanText + " with " +
                           stepsText(settings.steps) + ": the best score is " + integerText(bestScore));
        return;
    }
}

output::TargetRun runAt(double ratio, const ScoreAggregate& songs, std::int32_t bestScore,
                        const std::vector<std::int32_t>& atLeast) {
    const RatioText text = ratioTextFor(ratio);
    return {ratio, text.text, text.readsBack, stats::summarize(songs.rows(), bestScore, atLeast)};
}

// 2a. The AAA goal: the count, the ratio, then the seeded songs there.
void answerAaaGoal(const TargetSettings& settings, output::TargetRecord& record, ProgressDisplay& progress) {
    output::ExactAaaAnswer exact;
    const stats::AaaDrawsNeeded needed = stats::aaaDrawsNeeded(settings.steps, settings.goal.chance);
    exact.aaaDrawsNeeded = needed.aaaDraws;
    exact.exactChecks = needed.exactChecks;
    exact.target = stats::smallestRatioKeepingAaa(needed.aaaDraws);
    exact.ratioBelowText = ratioTextFor(exact.target.ratioBelow).text;
    exact.census = exact.target.census;
    exact.exact = stats::exactValuesFor(exact.census, settings.steps);
    exact.chanceBelow =
        stats::exactValuesFor({exact.target.aaaDrawsBelow, 0, 0, 0}, settings.steps).aaaChance;

    const RunRequest request{settings.songs, settings.steps, exact.target.ratio, settings.seed};
    const SeededRun run = playSeededRun(request, settings.threads, progress.songsDone());
    if (run.fault != ModelFault::none)
        throw std::logic_error("the model cannot play ratio " + shortestText(request.perfectRatio));
    record.answer = runAt(request.perfectRatio, run.songs, record.bestScore, {});
    record.exact = exact;
}

// 2b. The score and mean goals: the search, then its two ends.
void answerScoreGoal(const TargetSettings& settings, output::TargetRecord& record, std::int64_t grid,
                     ProgressDisplay& progress) {
    // The progress display erases its line as the exceptions below unwind it.
    const output::TargetGoal& goal = settings.goal;
    const std::vector<std::int32_t> atLeast =
        goal.kind == Kind::scoreChance ? std::vector<std::int32_t>{goal.score} : std::vector<std::int32_t>{};
    const RunRequest request{settings.songs, settings.steps, 1.0, settings.seed};
    const SimulatedTarget found =
        searchScoreGoal(request, scoreGoalOf(goal), grid, settings.threads, progress.songsDone());
    const output::TargetRun top = runAt(1.0, found.answer.songs, record.bestScore, atLeast);
    if (!found.reachable) {
        const std::string played = " (" + integerText(settings.songs) + " songs of " +
                                   stepsText(settings.steps) + ", seed " + integerText(settings.seed);
        if (goal.kind == Kind::scoreChance) {
            const stats::Proportion& p = top.summary.atLeast.front().songs;
            throw NoAnswer("not met even at ratio 1: there P(score >= " + integerText(goal.score) + ") is " +
                           shortestText(p.share) + played + "), short of " + goal.chanceText);
        }
        throw NoAnswer("not met even at ratio 1: there the mean score is " + shortestText(top.summary.mean) +
                       played + "), short of " + goal.meanText);
    }

    output::SimulatedSearch search;
    search.resolution = settings.resolution;
    search.resolutionText = settings.resolutionText;
    search.grid = grid;
    search.runs = found.runs;
    record.answer = runAt(gridRatio(found.answer.k, grid), found.answer.songs, record.bestScore, atLeast);
    if (found.below)
        search.below = runAt(gridRatio(found.below->k, grid), found.below->songs, record.bestScore, atLeast);
    const stats::ScoreSummary& s = record.answer.summary;
    search.goalWithinInterval = goal.kind == Kind::scoreChance
                                    ? s.atLeast.front().songs.wilson95.contains(goal.chance)
                                    : s.meanInterval95.contains(goal.mean);
    record.search = search;
}

} // namespace

int runTarget(const TargetSettings& settings) {
    const auto start = std::chrono::steady_clock::now();
    output::TargetRecord record;
    record.goal = settings.goal;
    record.steps = settings.steps;
    record.songs = settings.songs;
    record.seed = settings.seed;
    record.threads = settings.threads;
    record.bestScore = stats::bestScoreFor(settings.steps);
    try {
        refuseGoalsWithoutAnswer(settings, record.bestScore);
        // 2. The answer, with a progress line over every song played while
        //    a person watches standard error; it is gone before anything is written.
        const bool aaa = settings.goal.kind == Kind::aaaChance;
        const std::int64_t grid = aaa ? 0 : ratioGrid(settings.resolution);
        const std::int64_t runs = aaa ? 1 : searchRunsAtMost(grid);
        ProgressDisplay progress =
            progressOnStandardError(settings.quiet, runs * settings.songs, settings.steps);
        if (aaa)
            answerAaaGoal(settings, record, progress);
        else
            answerScoreGoal(settings, record, grid, progress);
        progress.finish();
    } catch (const NoAnswer& noAnswer) {
        tell(command, noAnswer.what());
        return exitFailure;
    } catch (const stats::UndecidedChance& undecided) {
        tell(command, undecided.what());
        return exitFailure;
    } catch (const stats::BrokenOrder& broken) {
        tell(command, broken.what());
        return exitFailure;
    }
    record.elapsedSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    // 3. The answer in its format, written whole or not at all.
    const std::string text = settings.format == TargetFormat::json
                                 ? output::targetJson(record)
                                 : output::targetText(record, textStyleFor(settings.outputFile));
    return writeRendered(command, {{settings.outputFile, text}});
}

} // namespace quorvex::cli
