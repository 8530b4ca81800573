#include "app/sweep_run.h"

#include "app/sweep_request.h"
#include "app/usage_error.h"
#include "runtime/numeric_mode.h"
#include "stats/draw_census.h"

namespace quorvex::app {

namespace {

class FinishedSweep final : public FinishedRun {
  public:
    explicit FinishedSweep(output::SweepRecord record) : record_(std::move(record)) {}
    CommandName command() const override { return CommandName::sweep; }
    std::string render(output::Format format, const output::TextStyle& style) const override {
        return output::render(record_, format, style);
    }
    std::span<const output::Format> formats() const override { return output::sweepFormats(); }

  private:
    output::SweepRecord record_;
};

class PreparedSweep final : public PreparedRun {
  public:
    PreparedSweep(SweepRequestRead request, OptionTexts asRead)
        : request_(std::move(request)), asRead_(std::move(asRead)) {}

    CommandName command() const override { return CommandName::sweep; }
    std::uint32_t seed() const override { return request_.sweep.seed; }
    OptionTexts optionsAsRead() const override { return asRead_; }
    long double plannedSteps() const override {
        return static_cast<long double>(plannedSongs()) * request_.sweep.steps;
    }
    std::int64_t plannedSongs() const override {
        return static_cast<std::int64_t>(request_.sweep.songs) *
               static_cast<std::int64_t>(request_.sweep.ratios.size());
    }
    std::int32_t stepsPerSong() const override { return request_.sweep.steps; }

    std::unique_ptr<FinishedRun> play(int threads, RunControl& control) const override {
        setNumericMode();
        const SweepRequest& request = request_.sweep;
        SeededSweep sweep = playSeededSweep(request, threads, &control);
        if (sweep.faultedRatio)
            throw RunFailure("the perfect ratio " + request.ratios[*sweep.faultedRatio].text +
                             " cannot be played");
        output::SweepRecord record;
        record.songs = request.songs;
        record.steps = request.steps;
        record.perfectText = request_.perfectText;
        record.seed = request.seed;
        record.atLeast = request.atLeast;
        record.bestScore = stats::bestScoreFor(request.steps);
        record.threads = threads;
        record.elapsedSeconds = sweep.elapsedSeconds;
        record.rows = std::move(sweep.rows);
        record.exactAaaCurve = std::move(sweep.exactAaaCurve);
        return std::make_unique<FinishedSweep>(std::move(record));
    }

  private:
    SweepRequestRead request_;
    OptionTexts asRead_;
};

} // namespace

std::unique_ptr<PreparedRun> prepareSweep(const OptionReader& options, std::uint32_t currentSecond) {
    SweepRequestRead request = readSweepRequest(options, currentSecond);
    OptionTexts asRead = options.asRead(request.sweep.seed);
    return std::make_unique<PreparedSweep>(std::move(request), std::move(asRead));
}

} // namespace quorvex::app
