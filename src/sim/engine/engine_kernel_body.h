#pragma once
// The vector step evaluation, written once for every width. Included only by
// the engine_kernel_<isa>.cpp files, each compiled for its instruction set and
// instantiating these templates with a traits type of internal linkage, so
// that no instantiation is shared between differently compiled files.
//
// A traits type I provides:
//   width, interleave  lanes per vector, vectors evaluated side by side
//   VD, VI, VU, V32    GCC vectors of width doubles, int64, uint64, int32
//   fma(a, b, c)       fused a*b + c, exactly rounded once
//   narrow(v)          the low 32 bits of each lane
//
// Everything here is double arithmetic in the SSE/AVX units; the x87 numeric
// mode plays no part.

#include <cstdint>
#include <cstring>

#include "runtime/tangent.h"
#include "sim/engine/engine_kernel.h"
#include "sim/engine/engine_step_code.h"
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

// Taylor coefficients of sin (x^3..x^15) and cos (x^2..x^14): on [0, pi/4]
// the first terms left out are below 2^-52 and 2^-50 of the result.
inline constexpr double sin3 = -1.0 / 6.0, sin5 = 1.0 / 120.0, sin7 = -1.0 / 5040.0, sin9 = 1.0 / 362880.0,
                        sin11 = -1.0 / 39916800.0, sin13 = 1.0 / 6227020800.0, sin15 = -1.0 / 1307674368000.0;
inline constexpr double cos2 = -0.5, cos4 = 1.0 / 24.0, cos6 = -1.0 / 720.0, cos8 = 1.0 / 40320.0,
                        cos10 = -1.0 / 3628800.0, cos12 = 1.0 / 479001600.0, cos14 = -1.0 / 87178291200.0;

template <class I> inline typename I::VD splat(double v) { return typename I::VD{} + v; }

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

