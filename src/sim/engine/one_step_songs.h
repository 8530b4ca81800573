#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sim/engine/kernel.h"
#include "sim/engine/kernel_constants.h"
#include "sim/step_model.h"

namespace quorvex {

// Songs of one step, counted in bulk.
//
// A one-step song's result (score, marvelous count, AAA flag) depends on its
// draw index t alone, and on each side of the centre draw it follows the
// deviation w monotonically: w does not increase on [0, 5000000] and does not
// decrease on [5000000, 9999999] (draw_thresholds.h), and the points, the
// marvelous verdict and the AAA flag are each monotone in w. So 0..9999999
// splits into intervals of equal result, a few thousand at most for any
// usable run, found once per run; the songs of a chunk are then counted per
// interval and recorded in bulk, with no step judged.
//
// Building the intervals judges some 4 * 10^4 draws with the kernels (each
// settled verdict is exact, an unsettled one is judged again by the plain
// model), so it pays only for runs of many songs: see worthBuilding.
class OneStepSongs {
  public:
    // 2^cellShift draw indices per cell of the lookup table: small enough
    // that few cells hold a boundary (the lookup's loop rarely runs), the
    // table (2^24 / 2^cellShift entries of 2 bytes) within the second-level
    // cache.
    static constexpr int cellShift = 6;

    // The intervals of a run of one-step songs the kernels cover. The
    // numeric mode must be in force.
    OneStepSongs(const KernelSet& kernels, const KernelConstants& kernelConstants,
                 const RunConstants& constants);

    // True when a run of this many one-step songs is better played in bulk.
    static bool worthBuilding(std::int64_t songs) { return songs >= (std::int64_t{1} << 21); }

    std::size_t intervalCount() const { return starts_.size(); }

    // The interval holding draw index t (0..9999999).
    std::size_t intervalOf(std::int32_t t) const {
        const auto cell = static_cast<std::size_t>(t >> cellShift);
        std::size_t interval = cellFirst_[cell];
        const std::size_t last = cellFirst_[cell + 1];
        while (interval < last && starts_[interval + 1] <= t)
            ++interval;
        return interval;
    }

    // The first draw index of an interval, and the result of every song
    // whose draw lies in it.
    std::int32_t start(std::size_t interval) const { return starts_[interval]; }
    const SongResult& result(std::size_t interval) const { return results_[interval]; }

  private:
    std::vector<std::int32_t> starts_;     // ascending, from 0
    std::vector<SongResult> results_;      // one per interval
    std::vector<std::uint16_t> cellFirst_; // per cell: the interval of its first index; one more at the end
};

} // namespace quorvex
