#include "sim/engine/song_batch.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "runtime/numeric_mode.h"
#include "runtime/random_source.h"
#include "sim/engine/kernel.h"
#include "sim/engine/kernel_constants.h"
#include "sim/engine/one_step_songs.h"
#include "sim/engine/plain_run.h"
#include "sim/engine/processor.h"

namespace quorvex {

namespace {

// Draws per kernel call: small enough for the codes to stay in the first-level
// cache, a multiple of every kernel's lane count.
constexpr std::size_t blockDraws = 4096;
// Songs are handed to threads in chunks of about this many draws.
constexpr std::int64_t chunkDraws = std::int64_t{1} << 18;
constexpr std::size_t maxLanes = 64;

// While a chunk plays, the cancel flag is read once per this many blocks
// (about a chunk's draws), so that even a song of 2^31 steps stops soon.
constexpr std::size_t blocksBetweenCancelChecks = 64;

bool cancelRequested(const std::atomic<bool>* cancel) {
    return cancel != nullptr && cancel->load(std::memory_order_relaxed);
}

// How a run is played, decided before the batch starts and without judging
// a step.
enum class RunWay {
    nothing,    // no songs
    noDraws,    // songs of no steps: each (0, 0, true), nothing drawn
    faults,     // unusable deviationScale: the first step faults, nothing drawn
    plainModel, // declined by the kernels: one work item, the whole run
    kernels,    // work items of whole songs, each from its jump-ahead state
};

struct RunPlan {
    RunWay way = RunWay::nothing;
    std::int64_t chunkSongs = 0; // songs per work item
    std::int64_t chunkCount = 0; // work items
};

RunPlan planRun(const SongRun& run) {
    if (run.songs <= 0)
        return {RunWay::nothing, 0, 0};
    if (run.steps <= 0)
        return {RunWay::noDraws, 0, 0};
    if (deviationScaleUnusable(run.constants))
        return {RunWay::faults, 0, 0};
    if (!kernelsCoverRun(run.steps, run.constants))
        return {RunWay::plainModel, run.songs, 1};
    const std::int64_t chunkSongs = std::max<std::int64_t>(1, chunkDraws / run.steps);
    return {RunWay::kernels, chunkSongs, (run.songs + chunkSongs - 1) / chunkSongs};
}

// The songs and fault of a run without work items.
ModelFault playWithoutDraws(const SongRun& run, RunWay way, ScoreAggregate& songs,
                            std::atomic<std::int64_t>* songsDone) {
    if (way == RunWay::faults)
        return ModelFault::unusableDeviationScale;
    if (way == RunWay::noDraws) {
        songs.recordRepeated({0, 0, true}, run.songs);
        if (songsDone != nullptr)
            songsDone->fetch_add(run.songs, std::memory_order_relaxed);
    }
    return ModelFault::none;
}

// What the kernels' work items of a run share, prepared once per run.
struct KernelRun {
    KernelConstants constants;
    // Set for a run of many one-step songs, which are counted in bulk.
    std::shared_ptr<const OneStepSongs> oneStepSongs;
};

// Plays work items; one per thread, holding that thread's code buffer.
class ChunkPlayer {
  public:
    ChunkPlayer(const KernelSet& kernels, const EngineOptions& options)
        : kernels_(kernels), songsDone_(options.songsDone), cancel_(options.cancel),
          codes_(blockDraws + codePadding) {}

    // The run was asked to stop: a chunk cut short holds partial songs.
    bool cancelled() const { return cancelRequested(cancel_); }

