#pragma once
// Folding step codes into songs, written once for every instruction set.
// Included only by the kernel_<isa>.cpp files, beside
// kernel_body.h; as there, every function here is a template
// instantiated with that file's traits type of internal linkage, so that no
// copy compiled for one instruction set is shared with another.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "sim/engine/kernel.h"
#include "sim/engine/score_aggregate.h"
#include "sim/engine/step_code.h"
#include "sim/step_model.h"

namespace quorvex::kernel_body {

// ScoreAggregate::record, written again here so that this hot copy is
// compiled for the file's instruction set and inlined (see the note above).
template <class I> inline void recordSong(ScoreAggregate& aggregate, const SongInProgress& song) {
    const std::int32_t score = song.points / scoreDivisor;
    if (score < 0 || score >= ScoreAggregate::denseScores) {
        aggregate.record({score, song.marvelous, song.aaa});
        return;
    }
    const auto s = static_cast<std::size_t>(score);
    if (aggregate.frequency[s] == 0) {
        aggregate.highestMarvelous[s] = song.marvelous;
        aggregate.lowestMarvelous[s] = song.marvelous;
    } else {
        if (song.marvelous > aggregate.highestMarvelous[s])
            aggregate.highestMarvelous[s] = song.marvelous;
        if (song.marvelous < aggregate.lowestMarvelous[s])
            aggregate.lowestMarvelous[s] = song.marvelous;
    }
    ++aggregate.frequency[s];
    aggregate.aaaCount[s] += song.aaa ? 1 : 0;
    aggregate.marvelousSum[s] += song.marvelous;
}

// Settled codes add up. Without its bits from 28 on (AAA cleared, unsettled)
// a code is its points plus 2^27 if marvelous, and a song's points stay below
// 2^27 (steps * stepValue = 10^8), so a sum of up to 31 such values holds the
// points in its low 27 bits and the marvelous count above them, without
// overflow: eight lane sums of up to 31 codes each take sumLimit codes. The OR
// of the codes tells whether any clears the AAA flag or is unsettled.
inline constexpr std::size_t sumLanes = 8;
inline constexpr std::size_t sumLimit = 31 * sumLanes;
inline constexpr std::uint32_t sumMask = stepcode::incrementMask | stepcode::marvelousBit;
static_assert(31 * (std::uint64_t{stepcode::marvelousBit} + 1) + 100000000 < (std::uint64_t{1} << 32));

struct CodeSums {
    std::int32_t points;
    std::int32_t marvelous;
    std::uint32_t flags;
};

using CodeVector [[gnu::vector_size(4 * sumLanes)]] = std::uint32_t;
static_assert(sumLanes == 8);

// The sum (or the OR) of all lanes. Vectors pass by reference: these
// helpers are also compiled where 32-byte vectors have no registers.
template <class I> inline std::uint32_t sumOfLanes(const CodeVector& lanes) {
    CodeVector v = lanes + __builtin_shufflevector(lanes, lanes, 4, 5, 6, 7, 0, 1, 2, 3);
    v += __builtin_shufflevector(v, v, 2, 3, 0, 1, 6, 7, 4, 5);
    v += __builtin_shufflevector(v, v, 1, 0, 3, 2, 5, 4, 7, 6);
    return v[0];
}
template <class I> inline std::uint32_t orOfLanes(const CodeVector& lanes) {
    CodeVector v = lanes | __builtin_shufflevector(lanes, lanes, 4, 5, 6, 7, 0, 1, 2, 3);
    v |= __builtin_shufflevector(v, v, 2, 3, 0, 1, 6, 7, 4, 5);
    v |= __builtin_shufflevector(v, v, 1, 0, 3, 2, 5, 4, 7, 6);
    return v[0];
}

// The codes code[0 .. count - 1] with the lanes from `count` on cleared;
// code[count .. sumLanes - 1] must be readable.
template <class I> inline void loadFirstCodes(const std::int32_t* code, std::size_t count, CodeVector& bits) {
    using LaneNumbers [[gnu::vector_size(4 * sumLanes)]] = std::int32_t;
    const LaneNumbers laneNumbers = {0, 1, 2, 3, 4, 5, 6, 7};
    std::memcpy(&bits, code, sizeof bits);
    bits &= (CodeVector)(laneNumbers < static_cast<std::int32_t>(count));
}

// count <= sumLimit; the codePadding values after code[count - 1] must be
// readable. Each lane sums at most 31 codes.
template <class I> inline CodeSums sumCodes(const std::int32_t* code, std::size_t count) {
    CodeVector laneSums{}, laneFlags{};
    std::size_t i = 0;
    for (; i + sumLanes <= count; i += sumLanes) {
        CodeVector bits;
        std::memcpy(&bits, code + i, sizeof bits);
        laneSums += bits & sumMask;
        laneFlags |= bits;
    }
    if (i < count) {
        CodeVector bits;
        loadFirstCodes<I>(code + i, count - i, bits);
        laneSums += bits & sumMask;
        laneFlags |= bits;
    }
    // The lanes' points and marvelous counts summed apart: each total fits,
    // their packed total need not.
    return {static_cast<std::int32_t>(sumOfLanes<I>(laneSums & stepcode::incrementMask)),
            static_cast<std::int32_t>(sumOfLanes<I>(laneSums >> 27)), orOfLanes<I>(laneFlags)};
}

// The same for count <= sumLanes, with one vector.
template <class I> inline CodeSums sumShortCodes(const std::int32_t* code, std::size_t count) {
    CodeVector bits;
    loadFirstCodes<I>(code, count, bits);
    const std::uint32_t sum = sumOfLanes<I>(bits & sumMask);
    return {static_cast<std::int32_t>(sum & stepcode::incrementMask), static_cast<std::int32_t>(sum >> 27),
            orOfLanes<I>(bits)};
}

// The position of the first unsettled code of code[0 .. count - 1], or count.
template <class I> inline std::size_t firstUnsettled(const std::int32_t* code, std::size_t count) {
    std::size_t i = 0;
    for (; i + sumLanes <= count; i += sumLanes) {
        CodeVector bits;
        std::memcpy(&bits, code + i, sizeof bits);
        if (orOfLanes<I>(bits) & stepcode::unsettledBit)
            break;
    }
    for (; i < count; ++i)
        if (static_cast<std::uint32_t>(code[i]) & stepcode::unsettledBit)
            return i;
    return count;
}

template <class I> inline void addSums(const CodeSums& sums, SongInProgress& song) {
    song.points += sums.points;
    song.marvelous += sums.marvelous;
    if (sums.flags & stepcode::breaksAaaBit)
        song.aaa = false;
}

// Adds a run of at most sumLimit codes to a song: summed as a whole when none
// is unsettled, else summed between the unsettled ones, which are judged
// exactly with the running total before them.
template <class I>
inline void addCodes(const std::int32_t* code, std::size_t count, const RunConstants& constants,
                     SongInProgress& song) {
    const CodeSums sums = sumCodes<I>(code, count);
    if ((sums.flags & stepcode::unsettledBit) == 0) {
        addSums<I>(sums, song);
        return;
    }
    std::size_t start = 0;
    for (std::size_t i = firstUnsettled<I>(code, count); i < count;
         i = start + firstUnsettled<I>(code + start, count - start)) {
        addSums<I>(sumCodes<I>(code + start, i - start), song);
        const StepOutcome step = applyStepCode(code[i], song.points, constants);
        song.points = step.points;
        song.marvelous += step.marvelous ? 1 : 0;
        if (step.breaksAaa)
            song.aaa = false;
        start = i + 1;
    }
    addSums<I>(sumCodes<I>(code + start, count - start), song);
}

template <class I>
void consumeCodes(const std::int32_t* codes, std::size_t count, std::int32_t steps,
                  const RunConstants& constants, SongInProgress& song, ScoreAggregate& aggregate) {
    // Groups of at most sumLimit codes; one holding an unsettled draw (about
    // one draw in 1000) is walked step by step.
    constexpr std::size_t group = sumLimit;
    const auto length = static_cast<std::size_t>(steps);
    std::size_t pos = 0;
    while (pos < count) {
        // 1. Whole short songs inside the block, none of their draws
        //    unsettled: summed and recorded straight away.
        while (length <= group && song.stepsLeft == steps && pos + length <= count) {
            CodeSums sums{};
            if (length == 1) {
                const auto bits = static_cast<std::uint32_t>(codes[pos]);
                sums = {static_cast<std::int32_t>(bits & stepcode::incrementMask),
                        static_cast<std::int32_t>((bits >> 27) & 1), bits};
            } else {
                sums = length <= sumLanes ? sumShortCodes<I>(codes + pos, length)
                                          : sumCodes<I>(codes + pos, length);
            }
            if (sums.flags & stepcode::unsettledBit)
                break;
            recordSong<I>(aggregate,
                          {sums.points, sums.marvelous, (sums.flags & stepcode::breaksAaaBit) == 0, 0});
            pos += length;
        }
        if (pos >= count)
            break;
        // 2. Otherwise the rest of the current song within this block, in
        //    groups; a song may carry over into the next block.
        const std::size_t left = static_cast<std::size_t>(song.stepsLeft);
        const std::size_t take = left < count - pos ? left : count - pos;
        for (std::size_t done = 0; done < take; done += group)
            addCodes<I>(codes + pos + done, take - done < group ? take - done : group, constants, song);
        pos += take;
        song.stepsLeft -= static_cast<std::int32_t>(take);
        if (song.stepsLeft == 0) {
            recordSong<I>(aggregate, song);
            song = SongInProgress{0, 0, true, steps};
        }
    }
}

} // namespace quorvex::kernel_body
