#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace quorvex::cli {

// The progress line of a run of `totalSongs` songs of `steps` steps, of which
// `songsDone` are finished after `elapsedSeconds`: the share done, the steps
// per second so far and the time left at that pace, e.g.
// "simulating: 37% done, 2.41 G steps/s, about 3 s left". Plain ASCII, at
// most `columns - 1` characters (80 when `columns` is 0), so that it never
// wraps and a carriage return brings the cursor back to its start: on a
// narrow terminal "37% done, 2.41 G steps/s, 3 s left", then "37% done,
// 3 s left", cut only when even that does not fit.
std::string progressLine(std::int64_t songsDone, std::int64_t totalSongs, std::int32_t steps,
                         double elapsedSeconds, int columns);

// A progress line on a terminal while a run goes on. When shown, a thread of
// its own waits `delay` (a run that ends sooner shows nothing), then draws
// the line every `interval`, each time over the last with a carriage return,
// from the counter the engine adds finished songs to; finish() stops it and
// blanks the line, leaving the cursor at the start of an empty line. When
// not shown, nothing is ever written and no thread runs.
class ProgressDisplay {
  public:
    struct Timing {
        std::chrono::milliseconds delay{500};
        std::chrono::milliseconds interval{200};
    };

    ProgressDisplay(int fd, bool shown, std::int64_t totalSongs, std::int32_t steps, Timing timing);
    ProgressDisplay(int fd, bool shown, std::int64_t totalSongs, std::int32_t steps)
        : ProgressDisplay(fd, shown, totalSongs, steps, Timing{}) {}
    // Counting from a counter of the run's own (app::RunControl::songsDone)
    // instead of songsDone(); the counter must outlive the display.
    ProgressDisplay(int fd, bool shown, std::int64_t totalSongs, std::int32_t steps,
                    const std::atomic<std::int64_t>* counter)
        : ProgressDisplay(fd, shown, totalSongs, steps, Timing{}, counter) {}
    ProgressDisplay(int fd, bool shown, std::int64_t totalSongs, std::int32_t steps, Timing timing,
                    const std::atomic<std::int64_t>* counter);
    ~ProgressDisplay(); // finish()
    ProgressDisplay(const ProgressDisplay&) = delete;
    ProgressDisplay& operator=(const ProgressDisplay&) = delete;
    ProgressDisplay(ProgressDisplay&&) = delete;
    ProgressDisplay& operator=(ProgressDisplay&&) = delete;

    // Where the engine counts finished songs (EngineOptions::songsDone).
    std::atomic<std::int64_t>* songsDone() { return &songsDone_; }

    // Stops the display and erases its line, if one was drawn. Idempotent.
    void finish();

  private:
    void show(Timing timing);
    void draw();
    void erase();

    const int fd_;
    const std::int64_t totalSongs_;
    const std::int32_t steps_;
    std::atomic<std::int64_t> songsDone_{0};
    const std::atomic<std::int64_t>* const counter_; // songsDone_ unless given
    const std::chrono::steady_clock::time_point start_;
    std::size_t drawnLength_ = 0; // characters on the line now (display thread only)

    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace quorvex::cli