    // Plays work item `chunk` of `run` into `songs`; returns the fault of a
    // plain-model run, else ModelFault::none. `prepared` is set for the
    // kernels' runs.
    ModelFault play(const SongRun& run, const RunPlan& plan, const std::optional<KernelRun>& prepared,
                    std::int64_t chunk, ScoreAggregate& songs) {
        if (plan.way == RunWay::plainModel)
            return playPlainly(run, songs);
        const std::int64_t first = chunk * plan.chunkSongs;
        const std::int64_t count = std::min<std::int64_t>(plan.chunkSongs, run.songs - first);
        const std::uint64_t state = advanceRandomState(
            run.startState, static_cast<std::uint64_t>(first) * static_cast<std::uint64_t>(run.steps));
        if (prepared->oneStepSongs)
            countOneStepSongs(*prepared->oneStepSongs, state, count, songs);
        else
            playSongs(prepared->constants, run, state, count, songs);
        if (songsDone_ != nullptr)
            songsDone_->fetch_add(count, std::memory_order_relaxed);
        return ModelFault::none;
    }

  private:
    // The whole run by the plain model from the run's own generator state,
    // one song after another, as runSongsPlain plays it from randomState.
    // Songs are counted in songsDone about a chunk's draws at a time.
    ModelFault playPlainly(const SongRun& run, ScoreAggregate& songs) {
        std::uint64_t state = run.startState;
        std::int64_t uncounted = 0;
        const std::int64_t countEvery = std::max<std::int64_t>(1, chunkDraws / run.steps);
        for (std::int32_t song = 0; song < run.songs; ++song) {
            if (cancelled())
                return ModelFault::none;
            const SongOutcome outcome = simulateSongFrom(state, run.steps, run.constants);
            if (outcome.fault != ModelFault::none)
                return outcome.fault;
            songs.record(outcome.result);
            if (++uncounted == countEvery)
                count(uncounted);
        }
        count(uncounted);
        return ModelFault::none;
    }

    // Adds `songCount` to songsDone, when set, and clears it.
    void count(std::int64_t& songCount) {
        if (songsDone_ != nullptr && songCount > 0)
            songsDone_->fetch_add(songCount, std::memory_order_relaxed);
        songCount = 0;
    }

    // The first draws after `state` for the lanes of the kernels' streams.
    RandomJump startLanes(std::uint64_t state, std::uint64_t* laneStates) const {
        for (std::size_t i = 0; i < kernels_.lanes; ++i) {
            state = stepRandomState(state);
            laneStates[i] = state;
        }
        return randomJump(kernels_.lanes);
    }

    // Plays `songCount` one-step songs starting with the draw after `state`:
    // their draws counted per interval of equal result, then recorded.
    void countOneStepSongs(const OneStepSongs& intervals, std::uint64_t state, std::int64_t songCount,
                           ScoreAggregate& songs) {
        const std::size_t lanes = kernels_.lanes;
        std::uint64_t laneStates[maxLanes];
        const RandomJump stride = startLanes(state, laneStates);
        intervalCounts_.assign(intervals.intervalCount(), 0);
        for (std::int64_t remaining = songCount; remaining > 0;) {
            const auto count = static_cast<std::size_t>(std::min<std::int64_t>(remaining, blockDraws));
            kernels_.drawIndexStream(laneStates, stride, codes_.data(), (count + lanes - 1) / lanes);
            for (std::size_t i = 0; i < count; ++i)
                ++intervalCounts_[intervals.intervalOf(codes_[i])];
            remaining -= static_cast<std::int64_t>(count);
        }
        for (std::size_t interval = 0; interval < intervalCounts_.size(); ++interval)
            songs.recordRepeated(intervals.result(interval), intervalCounts_[interval]);
    }

    // Plays `songCount` whole songs starting with the draw after `state`.
    void playSongs(const KernelConstants& kc, const SongRun& run, std::uint64_t state, std::int64_t songCount,
                   ScoreAggregate& songs) {
        const std::size_t lanes = kernels_.lanes;
        std::uint64_t laneStates[maxLanes];
        const RandomJump stride = startLanes(state, laneStates);
        // Songs of many steps are played in one pass, where the kernels have
        // one; short ones are summed faster from a code per draw.
        const bool fused = kernels_.playStream != nullptr && run.steps >= kernels_.onePassSteps;
        SongInProgress song{0, 0, true, run.steps};
        std::int64_t remaining = songCount * run.steps;
        for (std::size_t block = 1; remaining > 0; ++block) {
            if (block % blocksBetweenCancelChecks == 0 && cancelled())
                return;
            const auto count = static_cast<std::size_t>(std::min<std::int64_t>(remaining, blockDraws));
            if (fused) {
                kernels_.playStream(laneStates, stride, count, kc, run.steps, run.constants, song, songs);
            } else {
                kernels_.evaluateStream(laneStates, stride, codes_.data(), (count + lanes - 1) / lanes, kc);
                kernels_.consumeCodes(codes_.data(), count, run.steps, run.constants, song, songs);
            }
            remaining -= static_cast<std::int64_t>(count);
        }
    }

