#include "sim/engine/one_step_songs.h"

#include <algorithm>
#include <stdexcept>

#include "runtime/random_source.h"
#include "sim/engine/draw_thresholds.h"
#include "sim/engine/step_code.h"

namespace quorvex {

namespace {

// An inclusive range of draw indices inside one of the two monotone sides.
struct DrawRange {
    std::int32_t first;
    std::int32_t last;
};

// The results of one-step songs drawing these indices, exactly as the plain
// model plays them: the kernels' settled verdicts are exact, and the
// unsettled ones are judged again from a running total of 0.
std::vector<SongResult> songResults(const std::vector<std::int32_t>& indices, const KernelSet& kernels,
                                    const KernelConstants& kernelConstants, const RunConstants& constants) {
    std::vector<std::int32_t> codes(indices.size());
    kernels.evaluateIndices(indices.data(), indices.size(), kernelConstants, codes.data(), nullptr);
    std::vector<SongResult> results;
    results.reserve(indices.size());
    for (const std::int32_t code : codes) {
        const StepOutcome step = applyStepCode(code, 0, constants);
        results.push_back({step.points / scoreDivisor, step.marvelous ? 1 : 0, !step.breaksAaa});
    }
    return results;
}

} // namespace

OneStepSongs::OneStepSongs(const KernelSet& kernels, const KernelConstants& kernelConstants,
                           const RunConstants& constants) {
    // 1. Ranges of 1024 draws, on either side of the centre, so that each
    //    lies where the result is monotone in t.
    constexpr std::int32_t rangeSize = 1024;
    std::vector<DrawRange> ranges;
    ranges.reserve(2 + drawModulus / rangeSize);
    for (const DrawRange side :
         {DrawRange{0, centreDrawIndex}, DrawRange{centreDrawIndex + 1, drawModulus - 1}})
        for (std::int32_t first = side.first; first <= side.last; first += rangeSize)
            ranges.push_back({first, std::min(first + rangeSize - 1, side.last)});

    // 2. A range whose ends give the same result holds no change (the
    //    results are monotone in t); one whose ends differ is halved until
    //    its ends are neighbours, and the upper end is then a boundary. A
    //    change between neighbouring ranges is a boundary too. So every index
    //    where the result changes is found, each after some 10 more judged
    //    draws (1024 = 2^10). All ranges are halved together, one batch of
    //    draws per round.
    std::vector<std::int32_t> ends;
    ends.reserve(2 * ranges.size());
    for (const DrawRange& range : ranges) {
        ends.push_back(range.first);
        ends.push_back(range.last);
    }
    const std::vector<SongResult> results = songResults(ends, kernels, kernelConstants, constants);
    std::vector<std::int32_t> boundaries;
    struct OpenRange {
        DrawRange range;
        SongResult atFirst, atLast;
    };
    std::vector<OpenRange> open;
    for (std::size_t r = 0; r < ranges.size(); ++r) {
        if (r > 0 && ranges[r - 1].last + 1 == ranges[r].first && results[2 * r - 1] != results[2 * r])
            boundaries.push_back(ranges[r].first);
        if (results[2 * r] != results[2 * r + 1])
            open.push_back({ranges[r], results[2 * r], results[2 * r + 1]});
    }
    while (!open.empty()) {
        std::vector<std::int32_t> middles;
        std::vector<OpenRange> halves;
        for (const OpenRange& o : open) {
            if (o.range.last - o.range.first == 1)
                boundaries.push_back(o.range.last);
            else
                middles.push_back(o.range.first + (o.range.last - o.range.first) / 2);
        }
        const std::vector<SongResult> atMiddle = songResults(middles, kernels, kernelConstants, constants);
        std::size_t m = 0;
        for (const OpenRange& o : open) {
            if (o.range.last - o.range.first == 1)
                continue;
            const std::int32_t middle = middles[m];
            const SongResult& result = atMiddle[m++];
            if (o.atFirst != result)
                halves.push_back({{o.range.first, middle}, o.atFirst, result});
            if (result != o.atLast)
                halves.push_back({{middle, o.range.last}, result, o.atLast});
        }
        open = std::move(halves);
    }
    std::sort(boundaries.begin(), boundaries.end());
    boundaries.erase(std::unique(boundaries.begin(), boundaries.end()), boundaries.end());

    // 3. The intervals, each with its result.
    starts_.push_back(0);
    starts_.insert(starts_.end(), boundaries.begin(), boundaries.end());
    results_ = songResults(starts_, kernels, kernelConstants, constants);

    // 4. The lookup table: the interval of each cell's first index, in 16
    //    bits (on each side the score changes at most 1000 times and the
    //    marvelous count and the AAA flag once each: some 2000 intervals).
    if (starts_.size() > 0xFFFF)
        throw std::logic_error("one-step songs: too many intervals of equal result");
    constexpr std::size_t cellSize = std::size_t{1} << cellShift;
    const std::size_t cells = (static_cast<std::size_t>(drawModulus) + cellSize - 1) / cellSize;
    cellFirst_.reserve(cells + 1);
    std::size_t interval = 0;
    for (std::size_t cell = 0; cell < cells; ++cell) {
        const auto first = static_cast<std::int32_t>(cell << cellShift);
        while (interval + 1 < starts_.size() && starts_[interval + 1] <= first)
            ++interval;
        cellFirst_.push_back(static_cast<std::uint16_t>(interval));
    }
    cellFirst_.push_back(static_cast<std::uint16_t>(starts_.size() - 1));
}

} // namespace quorvex
