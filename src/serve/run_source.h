#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace quorvex::serve {

// What the server asks of the runs it hosts. The server reads requests and
// keeps jobs; a run source reads a request's options with the command
// line's rules and plays it (app_run_source.h is the program's, over the run
// layer every face shares). Keeping the jobs apart from the runs lets the job
// queue be told of runs of any length.

using OptionTextList = std::vector<std::pair<std::string, std::string>>; // name without dashes, text

// A request whose options the run source refused: the command line's message,
// and the option at fault (without dashes; "" when none is).
class RefusedRequest : public std::runtime_error {
  public:
    RefusedRequest(const std::string& message, std::string option)
        : std::runtime_error(message), option_(std::move(option)) {}
    const std::string& option() const { return option_; }

  private:
    std::string option_;
};

// One output of a finished run: exactly the command line's bytes for it.
struct RenderedOutput {
    std::string format;      // "json", "csv", "text", "svg", "results"
    std::string contentType; // "application/json", ...
    std::string fileName;    // for a download: "quorvex-simulate-1765222492.json"
    std::string bytes;
};

struct RunOutcome {
    enum class Ending { done, failed, cancelled };
    Ending ending = Ending::done;
    std::string error;                   // failed: the command line's one-line message
    std::vector<RenderedOutput> outputs; // done: every format the command renders
};

// A request the run source accepted, ready to play.
class AcceptedRun {
  public:
    virtual ~AcceptedRun() = default;
    virtual std::string command() const = 0;
    virtual std::uint32_t seed() const = 0;
    // Every option as read, the seed included, in the command's order.
    virtual OptionTextList optionsAsRead() const = 0;
    // Songs x steps over every run it may play (for --max-steps).
    virtual long double plannedSteps() const = 0;
    virtual std::int64_t plannedSongs() const = 0;
    virtual std::int32_t stepsPerSong() const = 0;
    virtual std::int64_t songsDone() const = 0;
    // Plays to the end, or until cancel() is called from any thread.
    virtual RunOutcome play(int threads) = 0;
    virtual void cancel() = 0;
};

class RunSource {
  public:
    virtual ~RunSource() = default;
    // Reads every option; throws RefusedRequest with the command line's message.
    virtual std::unique_ptr<AcceptedRun> accept(const std::string& command, const OptionTextList& options,
                                                std::uint32_t currentSecond) = 0;
    virtual std::string version() const = 0; // "1.0"
    virtual std::string kernels() const = 0; // as --version names them
};

} // namespace quorvex::serve
