#pragma once
// The vector step evaluation, written once for every width. Included only by
// the kernel_<isa>.cpp files, each compiled for its instruction set and
// instantiating these templates with a traits type of internal linkage, so
// that no instantiation is shared between differently compiled files.
//
// A traits type I provides:
//   width, interleave  lanes per vector, vectors evaluated side by side
//   VD, VI, VU, V32    GCC vectors of width doubles, int64, uint64, int32
//   fma(a, b, c)       fused a*b + c, exactly rounded once
//   narrow(v)          the low 32 bits of each lane
//   loadIndices(p)     width int32 draw indices as doubles
//   compact(t, keep, base, index, position)
//                      as compactLanes below (which it may simply call)
//   RoundConstants     built from KernelConstants, passed to classifyRound
//   drawOfLane(v, l), classifyRound(state, base, constants, codes, pending)
//                      the streams' lane layout and the classification of
//                      one round (classifyRoundByVector, or a faster
//                      equivalent for the layout)
//   storeRoundIndices(state, out)
//                      one round's draw indices, in draw order
//                      (storeRoundIndicesByVector, or a faster equivalent)
//
// Everything here is double arithmetic in the SSE/AVX units; the x87 numeric
// mode plays no part. No standard-library function templates are used here:
// an out-of-line copy compiled for one instruction set could be shared with
// code that must run without it.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "runtime/tangent.h"
#include "sim/engine/kernel.h"
#include "sim/engine/step_code.h"
#include "sim/step_model.h"