    const KernelSet& kernels_;
    std::atomic<std::int64_t>* songsDone_;
    const std::atomic<bool>* cancel_;
    std::vector<std::int32_t> codes_;
    std::vector<std::int64_t> intervalCounts_;
};

// What the kernels' work items of a run share (nothing for the plain model).
std::optional<KernelRun> prepareKernelRun(const SongRun& run, const RunPlan& plan, const KernelSet& kernels) {
    if (plan.way != RunWay::kernels)
        return std::nullopt;
    KernelRun prepared{*kernelConstantsFor(run.steps, run.constants), nullptr};
    if (run.steps == 1 && OneStepSongs::worthBuilding(run.songs))
        prepared.oneStepSongs =
            std::make_shared<const OneStepSongs>(kernels, prepared.constants, run.constants);
    return prepared;
}

// The whole batch on the calling thread alone, run after run.
void playAlone(const std::vector<SongRun>& runs, const std::vector<RunPlan>& plans, const KernelSet& kernels,
               const EngineOptions& options, const SongRunFinished& finished) {
    ChunkPlayer player(kernels, options);
    for (std::size_t r = 0; r < runs.size(); ++r) {
        ScoreAggregate songs;
        ModelFault fault = playWithoutDraws(runs[r], plans[r].way, songs, options.songsDone);
        const std::optional<KernelRun> prepared = prepareKernelRun(runs[r], plans[r], kernels);
        for (std::int64_t chunk = 0; chunk < plans[r].chunkCount; ++chunk) {
            if (player.cancelled())
                return;
            if (const ModelFault f = player.play(runs[r], plans[r], prepared, chunk, songs);
                f != ModelFault::none)
                fault = f;
        }
        if (player.cancelled())
            return;
        finished(r, songs, fault);
    }
}

// A run whose work items are being played: what the threads fold into it.
struct RunInFlight {
    std::optional<KernelRun> prepared; // set before any thread reads it
    std::mutex merging;                // guards songs and fault
    ScoreAggregate songs;
    ModelFault fault = ModelFault::none;
    std::atomic<std::int64_t> chunksLeft{0}; // work items not yet folded in
};

// The batch shared by a pool of threads and the calling thread.
//
// The work items of all runs are numbered in one sequence, run after run,
// and handed out in order by one atomic counter, so a thread that finds no
// item of its run left takes the next run's. A thread folds its songs of a
// run into that run's slot when it moves on to another run (or ends): one
// merge per thread and run. The calling thread waits for the runs in order,
// reports each and then frees its slot for the run `window` places later;
// a thread whose next item belongs to a run without a slot yet waits.
class SharedBatch {
  public:
    SharedBatch(const std::vector<SongRun>& runs, const std::vector<RunPlan>& plans, const KernelSet& kernels,
                const EngineOptions& options, std::size_t window)
        : runs_(runs), plans_(plans), kernels_(kernels), options_(options), songsDone_(options.songsDone),
          window_(window), slots_(window), firstChunk_(runs.size() + 1, 0) {
        // 1. Item numbers: the items of run r are firstChunk_[r] .. firstChunk_[r + 1] - 1.
        for (std::size_t r = 0; r < runs.size(); ++r)
            firstChunk_[r + 1] = firstChunk_[r] + plans[r].chunkCount;
        // 2. The first runs get their slots before any thread starts.
        for (std::size_t r = 0; r < std::min(window, runs.size()); ++r)
            prepareSlot(r);
    }

