#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "serve/run_source.h"

namespace quorvex::serve {

// How much the queue holds. Runs already use every core, so they play one at
// a time, in the order they arrived; a bounded number wait, and finished runs
// are kept, newest first, within a count and a size of rendered output.
struct QueueLimits {
    std::size_t maxQueued = 16;
    std::size_t keptRuns = 64;
    std::size_t keptBytes = std::size_t{256} << 20;
};

enum class JobStatus { queued, running, done, failed, cancelled };
const char* statusName(JobStatus status);

// What GET /api/runs/ID shows of a job, taken at one moment.
struct JobSnapshot {
    std::string id;
    std::string command;
    OptionTextList options;
    std::uint32_t seed = 0;
    JobStatus status = JobStatus::queued;
    std::int64_t songsDone = 0;
    std::int64_t songsPlanned = 0;
    std::int32_t stepsPerSong = 0;
    double elapsedSeconds = 0;
    std::string error;                // failed only
    std::vector<std::string> formats; // done only
};

// No room for another waiting run.
class QueueFull : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class JobQueue {
  public:
    JobQueue(int threads, QueueLimits limits);
    ~JobQueue(); // stop()s
    JobQueue(const JobQueue&) = delete;
    JobQueue& operator=(const JobQueue&) = delete;

    // Queues a run and returns its id ("r1", "r2", ...); throws QueueFull.
    std::string submit(std::unique_ptr<AcceptedRun> run);

    enum class Found { yes, unknown, expired };
    Found lookUp(const std::string& id, JobSnapshot* snapshot) const;

    // One output of a finished run (shared: it stays valid after the run is
    // forgotten). Nothing when the run is unknown, expired or not done, or
    // has no such format; `found` and `status` tell which.
    std::shared_ptr<const RenderedOutput> output(const std::string& id, const std::string& format,
                                                 Found& found, JobStatus& status) const;

    // Cancels a queued or running run (a running one stops within about
    // 100 ms, and the next starts then), or forgets a finished one. The
    // status after, or nothing for an unknown or expired id.
    std::optional<JobStatus> cancelOrForget(const std::string& id, Found& found);

    // Cancels the running run and every queued one, and waits for the player.
    void stop();

  private:
    struct Job;
    void playInTurn();
    void keep(const std::shared_ptr<Job>& job);
    Found find(const std::string& id, std::shared_ptr<Job>& job) const;
    JobSnapshot snapshotOf(const Job& job) const;

    const int threads_;
    const QueueLimits limits_;
    mutable std::mutex mutex_;
    std::condition_variable workArrived_;
    std::uint64_t lastId_ = 0;
    bool stopping_ = false;
    std::deque<std::shared_ptr<Job>> queued_;
    std::shared_ptr<Job> running_;
    std::deque<std::shared_ptr<Job>> finished_; // newest first
    std::size_t finishedBytes_ = 0;
    std::map<std::string, std::shared_ptr<Job>> byId_;
    std::thread player_;
};

} // namespace quorvex::serve
