#pragma once

// A run source for the server's own tests: runs that play until the test
// lets them finish (or they are cancelled), so that the queue and the HTTP
// layer are tried without the engine's timing. Option "songs" sets the
// planned songs; option "fail" makes the run fail with its text; an option
// named "refuse" is refused as the run layer refuses a bad value.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "serve/run_source.h"

namespace quorvex::testing {

struct FakeRunLog {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> started; // the runs' "name" options, in the order they began
    int playing = 0;
    int mostAtOnce = 0;
    bool release = false; // every run may finish
    std::size_t outputBytes = 100;

    void releaseAll() {
        std::lock_guard lock(mutex);
        release = true;
        changed.notify_all();
    }
    // Waits (with a deadline) until `count` runs have begun.
    bool waitForStarts(std::size_t count, std::chrono::milliseconds deadline = std::chrono::seconds(10)) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, deadline, [&] { return started.size() >= count; });
    }
};

class FakeRun final : public serve::AcceptedRun {
  public:
    FakeRun(std::shared_ptr<FakeRunLog> log, serve::OptionTextList options, std::uint32_t seed)
        : log_(std::move(log)), options_(std::move(options)), seed_(seed) {}

    std::string command() const override { return "simulate"; }
    std::uint32_t seed() const override { return seed_; }
    serve::OptionTextList optionsAsRead() const override {
        serve::OptionTextList read = options_;
        read.emplace_back("seed", std::to_string(seed_));
        return read;
    }
    long double plannedSteps() const override { return static_cast<long double>(plannedSongs()) * 400; }
    std::int64_t plannedSongs() const override {
        const std::string songs = option("songs");
        return songs.empty() || songs.size() > 12 ? 10 : std::stoll(songs);
    }
    std::int32_t stepsPerSong() const override { return 400; }
    std::int64_t songsDone() const override { return done_; }
    void cancel() override {
        cancelled_ = true;
        std::lock_guard lock(log_->mutex);
        log_->changed.notify_all();
    }

    serve::RunOutcome play(int) override {
        std::unique_lock lock(log_->mutex);
        log_->started.push_back(option("name"));
        log_->mostAtOnce = std::max(log_->mostAtOnce, ++log_->playing);
        log_->changed.notify_all();
        log_->changed.wait(lock, [this] { return log_->release || cancelled_; });
        --log_->playing;
        serve::RunOutcome outcome;
        if (cancelled_) {
            outcome.ending = serve::RunOutcome::Ending::cancelled;
        } else if (const std::string failure = option("fail"); !failure.empty()) {
            outcome.ending = serve::RunOutcome::Ending::failed;
            outcome.error = failure;
        } else {
            done_ = plannedSongs();
            outcome.outputs.push_back({"json", "application/json",
                                       "quorvex-simulate-" + std::to_string(seed_) + ".json",
                                       std::string(log_->outputBytes, 'j')});
            outcome.outputs.push_back({"csv", "text/csv; charset=utf-8", "quorvex-simulate.csv", "a,b\n"});
        }
        return outcome;
    }

  private:
    std::string option(const std::string& name) const {
        for (const auto& [key, text] : options_)
            if (key == name)
                return text;
        return {};
    }

    std::shared_ptr<FakeRunLog> log_;
    serve::OptionTextList options_;
    std::uint32_t seed_;
    std::atomic<bool> cancelled_{false};
    std::atomic<std::int64_t> done_{0};
};

class FakeRunSource final : public serve::RunSource {
  public:
    explicit FakeRunSource(std::shared_ptr<FakeRunLog> log) : log_(std::move(log)) {}

    std::unique_ptr<serve::AcceptedRun> accept(const std::string& command,
                                               const serve::OptionTextList& options,
                                               std::uint32_t currentSecond) override {
        if (command != "simulate")
            throw serve::RefusedRequest("unknown command \"" + command + "\"", "");
        std::uint32_t seed = currentSecond;
        for (const auto& [name, text] : options) {
            if (name == "refuse")
                throw serve::RefusedRequest("--refuse \"" + text + "\" is not taken", "refuse");
            if (name == "seed")
                seed = static_cast<std::uint32_t>(std::stoul(text));
        }
        serve::OptionTextList kept;
        for (const auto& option : options)
            if (option.first != "seed")
                kept.push_back(option);
        return std::make_unique<FakeRun>(log_, kept, seed);
    }
    std::string version() const override { return "9.9"; }
    std::string kernels() const override { return "scalar"; }

  private:
    std::shared_ptr<FakeRunLog> log_;
};

} // namespace quorvex::testing
