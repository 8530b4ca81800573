#include "serve/job_queue.h"

#include <algorithm>

namespace quorvex::serve {

using Clock = std::chrono::steady_clock;

struct JobQueue::Job {
    std::string id;
    std::string command;
    OptionTextList options;
    std::uint32_t seed = 0;
    std::int64_t songsPlanned = 0;
    std::int32_t stepsPerSong = 0;
    std::unique_ptr<AcceptedRun> run; // until it has ended
    JobStatus status = JobStatus::queued;
    std::int64_t songsDone = 0; // once the run has ended
    Clock::time_point started{};
    Clock::time_point ended{};
    std::string error;
    std::vector<std::shared_ptr<const RenderedOutput>> outputs;
    std::size_t bytes = 0;
};

const char* statusName(JobStatus status) {
    switch (status) {
    case JobStatus::queued:
        return "queued";
    case JobStatus::running:
        return "running";
    case JobStatus::done:
        return "done";
    case JobStatus::failed:
        return "failed";
    case JobStatus::cancelled:
        return "cancelled";
    }
    return "unknown";
}

JobQueue::JobQueue(int threads, QueueLimits limits)
    : threads_(threads), limits_(limits), player_([this] { playInTurn(); }) {}

JobQueue::~JobQueue() {
    stop();
}

std::string JobQueue::submit(std::unique_ptr<AcceptedRun> run) {
    auto job = std::make_shared<Job>();
    job->command = run->command();
    job->options = run->optionsAsRead();
    job->seed = run->seed();
    job->songsPlanned = run->plannedSongs();
    job->stepsPerSong = run->stepsPerSong();
    job->run = std::move(run);
    {
        std::lock_guard lock(mutex_);
        // With nothing playing or waiting, a run does not wait (--max-queued 0 still takes one).
        const bool wouldWait = running_ != nullptr || !queued_.empty();
        if (wouldWait && queued_.size() >= limits_.maxQueued)
            throw QueueFull("the queue is full: " + std::to_string(limits_.maxQueued) +
                            " runs are waiting already; try again when one has finished");
        job->id = "r" + std::to_string(++lastId_);
        queued_.push_back(job);
        byId_[job->id] = job;
    }
    workArrived_.notify_one();
    return job->id;
}

void JobQueue::playInTurn() {
    std::unique_lock lock(mutex_);
    for (;;) {
        workArrived_.wait(lock, [this] { return stopping_ || !queued_.empty(); });
        if (stopping_)
            return;
        std::shared_ptr<Job> job = queued_.front();
        queued_.pop_front();
        job->status = JobStatus::running;
        job->started = Clock::now();
        running_ = job;
        lock.unlock();
        RunOutcome outcome = job->run->play(threads_);
        lock.lock();
        running_.reset();
        job->ended = Clock::now();
        job->songsDone = job->run->songsDone();
        job->run.reset();
        if (job->status != JobStatus::cancelled) { // not cancelled while it played
            switch (outcome.ending) {
            case RunOutcome::Ending::done:
                job->status = JobStatus::done;
                for (RenderedOutput& rendered : outcome.outputs) {
                    job->bytes += rendered.bytes.size();
                    job->outputs.push_back(std::make_shared<const RenderedOutput>(std::move(rendered)));
                }
                break;
            case RunOutcome::Ending::failed:
                job->status = JobStatus::failed;
                job->error = outcome.error;
                break;
            case RunOutcome::Ending::cancelled:
                job->status = JobStatus::cancelled;
                break;
            }
        }
        keep(job);
    }
}

// Called with the lock held: the job joins the finished ones, and the oldest
// are forgotten beyond the limits (the newest is kept whatever its size).
void JobQueue::keep(const std::shared_ptr<Job>& job) {
    finished_.push_front(job);
    finishedBytes_ += job->bytes;
    while (finished_.size() > 1 &&
           (finished_.size() > limits_.keptRuns || finishedBytes_ > limits_.keptBytes)) {
        finishedBytes_ -= finished_.back()->bytes;
        byId_.erase(finished_.back()->id);
        finished_.pop_back();
    }
}

JobQueue::Found JobQueue::find(const std::string& id, std::shared_ptr<Job>& job) const {
    if (const auto it = byId_.find(id); it != byId_.end()) {
        job = it->second;
        return Found::yes;
    }
    // Ids are given in turn: one given before and no longer held has expired (or was deleted).
    if (id.size() > 1 && id.size() <= 20 && id[0] == 'r' &&
        std::all_of(id.begin() + 1, id.end(), [](char c) { return c >= '0' && c <= '9'; }) && id[1] != '0') {
        const std::uint64_t number = std::stoull(id.substr(1));
        if (number <= lastId_)
            return Found::expired;
    }
    return Found::unknown;
}

JobSnapshot JobQueue::snapshotOf(const Job& job) const {
    JobSnapshot snapshot;
    snapshot.id = job.id;
    snapshot.command = job.command;
    snapshot.options = job.options;
    snapshot.seed = job.seed;
    snapshot.status = job.status;
    snapshot.songsPlanned = job.songsPlanned;
    snapshot.stepsPerSong = job.stepsPerSong;
    snapshot.songsDone = job.run ? job.run->songsDone() : job.songsDone;
    if (job.started != Clock::time_point{}) {
        const Clock::time_point end = job.ended != Clock::time_point{} ? job.ended : Clock::now();
        snapshot.elapsedSeconds = std::chrono::duration<double>(end - job.started).count();
    }
    snapshot.error = job.error;
    for (const auto& rendered : job.outputs)
        snapshot.formats.push_back(rendered->format);
    return snapshot;
}

JobQueue::Found JobQueue::lookUp(const std::string& id, JobSnapshot* snapshot) const {
    std::lock_guard lock(mutex_);
    std::shared_ptr<Job> job;
    const Found found = find(id, job);
    if (found == Found::yes && snapshot != nullptr)
        *snapshot = snapshotOf(*job);
    return found;
}

std::shared_ptr<const RenderedOutput> JobQueue::output(const std::string& id, const std::string& format,
                                                       Found& found, JobStatus& status) const {
    std::lock_guard lock(mutex_);
    std::shared_ptr<Job> job;
    found = find(id, job);
    if (found != Found::yes)
        return nullptr;
    status = job->status;
    for (const auto& rendered : job->outputs)
        if (rendered->format == format)
            return rendered;
    return nullptr;
}

std::optional<JobStatus> JobQueue::cancelOrForget(const std::string& id, Found& found) {
    std::lock_guard lock(mutex_);
    std::shared_ptr<Job> job;
    found = find(id, job);
    if (found != Found::yes)
        return std::nullopt;
    switch (job->status) {
    case JobStatus::queued:
        queued_.erase(std::find(queued_.begin(), queued_.end(), job));
        job->status = JobStatus::cancelled;
        job->run.reset();
        keep(job);
        return JobStatus::cancelled;
    case JobStatus::running:
        job->status = JobStatus::cancelled;
        job->run->cancel();
        return JobStatus::cancelled;
    case JobStatus::done:
    case JobStatus::failed:
    case JobStatus::cancelled:
        if (job == running_) // cancelled, still winding down: it is forgotten once it has stopped
            return JobStatus::cancelled;
        finishedBytes_ -= job->bytes;
        finished_.erase(std::find(finished_.begin(), finished_.end(), job));
        byId_.erase(id);
        return job->status;
    }
    return std::nullopt;
}

void JobQueue::stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        if (running_) {
            running_->status = JobStatus::cancelled;
            running_->run->cancel();
        }
    }
    workArrived_.notify_all();
    if (player_.joinable())
        player_.join();
}

} // namespace quorvex::serve
