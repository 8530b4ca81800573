#include "stats/aaa_ratio_target.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <string>
#include <vector>

#include "sim/step_model.h"

namespace quorvex::stats {

namespace {

struct Probe {
    std::uint64_t bits;
    double deviationScale;
    DrawCensus census;
};

Probe probeAt(std::uint64_t bits) {
    const double ratio = std::bit_cast<double>(bits);
    // The step count plays no part in deviationScale or in the census.
    const RunConstants constants = deriveRunConstants(1, ratio).constants;
    return {bits, constants.deviationScale, takeDrawCensus(constants)};
}

std::string ratioText(std::uint64_t bits) {
    std::array<char, 32> text{};
    char* const end = std::to_chars(text.data(), text.data() + text.size(), std::bit_cast<double>(bits)).ptr;
    return {text.data(), end};
}

void checkOrder(std::vector<Probe> probes) {
    std::sort(probes.begin(), probes.end(), [](const Probe& a, const Probe& b) { return a.bits < b.bits; });
    for (std::size_t i = 1; i < probes.size(); ++i) {
        const Probe& before = probes[i - 1];
        const Probe& after = probes[i];
        if (after.deviationScale < before.deviationScale || after.census.aaaDraws < before.census.aaaDraws)
            throw BrokenOrder("the model's deviation scale or AAA draws fall from ratio " +
                              ratioText(before.bits) + " to ratio " + ratioText(after.bits));
    }
}

} // namespace

AaaRatioTarget smallestRatioKeepingAaa(std::int32_t aaaDraws) {
    // Invariant: the double with bit pattern `low` keeps fewer draws (ratio
    // 0 counts as keeping none), the one with `high` at least aaaDraws.
    std::uint64_t low = 0;
    std::uint64_t high = std::bit_cast<std::uint64_t>(1.0);
    std::vector<Probe> probes{probeAt(high)};
    if (probes.back().census.aaaDraws < aaaDraws)
        throw BrokenOrder("ratio 1 keeps only " + std::to_string(probes.back().census.aaaDraws) +
                          " draws AAA, not every one");
    Probe atHigh = probes.back();
    Probe atLow{0, 0.0, {}};
    while (high - low > 1) {
        const std::uint64_t middle = low + (high - low) / 2;
        probes.push_back(probeAt(middle));
        if (probes.back().census.aaaDraws >= aaaDraws) {
            high = middle;
            atHigh = probes.back();
        } else {
            low = middle;
            atLow = probes.back();
        }
    }
    checkOrder(probes);
    return {std::bit_cast<double>(high),    atHigh.census,         std::bit_cast<double>(low),
            atLow.census.aaaDraws,          atHigh.deviationScale, atLow.deviationScale,
            static_cast<int>(probes.size())};
}

} // namespace quorvex::stats