    std::int64_t itemCount() const { return firstChunk_.back(); }

    // A thread of the pool: plays items until none is left or the batch stops.
    void work() noexcept {
        try {
            setNumericMode();
            ChunkPlayer player(kernels_, options_);
            ScoreAggregate held;
            ModelFault heldFault = ModelFault::none;
            std::size_t heldRun = runs_.size(); // none yet
            std::int64_t heldItems = 0;
            while (!stopping_.load(std::memory_order_relaxed)) {
                if (player.cancelled()) {
                    // Songs held may be cut short: none is handed over.
                    stop();
                    return;
                }
                const std::int64_t item = nextItem_.fetch_add(1, std::memory_order_relaxed);
                if (item >= itemCount())
                    break;
                const std::size_t run = runOfItem(item);
                if (run != heldRun) {
                    handOver(heldRun, held, heldFault, heldItems);
                    heldRun = run;
                }
                if (!waitForSlot(run))
                    return;
                const RunInFlight& slot = slotOf(run);
                const ModelFault fault =
                    player.play(runs_[run], plans_[run], slot.prepared, item - firstChunk_[run], held);
                if (fault != ModelFault::none)
                    heldFault = fault;
                ++heldItems;
            }
            handOver(heldRun, held, heldFault, heldItems);
        } catch (...) {
            stop(std::current_exception());
        }
    }

    // The calling thread: reports every run in order. Returns early when a
    // thread has failed.
    void report(const SongRunFinished& finished) {
        for (std::size_t r = 0; r < runs_.size(); ++r) {
            if (cancelRequested(options_.cancel)) {
                stop();
                return;
            }
            if (plans_[r].chunkCount == 0) {
                ScoreAggregate songs;
                const ModelFault fault = playWithoutDraws(runs_[r], plans_[r].way, songs, songsDone_);
                finished(r, songs, fault);
            } else {
                RunInFlight& slot = slotOf(r);
                {
                    std::unique_lock<std::mutex> lock(gate_);
                    runDone_.wait(lock, [&] {
                        return slot.chunksLeft.load(std::memory_order_acquire) == 0 ||
                               stopping_.load(std::memory_order_relaxed);
                    });
                }
                if (stopping_.load(std::memory_order_relaxed) || cancelRequested(options_.cancel)) {
                    stop();
                    return;
                }
                finished(r, slot.songs, slot.fault);
            }
            // The slot of run r now serves run r + window.
            if (r + window_ < runs_.size())
                prepareSlot(r + window_);
            {
                const std::lock_guard<std::mutex> lock(gate_);
                reported_.store(r + 1, std::memory_order_release);
            }
            slotFreed_.notify_all();
        }
    }

    // Stops the batch: threads take no further item and stop waiting. The
    // first failure passed here is kept for rethrowFailure.
    void stop(const std::exception_ptr& failure = nullptr) {
        {
            const std::lock_guard<std::mutex> lock(gate_);
            if (failure && !failure_)
                failure_ = failure;
            stopping_.store(true, std::memory_order_relaxed);
        }
        slotFreed_.notify_all();
        runDone_.notify_all();
    }

    void rethrowFailure() const {
        if (failure_)
            std::rethrow_exception(failure_);
    }

  private:
    RunInFlight& slotOf(std::size_t run) { return slots_[run % window_]; }

    // The run an item belongs to: the last run whose first item is at most
    // `item` (runs without items share their first number with the next).
    std::size_t runOfItem(std::int64_t item) const {
        const auto after = std::upper_bound(firstChunk_.begin(), firstChunk_.end(), item);
        return static_cast<std::size_t>(after - firstChunk_.begin() - 1);
    }

