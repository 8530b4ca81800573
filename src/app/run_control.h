#pragma once

#include <atomic>
#include <cstdint>

namespace quorvex::app {

// What a face shares with a run while it plays: the count of songs done, for
// progress, and the flag that asks it to stop. Both may be read and set from
// any thread.
class RunControl {
  public:
    // Where the engine adds finished songs (EngineOptions::songsDone).
    std::atomic<std::int64_t>* songsDone() { return &songsDone_; }
    std::int64_t songsDoneNow() const { return songsDone_.load(std::memory_order_relaxed); }

    // Asks the run to stop; it does within about 100 ms and play() throws
    // RunCancelled.
    void cancel() { cancel_.store(true, std::memory_order_relaxed); }
    bool cancelled() const { return cancel_.load(std::memory_order_relaxed); }

    // What the engine reads once per chunk (EngineOptions::cancel).
    const std::atomic<bool>* cancelFlag() const { return &cancel_; }

  private:
    std::atomic<std::int64_t> songsDone_{0};
    std::atomic<bool> cancel_{false};
};

} // namespace quorvex::app
