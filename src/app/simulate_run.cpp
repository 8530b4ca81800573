#include "app/simulate_run.h"

#include "app/run_record.h"
#include "app/simulate_request.h"
#include "app/usage_error.h"
#include "runtime/numeric_mode.h"

namespace quorvex::app {

namespace {

class FinishedSimulation final : public FinishedRun {
  public:
    explicit FinishedSimulation(output::SimulationRecord record) : record_(std::move(record)) {}
    CommandName command() const override { return CommandName::simulate; }
    std::string render(output::Format format, const output::TextStyle& style) const override {
        return output::render(record_, format, style);
    }
    std::span<const output::Format> formats() const override { return output::simulationFormats(); }

  private:
    output::SimulationRecord record_;
};

class PreparedSimulation final : public PreparedRun {
  public:
    PreparedSimulation(SimulateRequest request, OptionTexts asRead)
        : request_(std::move(request)), asRead_(std::move(asRead)) {}

    CommandName command() const override { return CommandName::simulate; }
    std::uint32_t seed() const override { return request_.run.seed; }
    OptionTexts optionsAsRead() const override { return asRead_; }
    long double plannedSteps() const override {
        return static_cast<long double>(request_.run.songs) * request_.run.steps;
    }
    std::int64_t plannedSongs() const override { return request_.run.songs; }
    std::int32_t stepsPerSong() const override { return request_.run.steps; }

    std::unique_ptr<FinishedRun> play(int threads, RunControl& control) const override {
        setNumericMode();
        const SeededRun run = playSeededRun(request_.run, threads, &control);
        if (run.fault != ModelFault::none)
            // Ratios in (0, 1] always play; kept for a model that one day refuses one.
            throw RunFailure("the perfect ratio " + request_.perfectRatioText + " cannot be played");
        return std::make_unique<FinishedSimulation>(
            recordOfRun(request_.run, {request_.perfectRatioText, threads, request_.atLeast}, run));
    }

  private:
    SimulateRequest request_;
    OptionTexts asRead_;
};

} // namespace

std::unique_ptr<PreparedRun> prepareSimulate(const OptionReader& options, std::uint32_t currentSecond) {
    SimulateRequest request = readSimulateRequest(options, currentSecond);
    OptionTexts asRead = options.asRead(request.run.seed);
    return std::make_unique<PreparedSimulation>(std::move(request), std::move(asRead));
}

} // namespace quorvex::app