namespace quorvex::kernel_body {

// The double nearest 1e-7, the draw factor.
inline constexpr double drawFactor = 0x1.ad7f29abcaf48p-24;
// Adding and subtracting 1.5 * 2^52 rounds a double below 2^51 in magnitude to
// an integer, ties to even; the sum's low significand bits hold that integer.
inline constexpr double roundingShift = 0x1.8p52;
// A double's exponent field alone is the power of two 2^e of its binade; times
// this it is just under half an ulp: (1/2 - 2^-11) * 2^(e-52). An error term at
// least that large may mean a tie after the extended rounding (whose grid is
// 2^-11 of a double's ulp), so such draws are left to the exact path.
inline constexpr double nearHalfUlp = 0x1p-52 * (0.5 - 0x1p-11);
inline constexpr std::uint64_t exponentBits = 0x7FF0000000000000ULL;
inline constexpr std::uint64_t magnitudeBits = 0x7FFFFFFFFFFFFFFFULL;
// Below this draw index u < 2^-12 and u - 0.5 itself rounds in extended.
inline constexpr double smallestExactIndex = 2442.0;
// P, and 2P as a double pair (2P has a 64-bit significand; the low part holds
// its last 11 bits exactly).
inline constexpr double reductionHigh = static_cast<double>(tangentReduction);
inline constexpr double twiceReductionHigh = static_cast<double>(2.0L * tangentReduction);
inline constexpr double twiceReductionLow =
    static_cast<double>(2.0L * tangentReduction - static_cast<long double>(twiceReductionHigh));

// tan(r) = r * N(r^2) / D(r^2) on [0, pi/4]: the rational approximation of
// Moshier's Cephes library, tan(r) = r + r^3 P(r^2) / D(r^2) with P of degree
// 2 and D monic of degree 4, its numerator gathered into N = D + r^2 P (monic,
// degree 4). The approximation alone is within 2^-56 of the tangent there;
// evaluated in double with fused multiply-adds, within 2^-51.
inline constexpr double tanP2 = -1.30936939181383777646E4, tanP1 = 1.15351664838587416140E6,
                        tanP0 = -1.79565251976484877988E7;
inline constexpr double tanD3 = 1.36812963470692954678E4, tanD2 = -1.32089234440210967447E6,
                        tanD1 = 2.50083801823357915839E7, tanD0 = -5.38695755929454629881E7;
inline constexpr double tanN3 = tanD3 + tanP2, tanN2 = tanD2 + tanP1, tanN1 = tanD1 + tanP0, tanN0 = tanD0;

template <class I> inline typename I::VD splat(double v) {
    return typename I::VD{} + v;
}

template <class I> inline typename I::VD magnitude(typename I::VD v) {
    using VD = typename I::VD;
    using VU = typename I::VU;
    return (VD)((VU)v & magnitudeBits);
}

// Just under half an ulp of |v| (v normal or zero).
template <class I> inline typename I::VD nearHalfUlpOf(typename I::VD v) {
    using VD = typename I::VD;
    using VU = typename I::VU;
    return (VD)((VU)v & exponentBits) * nearHalfUlp;
}

// The code of every marvelous step.
template <class I> inline std::int64_t marvelousCode(const KernelConstants& k) {
    return k.marvelousIncrement | static_cast<std::int64_t>(stepcode::marvelousBit);
}

// Judges M vectors of draw indices (exact integers as doubles) into packed
// step codes, one per lane. Correct for any draw; the streams call it only
// for the draws that are not marvelous, and say so with notMarvelous. Each
// step is written for all M vectors together: one vector's judgement is a
// dependency chain of some 100 cycles, and M independent chains side by side
// keep the processor busy.
template <class I, bool withDetail, bool notMarvelous, int M>
inline void judgeIndices(const typename I::VD* t, const KernelConstants& k, typename I::VI* code,
                         DrawDetail* detail) {
    using VD = typename I::VD;
    using VI = typename I::VI;
    using VU = typename I::VU;
    VD p[M], x[M], ax[M], r[M], s[M], numerator[M], denominator[M], above[M], below[M], a[M], shifted[M];
    VI argumentUnsettled[M], folded[M], pointsUnsettled[M];

    // 1. u = t * 1e-7: p is the product rounded once, e its exact error. The
    //    model rounds twice (extended, then double); both agree with p unless
    //    the exact product lies next to a midpoint between doubles.
    // 2. d = u - 0.5 exactly as a pair (exact in extended for u >= 2^-12).
    // 3. x = d * pi: the product as p1 + tail, rounded to x with remainder err;
    //    again the extended rounding matters only next to a midpoint.
    for (int j = 0; j < M; ++j) {
        p[j] = t[j] * drawFactor;
        const VD e = I::fma(t[j], splat<I>(drawFactor), -p[j]);
        argumentUnsettled[j] = (t[j] < smallestExactIndex) | (magnitude<I>(e) >= nearHalfUlpOf<I>(p[j]));
        const VD dHigh = p[j] - 0.5;
        const VD dLow = p[j] - (dHigh + 0.5);
        const VD p1 = dHigh * modelPi;
        const VD e1 = I::fma(dHigh, splat<I>(modelPi), -p1);
        const VD tail = I::fma(dLow, splat<I>(modelPi), e1);
        x[j] = p1 + tail;
        const VD err = tail - (x[j] - p1);
        ax[j] = magnitude<I>(x[j]);
        argumentUnsettled[j] |= magnitude<I>(err) >= nearHalfUlpOf<I>(ax[j]);
    }

    // 4. The model reduces |x| by P: below P it takes tan(|x|); from P on (the
    //    octant 1; |x| < 2P always) 1/tan(r) with r = 2P - |x|, formed from 2P
    //    as a pair. Which side of P a value lands on near P is immaterial: both
    //    forms agree there to about 2^-65.
    for (int j = 0; j < M; ++j) {
        folded[j] = ax[j] > reductionHigh;
        r[j] = folded[j] ? (twiceReductionHigh - ax[j]) + twiceReductionLow : ax[j];
        s[j] = r[j] * r[j];
        numerator[j] = s[j] + tanN3;
        denominator[j] = s[j] + tanD3;
    }
    for (int j = 0; j < M; ++j) {
        numerator[j] = I::fma(s[j], numerator[j], splat<I>(tanN2));
        denominator[j] = I::fma(s[j], denominator[j], splat<I>(tanD2));
    }
    for (int j = 0; j < M; ++j) {
        numerator[j] = I::fma(s[j], numerator[j], splat<I>(tanN1));
        denominator[j] = I::fma(s[j], denominator[j], splat<I>(tanD1));
    }
    for (int j = 0; j < M; ++j) {
        numerator[j] = I::fma(s[j], numerator[j], splat<I>(tanN0));
        denominator[j] = I::fma(s[j], denominator[j], splat<I>(tanD0));
    }

    // 5. c = 1/w = |deviationScale| / |tan(x)|, so |tan(x)| = below / above,
    //    and a = c * stepValue / 4 = above * (|deviationScale| * stepValue / 4)
    //    / below.
    // 6. Points of a non-marvelous step: floor(a). The low bits of shifted
    //    hold floor(a) (a - 0.5 rounded to even; a exactly integral is
    //    unsettled anyway). Unsettled when a lies within the bound of an
    //    integer, or within the carry band below one.
    const double scaledStepValue = k.absScale * k.quarterStepValue;
    for (int j = 0; j < M; ++j) {
        const VD rNumerator = r[j] * numerator[j];
        above[j] = folded[j] ? rNumerator : denominator[j];
        below[j] = folded[j] ? denominator[j] : rNumerator;
        a[j] = (above[j] * scaledStepValue) / below[j];
    }
    for (int j = 0; j < M; ++j) {
        shifted[j] = (a[j] - 0.5) + roundingShift;
        const VD fraction = a[j] - (shifted[j] - roundingShift);
        const VD tolerance = a[j] * deviationErrorBound;
        pointsUnsettled[j] = (fraction <= tolerance) | (fraction >= (1.0 - carryBand) - tolerance);
    }

    // 7. Marvelous and AAA by the draw index, exactly (draw_thresholds.h).
    for (int j = 0; j < M; ++j) {
        const VI marvelous = notMarvelous ? VI{} : (t[j] >= k.marvelousLow) & (t[j] <= k.marvelousHigh);
        const VI breaksAaa = (t[j] < k.aaaLow) | (t[j] > k.aaaHigh);
        const VI unsettled = (argumentUnsettled[j] | pointsUnsettled[j]) & ~marvelous;
        VI settledCode =
            (VI)((VU)shifted[j] & stepcode::incrementMask) | (breaksAaa & stepcode::breaksAaaBit);
        if constexpr (!notMarvelous)
            settledCode = marvelous ? VI{} + marvelousCode<I>(k) : settledCode;
        const VI unsettledCode = (VI)((VU)(t[j] + roundingShift) & stepcode::drawIndexMask) |
                                 static_cast<std::int64_t>(stepcode::unsettledBit);
        code[j] = unsettled ? unsettledCode : settledCode;
    }

    if constexpr (withDetail) {
        for (int j = 0; j < M; ++j) {
            const VD tangent = below[j] / above[j];
            for (int lane = 0; lane < I::width; ++lane)
                detail[j * I::width + lane] = {p[j][lane], x[j][lane], tangent[lane],
                                               argumentUnsettled[j][lane] != 0};
        }
    }
}

template <class I> inline void storeCodes(std::int32_t* out, typename I::VI code) {
    const typename I::V32 narrow = I::narrow(code);
    std::memcpy(out, &narrow, sizeof narrow);
}

// The generator's draw index for each lane's state: t = (bits 32..62) mod 10^7.
template <class I> inline typename I::VD drawIndices(typename I::VU state) {
    using VD = typename I::VD;
    using VU = typename I::VU;
    const VU output = (state >> 32) & 0x7FFFFFFFu;
    const VD g = (VD)(output | 0x4330000000000000ULL) - 0x1p52; // exact, g < 2^31
    // g / 10^7 has a fraction in [0, 1 - 1e-7]; shifted by just under one half
    // it rounds to the quotient despite the rounding of the product.
    const VD quotient = (I::fma(g, splat<I>(1e-7), splat<I>(-(0.5 - 5e-8))) + roundingShift) - roundingShift;
    return I::fma(quotient, splat<I>(-1e7), g);
}

// Lanes of one vector appended to the pending list when `keep` is set, in
// lane order: their draw indices and their positions base + lane. Writes a
// whole vector's worth of entries; returns how many count.
template <class I>
inline std::size_t compactLanes(typename I::VD t, typename I::VI keep, std::int32_t base, std::int32_t* index,
                                std::int32_t* position) {
    std::size_t count = 0;
    for (int lane = 0; lane < I::width; ++lane) {
        index[count] = static_cast<std::int32_t>(t[lane]);
        position[count] = base + lane;
        count -= static_cast<std::size_t>(keep[lane]); // keep is 0 or -1
    }
    return count;
}

// Draws the streams handle at a time: the marvelous ones are coded on the
// spot, the others wait in a pending list (index and position in `codes`)
// and then go through judgeIndices in full vectors. The padding takes the
// whole vectors written past the last entry.
inline constexpr std::size_t pendingCapacity = 1024;
inline constexpr std::size_t pendingPadding = 80;
// Vectors of pending draws judged side by side.
inline constexpr int judgedTogether = 4;

// The lists are scratch, each entry written before it is read; clearing them
// (8.8 KB) on every kernel call would cost time for nothing.
// NOLINTNEXTLINE(cppcoreguidelines-pro-type-member-init)
struct PendingDraws {
    std::int32_t index[pendingCapacity + pendingPadding];
    std::int32_t position[pendingCapacity + pendingPadding];
    std::size_t count = 0;
};

// The first stage for one vector of draws: the marvelous ones get their
// code, the others are appended to the pending list (their code slots are
// overwritten later).
template <class I>
inline void classify(typename I::VD t, std::int32_t base, const KernelConstants& k, std::int32_t* codes,
                     PendingDraws& pending) {
    using VI = typename I::VI;
    const VI marvelous = (t >= k.marvelousLow) & (t <= k.marvelousHigh);
    storeCodes<I>(codes + base, marvelous & marvelousCode<I>(k));
    pending.count +=
        I::compact(t, ~marvelous, base, pending.index + pending.count, pending.position + pending.count);
}

// The first stage for one round of the streams, vector by vector, in lane
// order (the default lane layout: drawOfLane(v, lane) = v * width + lane).
template <class I>
inline void classifyRoundByVector(const typename I::VU* state, std::int32_t base, const KernelConstants& k,
                                  std::int32_t* codes, PendingDraws& pending) {
    for (int v = 0; v < I::interleave; ++v)
        classify<I>(drawIndices<I>(state[v]), base + v * I::width, k, codes, pending);
}

// The second stage, for judgedTogether full vectors of pending draws from
// indices[0]: their codes stored in the same order at out[0 ..].
template <class I>
inline void judgeGroup(const std::int32_t* indices, const KernelConstants& k, std::int32_t* out) {
    constexpr int w = I::width;
    typename I::VD t[judgedTogether];
    typename I::VI code[judgedTogether];
    for (std::size_t v = 0; v < judgedTogether; ++v)
        t[v] = I::loadIndices(indices + v * w);
    judgeIndices<I, false, true, judgedTogether>(t, k, code, nullptr);
    for (std::size_t v = 0; v < judgedTogether; ++v)
        storeCodes<I>(out + v * w, code[v]);
}

// Vectors of pending draws are judged whole: the lanes past the last pending
// draw judge draw 0, whose codes the callers never read.
template <class I> inline void padPending(PendingDraws& pending) {
    for (std::size_t lane = 0; lane < static_cast<std::size_t>(judgedTogether) * I::width; ++lane)
        pending.index[pending.count + lane] = 0;
}

// All pending draws judged, their codes stored in pending order at
// out[0 .. count); out must hold pendingCapacity + pendingPadding values.
template <class I>
inline void judgePendingInOrder(PendingDraws& pending, const KernelConstants& k, std::int32_t* out) {
    constexpr std::size_t together = static_cast<std::size_t>(judgedTogether) * I::width;
    padPending<I>(pending);
    for (std::size_t i = 0; i < pending.count; i += together)
        judgeGroup<I>(pending.index + i, k, out + i);
}

// All pending draws judged, each code scattered to its draw's place in
// `codes`, a group at a time while the group's codes are at hand (a whole
// group by a loop of fixed length, which the compiler unrolls: with a
// variable one, short songs on AVX2 ran 10% slower).
template <class I>
inline void judgePending(PendingDraws& pending, const KernelConstants& k, std::int32_t* codes) {
    constexpr std::size_t together = static_cast<std::size_t>(judgedTogether) * I::width;
    padPending<I>(pending);
    for (std::size_t i = 0; i < pending.count; i += together) {
        std::int32_t out[together];
        judgeGroup<I>(pending.index + i, k, out);
        if (pending.count - i >= together) {
            for (std::size_t lane = 0; lane < together; ++lane)
                codes[pending.position[i + lane]] = out[lane];
        } else {
            for (std::size_t lane = 0; lane < pending.count - i; ++lane)
                codes[pending.position[i + lane]] = out[lane];
        }
    }
    pending.count = 0;
}

// The generator states of the streams in the kernel's lanes: lane `lane` of
// vector v draws for position I::drawOfLane(v, lane) of each round, and every
// lane steps by the jump `stride` (a round's draws) after each round.
template <class I> struct LaneStates {
    typename I::VU state[I::interleave];
    typename I::VU multiplier, increment;

    LaneStates(const std::uint64_t* laneStates, RandomJump stride)
        : multiplier(typename I::VU{} + stride.multiplier), increment(typename I::VU{} + stride.increment) {
        for (int v = 0; v < I::interleave; ++v)
            for (int lane = 0; lane < I::width; ++lane)
                state[v][lane] = laneStates[I::drawOfLane(v, lane)];
    }
    void advance() {
        for (int v = 0; v < I::interleave; ++v)
            state[v] = state[v] * multiplier + increment;
    }
    // NOLINTNEXTLINE(readability-non-const-parameter): written, in a template the check does not follow
    void storeTo(std::uint64_t* laneStates) const {
        for (int v = 0; v < I::interleave; ++v)
            for (int lane = 0; lane < I::width; ++lane)
                laneStates[I::drawOfLane(v, lane)] = state[v][lane];
    }
};

// laneStates is read, then written back at the end: it cannot be const (the
// check does not see that write inside this template).
template <class I>
// NOLINTNEXTLINE(readability-non-const-parameter)
void evaluateStream(std::uint64_t* laneStates, RandomJump stride, std::int32_t* codes, std::size_t iterations,
                    const KernelConstants& k) {
    constexpr std::size_t roundDraws = static_cast<std::size_t>(I::interleave) * I::width;
    constexpr std::size_t roundsPerBatch = pendingCapacity / roundDraws;
    static_assert(roundsPerBatch > 0 &&
                  pendingPadding >= static_cast<std::size_t>(judgedTogether + 1) * I::width);
    LaneStates<I> lanes(laneStates, stride);
    PendingDraws pending;
    const typename I::RoundConstants roundConstants(k);
    for (std::size_t first = 0; first < iterations; first += roundsPerBatch) {
        const std::size_t last = first + roundsPerBatch < iterations ? first + roundsPerBatch : iterations;
        for (std::size_t round = first; round < last; ++round) {
            I::classifyRound(lanes.state, static_cast<std::int32_t>(round * roundDraws), roundConstants,
                             codes, pending);
            lanes.advance();
        }
        judgePending<I>(pending, k, codes);
    }
    lanes.storeTo(laneStates);
}

template <class I>
// NOLINTNEXTLINE(readability-non-const-parameter)
void drawIndexStream(std::uint64_t* laneStates, RandomJump stride, std::int32_t* indices,
                     std::size_t iterations) {
    constexpr std::size_t roundDraws = static_cast<std::size_t>(I::interleave) * I::width;
    LaneStates<I> lanes(laneStates, stride);
    for (std::size_t round = 0; round < iterations; ++round) {
        I::storeRoundIndices(lanes.state, indices + round * roundDraws);
        lanes.advance();
    }
    lanes.storeTo(laneStates);
}

// The draw indices of one round in the default lane layout, vector by vector.
// (`out` is written: the check does not see the write inside this template.)
template <class I>
// NOLINTNEXTLINE(readability-non-const-parameter)
inline void storeRoundIndicesByVector(const typename I::VU* state, std::int32_t* out) {
    for (int v = 0; v < I::interleave; ++v) {
        const typename I::VD t = drawIndices<I>(state[v]);
        for (int lane = 0; lane < I::width; ++lane)
            out[v * I::width + lane] = static_cast<std::int32_t>(t[lane]);
    }
}

template <class I>
void evaluateIndices(const std::int32_t* indices, std::size_t count, const KernelConstants& k,
                     std::int32_t* codes, DrawDetail* details) {
    using VD = typename I::VD;
    constexpr int w = I::width;
    if (details) {
        // Every draw through the tangent, for the tests of its arithmetic.
        for (std::size_t base = 0; base < count; base += w) {
            VD t{};
            for (int lane = 0; lane < w; ++lane)
                t[lane] = base + lane < count ? static_cast<double>(indices[base + lane]) : 0.0;
            DrawDetail laneDetails[w];
            typename I::VI code;
            judgeIndices<I, true, false, 1>(&t, k, &code, laneDetails);
            for (int lane = 0; lane < w && base + lane < count; ++lane) {
                codes[base + lane] = static_cast<std::int32_t>(code[lane]);
                details[base + lane] = laneDetails[lane];
            }
        }
        return;
    }
    // The streams' path: marvelous draws by their index, the rest pending.
    PendingDraws pending;
    std::int32_t* out = codes;
    for (std::size_t begin = 0; begin < count; begin += pendingCapacity) {
        const std::size_t end = begin + pendingCapacity < count ? begin + pendingCapacity : count;
        std::int32_t batch[pendingCapacity + pendingPadding];
        for (std::size_t base = begin; base < end; base += w) {
            VD t{};
            for (int lane = 0; lane < w; ++lane)
                t[lane] = base + lane < end ? static_cast<double>(indices[base + lane]) : 0.0;
            classify<I>(t, static_cast<std::int32_t>(base - begin), k, batch, pending);
        }
        judgePending<I>(pending, k, batch);
        std::memcpy(out, batch, (end - begin) * sizeof(std::int32_t));
        out += end - begin;
    }
}

} // namespace quorvex::kernel_body