// Judges a vector of draw indices (exact integers as doubles) and returns the
// packed step codes, one per lane.
template <class I, bool withDetail>
inline typename I::VI judgeIndices(typename I::VD t, const KernelConstants& k, DrawDetail* detail) {
    using VD = typename I::VD;
    using VI = typename I::VI;
    using VU = typename I::VU;

    // 1. u = t * 1e-7: p is the product rounded once, e its exact error. The
    //    model rounds twice (extended, then double); both agree with p unless
    //    the exact product lies next to a midpoint between doubles.
    const VD p = t * drawFactor;
    const VD e = I::fma(t, splat<I>(drawFactor), -p);
    VI argumentUnsettled = (t < smallestExactIndex) | (magnitude<I>(e) >= nearHalfUlpOf<I>(p));

    // 2. d = u - 0.5 exactly as a pair (exact in extended for u >= 2^-12).
    const VD dHigh = p - 0.5;
    const VD dLow = p - (dHigh + 0.5);

    // 3. x = d * pi: the product as p1 + tail, rounded to x with remainder err;
    //    again the extended rounding matters only next to a midpoint.
    const VD p1 = dHigh * modelPi;
    const VD e1 = I::fma(dHigh, splat<I>(modelPi), -p1);
    const VD tail = I::fma(dLow, splat<I>(modelPi), e1);
    const VD x = p1 + tail;
    const VD err = tail - (x - p1);
    const VD ax = magnitude<I>(x);
    argumentUnsettled |= magnitude<I>(err) >= nearHalfUlpOf<I>(ax);

    // 4. The model reduces |x| by P: below P it takes tan(|x|); from P on (the
    //    octant 1; |x| < 2P always) 1/tan(r) with r = 2P - |x|, formed from 2P
    //    as a pair. Which side of P a value lands on near P is immaterial: both
    //    forms agree there to about 2^-65.
    const VI folded = ax > reductionHigh;
    const VD r = folded ? (twiceReductionHigh - ax) + twiceReductionLow : ax;
    const VD s = r * r;
    VD sinPoly = I::fma(s, splat<I>(sin15), splat<I>(sin13));
    sinPoly = I::fma(s, sinPoly, splat<I>(sin11));
    sinPoly = I::fma(s, sinPoly, splat<I>(sin9));
    sinPoly = I::fma(s, sinPoly, splat<I>(sin7));
    sinPoly = I::fma(s, sinPoly, splat<I>(sin5));
    sinPoly = I::fma(s, sinPoly, splat<I>(sin3));
    const VD sine = I::fma(r * s, sinPoly, r);
    VD cosPoly = I::fma(s, splat<I>(cos14), splat<I>(cos12));
    cosPoly = I::fma(s, cosPoly, splat<I>(cos10));
    cosPoly = I::fma(s, cosPoly, splat<I>(cos8));
    cosPoly = I::fma(s, cosPoly, splat<I>(cos6));
    cosPoly = I::fma(s, cosPoly, splat<I>(cos4));
    cosPoly = I::fma(s, cosPoly, splat<I>(cos2));
    const VD cosine = I::fma(s, cosPoly, splat<I>(1.0));

    // 5. c = 1/w = |deviationScale| / |tan(x)|, so |tan(x)| = below / above.
    const VD above = folded ? sine : cosine;
    const VD below = folded ? cosine : sine;
    const VD c = (above * k.absScale) / below;

    // 6. Marvelous when w <= 0.25 (c >= 4); AAA broken when w > 1 (c < 1);
    //    unsettled within the bound of either edge.
    const VI marvelous = c > 4.0 * (1.0 + deviationErrorBound);
    const VI marvelousUnsettled = (c >= 4.0 * (1.0 - deviationErrorBound)) & ~marvelous;
    const VI breaksAaa = c < 1.0;
    const VI aaaUnsettled = magnitude<I>(c - 1.0) <= deviationErrorBound;

    // 7. Points of a non-marvelous step: floor(a), a = stepValue / (4w). The
    //    low bits of shifted hold floor(a) (a - 0.5 rounded to even; a exactly
    //    integral is unsettled anyway). Unsettled when a lies within the bound
    //    of an integer, or within the carry band below one.
    const VD a = c * k.quarterStepValue;
    const VD shifted = (a - 0.5) + roundingShift;
    const VD fraction = a - (shifted - roundingShift);
    const VD tolerance = a * deviationErrorBound;
    const VI pointsUnsettled = (fraction <= tolerance) | (fraction >= (1.0 - carryBand) - tolerance);

    const VI deviationUnsettled = marvelousUnsettled | aaaUnsettled | (pointsUnsettled & ~marvelous);
    const VI settledCode =
        marvelous ? VI{} + (k.marvelousIncrement | static_cast<std::int64_t>(stepcode::marvelousBit))
                  : (VI)((VU)shifted & stepcode::incrementMask) | (breaksAaa & stepcode::breaksAaaBit);
    const VI indexBits = (VI)((VU)(t + roundingShift) & stepcode::drawIndexMask);
    const VI unsettledCode = indexBits | static_cast<std::int64_t>(stepcode::unsettledBit) |
                             (argumentUnsettled & stepcode::argumentUnsettledBit) |
                             (deviationUnsettled & stepcode::deviationUnsettledBit);
    const VI code = (argumentUnsettled | deviationUnsettled) ? unsettledCode : settledCode;

    if constexpr (withDetail) {
        const VD tangent = below / above;
        for (int lane = 0; lane < I::width; ++lane)
            detail[lane] = {p[lane], x[lane], tangent[lane]};
    }
    return code;
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

template <class I>
void evaluateStream(std::uint64_t* laneStates, RandomJump stride, std::int32_t* codes, std::size_t iterations,
                    const KernelConstants& k) {
    using VU = typename I::VU;
    constexpr int n = I::interleave;
    constexpr int w = I::width;
    VU state[n];
    std::memcpy(state, laneStates, sizeof state);
    const VU multiplier = VU{} + stride.multiplier;
    const VU increment = VU{} + stride.increment;
    for (std::size_t round = 0; round < iterations; ++round) {
        for (int v = 0; v < n; ++v) {
            storeCodes<I>(codes + (round * n + v) * w, judgeIndices<I, false>(drawIndices<I>(state[v]), k, nullptr));
            state[v] = state[v] * multiplier + increment;
        }
    }
    std::memcpy(laneStates, state, sizeof state);
}

template <class I>
void evaluateIndices(const std::int32_t* indices, std::size_t count, const KernelConstants& k, std::int32_t* codes,
                     DrawDetail* details) {
    using VD = typename I::VD;
    constexpr int w = I::width;
    for (std::size_t base = 0; base < count; base += w) {
        VD t{};
        for (int lane = 0; lane < w; ++lane)
            t[lane] = base + lane < count ? static_cast<double>(indices[base + lane]) : 0.0;
        DrawDetail laneDetails[w];
        const typename I::VI code = details ? judgeIndices<I, true>(t, k, laneDetails)
                                            : judgeIndices<I, false>(t, k, nullptr);
        for (int lane = 0; lane < w && base + lane < count; ++lane) {
            codes[base + lane] = static_cast<std::int32_t>(code[lane]);
            if (details)
                details[base + lane] = laneDetails[lane];
        }
    }
}

} // namespace quorvex::kernel_body
