#include "app/target_run.h"

#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/ratio_text.h"
#include "app/seeded_run.h"
#include "app/target_request.h"
#include "app/target_search.h"
#include "app/usage_error.h"
#include "output/number_text.h"
#include "runtime/numeric_mode.h"
#include "stats/aaa_draws_needed.h"
#include "stats/aaa_ratio_target.h"
#include "stats/draw_census.h"
#include "stats/score_goal.h"
#include "stats/score_summary.h"

namespace quorvex::app {

namespace {

using Kind = output::TargetGoal::Kind;

// A goal no ratio can be named for: the one line that says why.
using NoAnswer = RunFailure;

std::string stepsText(std::int32_t steps) {
    return output::countedText(steps, "step", "steps");
}

stats::ScoreGoal scoreGoalOf(const output::TargetGoal& goal) {
    if (goal.kind == Kind::scoreChance)
        return {stats::ScoreGoal::Kind::chanceOfScore, goal.score, goal.chance, 0};
    return {stats::ScoreGoal::Kind::meanScore, 0, 0, goal.mean};
}

// 1. Goals settled before any song is played.
void refuseGoalsWithoutAnswer(const TargetRequest& settings, std::int32_t bestScore) {
    const output::TargetGoal& goal = settings.goal;
    const std::string noLeast = ": there is no least one to name";
    switch (goal.kind) {
    case Kind::aaaChance:
        if (goal.chance == 0)
            throw NoAnswer("every perfect ratio meets P(AAA) >= " + goal.chanceText + noLeast);
        return;
    case Kind::scoreChance:
        if (goal.chance == 0 || goal.score == 0)
            throw NoAnswer("every perfect ratio meets P(score >= " + output::integerText(goal.score) +
                           ") >= " + goal.chanceText +
                           (goal.score == 0 ? ", as every song scores 0 or more" : "") + noLeast);
        if (goal.score > bestScore)
            throw NoAnswer("no song of " + stepsText(settings.steps) + " scores " +
                           output::integerText(goal.score) + " at any ratio: the best score is " +
                           output::integerText(bestScore));
        return;
    case Kind::meanScore:
        if (goal.mean == 0)
            throw NoAnswer("every perfect ratio meets a mean score >= " + goal.meanText + noLeast);
        if (goal.mean > bestScore)
            throw NoAnswer("no ratio gives a mean score of " + goal.meanText + " with " +
                           stepsText(settings.steps) + ": the best score is " +
                           output::integerText(bestScore));
        return;
    }
}

output::TargetRun runAt(double ratio, const ScoreAggregate& songs, std::int32_t bestScore,
                        const std::vector<std::int32_t>& atLeast) {
    const RatioText text = ratioTextFor(ratio);
    return {ratio, text.text, text.readsBack, stats::summarize(songs.rows(), bestScore, atLeast)};
}

// 2a. The AAA goal: the count, the ratio, then the seeded songs there.
void answerAaaGoal(const TargetRequest& settings, output::TargetRecord& record, int threads,
                   RunControl& control) {
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
    const SeededRun run = playSeededRun(request, threads, &control);
    if (run.fault != ModelFault::none)
        throw std::logic_error("the model cannot play ratio " + output::shortestText(request.perfectRatio));
    record.answer = runAt(request.perfectRatio, run.songs, record.bestScore, {});
    record.exact = exact;
}

// 2b. The score and mean goals: the search, then its two ends.
void answerScoreGoal(const TargetRequest& settings, output::TargetRecord& record, std::int64_t grid,
                     int threads, RunControl& control) {
    const output::TargetGoal& goal = settings.goal;
    const std::vector<std::int32_t> atLeast =
        goal.kind == Kind::scoreChance ? std::vector<std::int32_t>{goal.score} : std::vector<std::int32_t>{};
    const RunRequest request{settings.songs, settings.steps, 1.0, settings.seed};
    const SimulatedTarget found = searchScoreGoal(request, scoreGoalOf(goal), grid, threads, &control);
    const output::TargetRun top = runAt(1.0, found.answer.songs, record.bestScore, atLeast);
    if (!found.reachable) {
        const std::string played = " (" + output::integerText(settings.songs) + " songs of " +
                                   stepsText(settings.steps) + ", seed " + output::integerText(settings.seed);
        if (goal.kind == Kind::scoreChance) {
            const stats::Proportion& p = top.summary.atLeast.front().songs;
            throw NoAnswer("not met even at ratio 1: there P(score >= " + output::integerText(goal.score) +
                           ") is " + output::shortestText(p.share) + played + "), short of " +
                           goal.chanceText);
        }
        throw NoAnswer("not met even at ratio 1: there the mean score is " +
                       output::shortestText(top.summary.mean) + played + "), short of " + goal.meanText);
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

class FinishedTarget final : public FinishedRun {
  public:
    explicit FinishedTarget(output::TargetRecord record) : record_(std::move(record)) {}
    CommandName command() const override { return CommandName::target; }
    std::string render(output::Format format, const output::TextStyle& style) const override {
        return output::render(record_, format, style);
    }
    std::span<const output::Format> formats() const override { return output::targetFormats(); }

  private:
    output::TargetRecord record_;
};

class PreparedTarget final : public PreparedRun {
  public:
    PreparedTarget(TargetRequest request, OptionTexts asRead)
        : request_(std::move(request)), asRead_(std::move(asRead)),
          grid_(request_.goal.kind == Kind::aaaChance ? 0 : ratioGrid(request_.resolution)),
          runsAtMost_(request_.goal.kind == Kind::aaaChance ? 1 : searchRunsAtMost(grid_)) {}

    CommandName command() const override { return CommandName::target; }
    std::uint32_t seed() const override { return request_.seed; }
    OptionTexts optionsAsRead() const override { return asRead_; }
    long double plannedSteps() const override {
        return static_cast<long double>(plannedSongs()) * request_.steps;
    }
    std::int64_t plannedSongs() const override { return runsAtMost_ * request_.songs; }
    std::int32_t stepsPerSong() const override { return request_.steps; }

    std::unique_ptr<FinishedRun> play(int threads, RunControl& control) const override {
        setNumericMode();
        const auto start = std::chrono::steady_clock::now();
        output::TargetRecord record;
        record.goal = request_.goal;
        record.steps = request_.steps;
        record.songs = request_.songs;
        record.seed = request_.seed;
        record.threads = threads;
        record.bestScore = stats::bestScoreFor(request_.steps);
        try {
            // 1. Goals settled before any song is played; 2. the answer.
            refuseGoalsWithoutAnswer(request_, record.bestScore);
            if (request_.goal.kind == Kind::aaaChance)
                answerAaaGoal(request_, record, threads, control);
            else
                answerScoreGoal(request_, record, grid_, threads, control);
        } catch (const stats::UndecidedChance& undecided) {
            throw RunFailure(undecided.what());
        } catch (const stats::BrokenOrder& broken) {
            throw RunFailure(broken.what());
        }
        record.elapsedSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return std::make_unique<FinishedTarget>(std::move(record));
    }

  private:
    TargetRequest request_;
    OptionTexts asRead_;
    std::int64_t grid_;       // the search's ratios are k / grid_ (score and mean goals)
    std::int64_t runsAtMost_; // seeded runs the answer plays at most
};

} // namespace

std::unique_ptr<PreparedRun> prepareTarget(const OptionReader& options, std::uint32_t currentSecond) {
    TargetRequest request = readTargetRequest(options, currentSecond);
    OptionTexts asRead = options.asRead(request.seed);
    return std::make_unique<PreparedTarget>(std::move(request), std::move(asRead));
}

} // namespace quorvex::app