    // Called while no thread can reach the slot (before the threads start,
    // or after its previous run was reported and before reported_ admits
    // the new one).
    void prepareSlot(std::size_t run) {
        if (plans_[run].chunkCount == 0)
            return;
        RunInFlight& slot = slotOf(run);
        slot.prepared = prepareKernelRun(runs_[run], plans_[run], kernels_);
        slot.songs = ScoreAggregate{};
        slot.fault = ModelFault::none;
        slot.chunksLeft.store(plans_[run].chunkCount, std::memory_order_relaxed);
    }

    // False when the batch stopped while waiting.
    bool waitForSlot(std::size_t run) {
        if (run < reported_.load(std::memory_order_acquire) + window_)
            return true;
        std::unique_lock<std::mutex> lock(gate_);
        slotFreed_.wait(lock, [&] {
            return run < reported_.load(std::memory_order_relaxed) + window_ ||
                   stopping_.load(std::memory_order_relaxed);
        });
        return !stopping_.load(std::memory_order_relaxed);
    }

    // Folds a thread's songs of one run into the run's slot and clears them;
    // the thread that folds in the run's last items wakes the calling thread.
    void handOver(std::size_t run, ScoreAggregate& held, ModelFault& heldFault, std::int64_t& heldItems) {
        if (heldItems == 0)
            return;
        RunInFlight& slot = slotOf(run);
        {
            const std::lock_guard<std::mutex> lock(slot.merging);
            slot.songs.merge(held);
            if (heldFault != ModelFault::none)
                slot.fault = heldFault;
        }
        held = ScoreAggregate{};
        heldFault = ModelFault::none;
        const std::int64_t items = heldItems;
        heldItems = 0;
        if (slot.chunksLeft.fetch_sub(items, std::memory_order_acq_rel) == items) {
            // Taking the gate orders this wake-up after the waiter's test.
            { const std::lock_guard<std::mutex> lock(gate_); }
            runDone_.notify_one();
        }
    }

    const std::vector<SongRun>& runs_;
    const std::vector<RunPlan>& plans_;
    const KernelSet& kernels_;
    const EngineOptions& options_;
    std::atomic<std::int64_t>* songsDone_;
    const std::size_t window_;
    std::vector<RunInFlight> slots_;
    std::vector<std::int64_t> firstChunk_;

    std::atomic<std::int64_t> nextItem_{0};
    std::atomic<std::size_t> reported_{0};
    std::atomic<bool> stopping_{false};
    std::mutex gate_; // with the two conditions below; guards failure_
    std::condition_variable runDone_;
    std::condition_variable slotFreed_;
    std::exception_ptr failure_;
};

} // namespace

void runSongBatch(const std::vector<SongRun>& runs, const EngineOptions& options,
                  const SongRunFinished& finished) {
    // 1. Plans and work items; as many threads as there are items at most.
    std::vector<RunPlan> plans;
    plans.reserve(runs.size());
    std::int64_t items = 0;
    for (const SongRun& run : runs) {
        plans.push_back(planRun(run));
        items += plans.back().chunkCount;
    }
    const KernelSet& kernels = kernelsFor(options.isa);
    const int threads = static_cast<int>(
        std::min<std::int64_t>(options.threads > 0 ? options.threads : affinityThreadCount(), items));
    // 2. One thread or none needed: the calling thread plays every run itself.
    if (threads <= 1) {
        playAlone(runs, plans, kernels, options, finished);
        return;
    }

    // 3. A pool of threads plays; the calling thread reports. However the
    //    reporting ends, the threads are stopped and joined before leaving.
    SharedBatch batch(runs, plans, kernels, options, 2 * static_cast<std::size_t>(threads) + 4);
    std::vector<std::thread> pool;
    try {
        pool.reserve(static_cast<std::size_t>(threads));
        for (int t = 0; t < threads; ++t)
            pool.emplace_back([&batch] { batch.work(); });
        batch.report(finished);
    } catch (...) {
        batch.stop();
        for (std::thread& thread : pool)
            thread.join();
        throw;
    }
    for (std::thread& thread : pool)
        thread.join();
    batch.rethrowFailure();
}

} // namespace quorvex
