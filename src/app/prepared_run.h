#pragma once

// A request read and checked, ready to play on any face's thread, and the
// run it becomes: the record every format is rendered from.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "app/command_catalog.h"
#include "app/option_texts.h"
#include "app/run_control.h"
#include "output/format_registry.h"

namespace quorvex::app {

class FinishedRun {
  public:
    virtual ~FinishedRun() = default;
    virtual CommandName command() const = 0;
    // Exactly the bytes the command line writes for this format. Text uses
    // `style` (80 columns and UTF-8 suit a file). Throws
    // std::invalid_argument for a format not in formats().
    virtual std::string render(output::Format format, const output::TextStyle& style) const = 0;
    virtual std::span<const output::Format> formats() const = 0;
};

class PreparedRun {
  public:
    virtual ~PreparedRun() = default;
    virtual CommandName command() const = 0;
    virtual std::uint32_t seed() const = 0;
    // The options as read: those given, in the catalogue's order, each as
    // given, with "seed" added (as its decimal text) when it was not given.
    virtual OptionTexts optionsAsRead() const = 0;
    // Songs x steps summed over every run it may play (x ratios for sweep,
    // x the search's runs at most for target): for limits.
    virtual long double plannedSteps() const = 0;
    // For progress: the songs it plays at most, and the steps of each.
    virtual std::int64_t plannedSongs() const = 0;
    virtual std::int32_t stepsPerSong() const = 0;
    // Plays on `threads` threads (1..1024); the result does not depend on
    // how many. Throws RunFailure, RunCancelled. Reads and writes no
    // process-wide state: the run's generator state is its own.
    virtual std::unique_ptr<FinishedRun> play(int threads, RunControl& control) const = 0;
};

// Reads and checks every option of the command, the first wrong one
// throwing UsageError with the command line's own message. `currentSecond`
// is the seed when none is given. An unknown option name throws
// UsageError(`unknown option "xyz"`, "xyz"); an unknown command
// UsageError(`unknown command "xyz"`).
std::unique_ptr<PreparedRun> prepareRun(std::string_view command, const OptionTexts& texts,
                                        std::uint32_t currentSecond);

} // namespace quorvex::app
