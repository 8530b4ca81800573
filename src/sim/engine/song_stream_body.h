#pragma once
// Draws judged and folded into songs in one pass, for the vector kernels.
// Included only by the kernel_<isa>.cpp files, after kernel_body.h and
// song_folding_body.h; as there, every function is a template instantiated
// with that file's traits type of internal linkage.
//
// evaluateStream writes one code per draw and consumeCodes reads them all
// again; here no code is written for a marvelous draw. Each batch of draws
// leaves two things behind:
// - a bit per draw, set when it is marvelous (from the classification);
// - the codes of the other draws, judged in full vectors, in draw order,
//   beside their positions (the pending list).
// A stretch of a song then adds popcount(bits) marvelous steps of
// marvelousIncrement points each and the sum of the pending codes inside it;
// an unsettled code is judged exactly with the running total before it, which
// is the song's total plus the marvelous steps and the codes before it. The
// arithmetic is the same integer sums consumeCodes forms, in another order.
//
// A traits type I adds to what kernel_body.h asks:
//   classifyRoundMask(state, base, constants, pending)
//                      as classifyRound, but returns the round's marvelous
//                      draws as a bit mask (bit i: draw base + i) and writes
//                      no code

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "sim/engine/kernel.h"
#include "sim/engine/score_aggregate.h"
#include "sim/engine/step_code.h"
#include "sim/step_model.h"

