// The server's job queue: one run at a time in arrival order, a bounded
// queue, cancellation, and the finished runs it keeps.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "fake_run_source.h"
#include "serve/job_queue.h"

namespace {

using quorvex::serve::JobQueue;
using quorvex::serve::JobSnapshot;
using quorvex::serve::JobStatus;
using quorvex::serve::QueueFull;
using quorvex::serve::QueueLimits;
using quorvex::testing::FakeRunLog;
using quorvex::testing::FakeRunSource;

class Jobs : public ::testing::Test {
  protected:
    std::unique_ptr<quorvex::serve::AcceptedRun> run(const std::string& name) {
        return source.accept("simulate", {{"name", name}, {"seed", "7"}}, 1);
    }
    // Polls until the job has the status, with a deadline.
    static bool reaches(const JobQueue& jobs, const std::string& id, JobStatus status) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        JobSnapshot snapshot;
        while (std::chrono::steady_clock::now() < end) {
            if (jobs.lookUp(id, &snapshot) == JobQueue::Found::yes && snapshot.status == status)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }

    std::shared_ptr<FakeRunLog> log = std::make_shared<FakeRunLog>();
    FakeRunSource source{log};
};

TEST_F(Jobs, PlayOneAtATimeInArrivalOrder) {
    JobQueue jobs(2, QueueLimits{});
    const std::string first = jobs.submit(run("a"));
    ASSERT_TRUE(log->waitForStarts(1));
    const std::string second = jobs.submit(run("b"));
    const std::string third = jobs.submit(run("c"));
    JobSnapshot snapshot;
    ASSERT_EQ(jobs.lookUp(third, &snapshot), JobQueue::Found::yes);
    EXPECT_EQ(snapshot.status, JobStatus::queued);
    EXPECT_TRUE(snapshot.formats.empty());
    log->releaseAll();
    ASSERT_TRUE(reaches(jobs, third, JobStatus::done));
    EXPECT_EQ(log->started, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(log->mostAtOnce, 1);
    ASSERT_EQ(jobs.lookUp(first, &snapshot), JobQueue::Found::yes);
    EXPECT_EQ(snapshot.formats, (std::vector<std::string>{"json", "csv"}));
    EXPECT_EQ(snapshot.songsDone, snapshot.songsPlanned);
}

TEST_F(Jobs, RefuseBeyondTheQueuedLimitWhileOneRuns) {
    JobQueue jobs(1, QueueLimits{2, 64, 1 << 20});
    jobs.submit(run("playing"));
    ASSERT_TRUE(log->waitForStarts(1));
    jobs.submit(run("waiting 1"));
    jobs.submit(run("waiting 2"));
    EXPECT_THROW(jobs.submit(run("one too many")), QueueFull);
    log->releaseAll();
}

TEST_F(Jobs, WithNoRoomToWaitTakeARunOnlyWhenIdle) {
    JobQueue jobs(1, QueueLimits{0, 64, 1 << 20});
    const std::string first = jobs.submit(run("first"));
    ASSERT_TRUE(log->waitForStarts(1));
    EXPECT_THROW(jobs.submit(run("second")), QueueFull);
    log->releaseAll();
    ASSERT_TRUE(reaches(jobs, first, JobStatus::done));
    EXPECT_NO_THROW(jobs.submit(run("third")));
}

TEST_F(Jobs, ACancelledQueuedRunNeverPlaysAndACancelledRunningOneLetsTheNextStart) {
    JobQueue jobs(1, QueueLimits{});
    const std::string playing = jobs.submit(run("playing"));
    ASSERT_TRUE(log->waitForStarts(1));
    const std::string waiting = jobs.submit(run("waiting"));
    const std::string next = jobs.submit(run("next"));
    JobQueue::Found found = JobQueue::Found::unknown;
    EXPECT_EQ(jobs.cancelOrForget(waiting, found), JobStatus::cancelled);
    EXPECT_EQ(jobs.cancelOrForget(playing, found), JobStatus::cancelled);
    ASSERT_TRUE(log->waitForStarts(2));
    EXPECT_EQ(log->started, (std::vector<std::string>{"playing", "next"}));
    EXPECT_TRUE(reaches(jobs, playing, JobStatus::cancelled));
    log->releaseAll();
    EXPECT_TRUE(reaches(jobs, next, JobStatus::done));
}

TEST_F(Jobs, ForgettingAFinishedRunMakesItExpired) {
    JobQueue jobs(1, QueueLimits{});
    log->releaseAll();
    const std::string id = jobs.submit(run("a"));
    ASSERT_TRUE(reaches(jobs, id, JobStatus::done));
    JobQueue::Found found = JobQueue::Found::unknown;
    EXPECT_EQ(jobs.cancelOrForget(id, found), JobStatus::done);
    EXPECT_EQ(jobs.lookUp(id, nullptr), JobQueue::Found::expired);
    EXPECT_FALSE(jobs.cancelOrForget(id, found));
    EXPECT_EQ(found, JobQueue::Found::expired);
}

TEST_F(Jobs, KeepTheNewestRunsWithinTheCount) {
    JobQueue jobs(1, QueueLimits{16, 3, 1 << 20});
    log->releaseAll();
    std::vector<std::string> ids;
    for (const char* name : {"1", "2", "3", "4", "5"})
        ids.push_back(jobs.submit(run(name)));
    ASSERT_TRUE(reaches(jobs, ids.back(), JobStatus::done));
    EXPECT_EQ(jobs.lookUp(ids[0], nullptr), JobQueue::Found::expired);
    EXPECT_EQ(jobs.lookUp(ids[1], nullptr), JobQueue::Found::expired);
    for (std::size_t i = 2; i < ids.size(); ++i)
        EXPECT_EQ(jobs.lookUp(ids[i], nullptr), JobQueue::Found::yes);
}

TEST_F(Jobs, KeepTheNewestRunsWithinTheBytesOfTheirOutput) {
    log->outputBytes = 100; // 104 bytes a run with its csv
    JobQueue jobs(1, QueueLimits{16, 64, 250});
    log->releaseAll();
    std::vector<std::string> ids;
    for (const char* name : {"1", "2", "3", "4"})
        ids.push_back(jobs.submit(run(name)));
    ASSERT_TRUE(reaches(jobs, ids.back(), JobStatus::done));
    EXPECT_EQ(jobs.lookUp(ids[1], nullptr), JobQueue::Found::expired);
    EXPECT_EQ(jobs.lookUp(ids[2], nullptr), JobQueue::Found::yes);
    EXPECT_EQ(jobs.lookUp(ids[3], nullptr), JobQueue::Found::yes);
}

TEST_F(Jobs, IdsNeverGivenAreUnknown) {
    JobQueue jobs(1, QueueLimits{});
    for (const char* id : {"r1", "r0", "r01", "x", "", "r18446744073709551616", "R1"})
        EXPECT_EQ(jobs.lookUp(id, nullptr), JobQueue::Found::unknown) << id;
}

TEST_F(Jobs, AFailedRunKeepsItsMessage) {
    JobQueue jobs(1, QueueLimits{});
    log->releaseAll();
    const std::string id = jobs.submit(source.accept("simulate", {{"fail", "no ratio meets the goal"}}, 1));
    ASSERT_TRUE(reaches(jobs, id, JobStatus::failed));
    JobSnapshot snapshot;
    jobs.lookUp(id, &snapshot);
    EXPECT_EQ(snapshot.error, "no ratio meets the goal");
    EXPECT_TRUE(snapshot.formats.empty());
}

TEST_F(Jobs, StoppingCancelsTheRunningRun) {
    auto jobs = std::make_unique<JobQueue>(1, QueueLimits{});
    jobs->submit(run("playing"));
    jobs->submit(run("waiting"));
    ASSERT_TRUE(log->waitForStarts(1));
    jobs->stop(); // returns only once the run has stopped
    EXPECT_EQ(log->started.size(), 1u);
    EXPECT_EQ(log->playing, 0);
}

} // namespace