namespace quorvex::kernel_body {

// One batch of pendingCapacity draws as the fold reads it. Scratch: every
// entry the fold uses is written first; the sums load whole vectors past the
// last code and mask off the lanes beyond it (hence the padding).
// NOLINTNEXTLINE(cppcoreguidelines-pro-type-member-init)
struct JudgedBatch {
    std::uint64_t marvelousBits[pendingCapacity / 64];
    std::int32_t pendingCodes[pendingCapacity + pendingPadding];
};

// The marvelous draws among positions [first, last) of the batch.
template <class I>
inline std::int32_t marvelousBetween(const std::uint64_t* bits, std::size_t first, std::size_t last) {
    std::int32_t count = 0;
    while (first < last) {
        const std::size_t word = first / 64;
        const std::size_t end = last < (word + 1) * 64 ? last : (word + 1) * 64;
        const std::size_t width = end - first;
        const std::uint64_t mask = width == 64 ? ~std::uint64_t{0} : ((std::uint64_t{1} << width) - 1);
        count += __builtin_popcountll((bits[word] >> (first % 64)) & mask);
        first = end;
    }
    return count;
}

// Adds draws [first, last) of the batch to `song`: `marvelous` marvelous
// steps among them and the pending codes [pendingFirst, pendingLast).
// Returns false, having added nothing, when one of those codes is unsettled.
template <class I>
inline bool addSettledStretch(const JudgedBatch& batch, std::int32_t marvelous, std::size_t pendingFirst,
                              std::size_t pendingLast, std::int64_t marvelousIncrement,
                              SongInProgress& song) {
    CodeSums total{static_cast<std::int32_t>(marvelous * marvelousIncrement), marvelous, 0};
    for (std::size_t i = pendingFirst; i < pendingLast; i += sumLimit) {
        const std::size_t count = pendingLast - i < sumLimit ? pendingLast - i : sumLimit;
        const CodeSums sums = sumCodes<I>(batch.pendingCodes + i, count);
        total.points += sums.points;
        total.flags |= sums.flags;
    }
    if (total.flags & stepcode::unsettledBit)
        return false;
    addSums<I>(total, song);
    return true;
}

// Adds draws [first, last) of the batch to `song`; the pending draws among
// them are [pendingFirst, pendingLast), the others marvelous.
template <class I>
inline void addStretch(const JudgedBatch& batch, const std::int32_t* positions, std::size_t first,
                       std::size_t last, std::size_t pendingFirst, std::size_t pendingLast,
                       std::int64_t marvelousIncrement, const RunConstants& constants, SongInProgress& song) {
    const auto marvelous = static_cast<std::int32_t>((last - first) - (pendingLast - pendingFirst));
    if (addSettledStretch<I>(batch, marvelous, pendingFirst, pendingLast, marvelousIncrement, song))
        return;
    // About one stretch in a few hundred: walked from unsettled code to
    // unsettled code, each judged exactly from the running total before it.
    for (std::size_t next = pendingFirst; next < pendingLast; ++next) {
        if (!stepcode::unsettled(batch.pendingCodes[next]))
            continue;
        const auto at = static_cast<std::size_t>(positions[next]);
        const auto before = static_cast<std::int32_t>((at - first) - (next - pendingFirst));
        addSettledStretch<I>(batch, before, pendingFirst, next, marvelousIncrement, song);
        const StepOutcome step = applyStepCode(batch.pendingCodes[next], song.points, constants);
        song.points = step.points;
        song.marvelous += step.marvelous ? 1 : 0;
        if (step.breaksAaa)
            song.aaa = false;
        first = at + 1;
        pendingFirst = next + 1;
    }
    addSettledStretch<I>(batch, static_cast<std::int32_t>((last - first) - (pendingLast - pendingFirst)),
                         pendingFirst, pendingLast, marvelousIncrement, song);
}

// Folds the batch's first `count` draws into songs of `steps` steps, as
// consumeCodes folds their codes. Every draw is marvelous or pending, so a
// stretch's pending draws are counted by its marvelous bits.
template <class I>
inline void foldBatch(const JudgedBatch& batch, const PendingDraws& pending, std::size_t count,
                      std::int32_t steps, std::int64_t marvelousIncrement, const RunConstants& constants,
                      SongInProgress& song, ScoreAggregate& aggregate) {
    std::size_t position = 0, pendingIndex = 0;
    while (position < count) {
        const auto left = static_cast<std::size_t>(song.stepsLeft);
        const std::size_t end = left < count - position ? position + left : count;
        const std::size_t pendingEnd =
            pendingIndex + (end - position) -
            static_cast<std::size_t>(marvelousBetween<I>(batch.marvelousBits, position, end));
        addStretch<I>(batch, pending.position, position, end, pendingIndex, pendingEnd, marvelousIncrement,
                      constants, song);
        song.stepsLeft -= static_cast<std::int32_t>(end - position);
        position = end;
        pendingIndex = pendingEnd;
        if (song.stepsLeft == 0) {
            recordSong<I>(aggregate, song);
            song = SongInProgress{0, 0, true, steps};
        }
    }
}

// Plays `draws` draws of the streams (laneStates and stride as for
// evaluateStream) into songs of `steps` steps: `song` continues, may stay
// unfinished, and each finished song is recorded in `aggregate`.
template <class I>
// NOLINTNEXTLINE(readability-non-const-parameter)
void playStream(std::uint64_t* laneStates, RandomJump stride, std::size_t draws, const KernelConstants& k,
                std::int32_t steps, const RunConstants& constants, SongInProgress& song,
                ScoreAggregate& aggregate) {
    constexpr std::size_t roundDraws = static_cast<std::size_t>(I::interleave) * I::width;
    static_assert(pendingCapacity % 64 == 0 && 64 % roundDraws == 0);
    LaneStates<I> lanes(laneStates, stride);
    const typename I::RoundConstants roundConstants(k);
    PendingDraws pending;
    JudgedBatch batch; // NOLINT(cppcoreguidelines-pro-type-member-init): scratch, see JudgedBatch
    for (std::size_t done = 0; done < draws; done += pendingCapacity) {
        const std::size_t count = draws - done < pendingCapacity ? draws - done : pendingCapacity;
        // 1. Classification: marvelous bits, the others pending.
        std::memset(batch.marvelousBits, 0, sizeof batch.marvelousBits);
        for (std::size_t base = 0; base < count; base += roundDraws) {
            const std::uint64_t mask =
                I::classifyRoundMask(lanes.state, static_cast<std::int32_t>(base), roundConstants, pending);
            batch.marvelousBits[base / 64] |= mask << (base % 64);
            lanes.advance();
        }
        // 2. The pending draws judged in full vectors, their codes in order.
        judgePendingInOrder<I>(pending, k, batch.pendingCodes);
        // 3. The songs: draws past `count` (the last round's spare lanes)
        //    are left out by position.
        foldBatch<I>(batch, pending, count, steps, k.marvelousIncrement, constants, song, aggregate);
        pending.count = 0;
    }
    lanes.storeTo(laneStates);
}

} // namespace quorvex::kernel_body
