// The engine's kernels for AVX2 with FMA and POPCNT: 4 lanes, 2 vectors
// interleaved. This file alone is compiled with -mavx2 -mfma -mpopcnt; the
// engine calls it only when the processor reports all three.
#include <immintrin.h>

#include "sim/engine/kernel_body.h"
#include "sim/engine/song_folding_body.h"
#include "sim/engine/song_stream_body.h"

namespace quorvex {
namespace {

// For each lane mask, the numbers of the lanes set, in order (the rest 0).
template <int lanesPerMask> struct CompactTable {
    alignas(32) std::int32_t lanes[1 << lanesPerMask][lanesPerMask]{};
    constexpr CompactTable() {
        for (int mask = 0; mask < (1 << lanesPerMask); ++mask) {
            int count = 0;
            for (int lane = 0; lane < lanesPerMask; ++lane)
                if (mask & (1 << lane))
                    lanes[mask][count++] = lane;
        }
    }
};
constexpr CompactTable<4> compactTable4;
constexpr CompactTable<8> compactTable8;

// The draw indices t = g mod 10^7 of eight generator outputs g < 2^31, in
// 32-bit lanes. In single precision, g * 1e-7 - 2^-13 lies within 7.7e-5 of
// g / 10^7 - 2^-13 (three roundings of at most 2^-23 relative each, on values
// below 215), so between g / 10^7 - 2^-12 and g / 10^7: its truncation q is
// floor(g / 10^7) or one less (near 0 the truncation gives 0 as well), and
// the remainder g - q * 10^7 lies in [0, 2 * 10^7): one correction settles it.
inline __m256i drawIndices8(__m256i g) {
    const __m256i modulus = _mm256_set1_epi32(drawModulus);
    const __m256 scaled =
        _mm256_fmadd_ps(_mm256_cvtepi32_ps(g), _mm256_set1_ps(1e-7f), _mm256_set1_ps(-0x1p-13f));
    const __m256i t = _mm256_sub_epi32(g, _mm256_mullo_epi32(_mm256_cvttps_epi32(scaled), modulus));
    return _mm256_sub_epi32(
        t, _mm256_and_si256(_mm256_cmpgt_epi32(t, _mm256_set1_epi32(drawModulus - 1)), modulus));
}

struct Avx2 {
    static constexpr int width = 4;
    static constexpr int interleave = 2;
    using VD [[gnu::vector_size(32)]] = double;
    using VI [[gnu::vector_size(32)]] = std::int64_t;
    using VU [[gnu::vector_size(32)]] = std::uint64_t;
    using V32 [[gnu::vector_size(16)]] = std::int32_t;
    static VD fma(VD a, VD b, VD c) { return _mm256_fmadd_pd(a, b, c); }
    static V32 narrow(VI v) {
        const __m256i low =
            _mm256_permutevar8x32_epi32((__m256i)v, _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6));
        return (V32)_mm256_castsi256_si128(low);
    }
    static VD loadIndices(const std::int32_t* p) {
        return (VD)_mm256_cvtepi32_pd(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    }
    // One table lookup: the kept lanes' indices moved to the front by a
    // permutation, their positions as base + lane number.
    static std::size_t compact(VD t, VI keep, std::int32_t base, std::int32_t* index,
                               std::int32_t* position) {
        const int mask = _mm256_movemask_pd((__m256d)keep);
        const __m128i lanes = _mm_load_si128(reinterpret_cast<const __m128i*>(compactTable4.lanes[mask]));
        const __m128 indices = _mm_castsi128_ps(_mm256_cvttpd_epi32((__m256d)t));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(index),
                         _mm_castps_si128(_mm_permutevar_ps(indices, lanes)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(position), _mm_add_epi32(_mm_set1_epi32(base), lanes));
        return static_cast<std::size_t>(__builtin_popcount(static_cast<unsigned>(mask)));
    }

    // The streams' layout: vector 0 draws for positions 0, 1, 4, 5 of a round
    // and vector 1 for 2, 3, 6, 7, so that one shuffle of the states' high
    // words yields the outputs of the round in order.
    static constexpr int drawOfLane(int v, int lane) { return (lane & 1) + 2 * v + 4 * (lane >> 1); }

    // The run's constants as the rounds use them, in registers.
    struct RoundConstants {
        __m256i belowMarvelous, aboveMarvelous, marvelousCode;
        explicit RoundConstants(const KernelConstants& k)
            : belowMarvelous(_mm256_set1_epi32(static_cast<std::int32_t>(k.marvelousLow) - 1)),
              aboveMarvelous(_mm256_set1_epi32(static_cast<std::int32_t>(k.marvelousHigh) + 1)),
              marvelousCode(
                  _mm256_set1_epi32(static_cast<std::int32_t>(kernel_body::marvelousCode<Avx2>(k)))) {}
    };

    // The draw indices of one round, in draw order.
    static __m256i roundIndices(const VU* state) {
        static_assert(interleave == 2);
        const __m256i high = _mm256_castps_si256(_mm256_shuffle_ps(_mm256_castsi256_ps((__m256i)state[0]),
                                                                   _mm256_castsi256_ps((__m256i)state[1]),
                                                                   _MM_SHUFFLE(3, 1, 3, 1)));
        return drawIndices8(_mm256_and_si256(high, _mm256_set1_epi32(0x7FFFFFFF)));
    }
    static void storeRoundIndices(const VU* state, std::int32_t* out) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), roundIndices(state));
    }

    // One round of eight draws in 32-bit lanes: the marvelous ones found,
    // the others appended to the pending list with one table lookup. Returns
    // the marvelous lanes.
    static __m256i splitRound(const VU* state, std::int32_t base, const RoundConstants& k,
                              kernel_body::PendingDraws& pending) {
        const __m256i t = roundIndices(state);
        const __m256i marvelous = _mm256_and_si256(_mm256_cmpgt_epi32(t, k.belowMarvelous),
                                                   _mm256_cmpgt_epi32(k.aboveMarvelous, t));
        const unsigned keep =
            ~static_cast<unsigned>(_mm256_movemask_ps(_mm256_castsi256_ps(marvelous))) & 0xFF;
        const __m256i lanes = _mm256_load_si256(reinterpret_cast<const __m256i*>(compactTable8.lanes[keep]));
        const std::size_t count = pending.count;
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(pending.index + count),
                            _mm256_permutevar8x32_epi32(t, lanes));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(pending.position + count),
                            _mm256_add_epi32(_mm256_set1_epi32(base), lanes));
        pending.count = count + static_cast<std::size_t>(__builtin_popcount(keep));
        return marvelous;
    }

    // The round split, with the marvelous draws' codes written.
    static void classifyRound(const VU* state, std::int32_t base, const RoundConstants& k,
                              std::int32_t* codes, kernel_body::PendingDraws& pending) {
        const __m256i marvelous = splitRound(state, base, k, pending);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(codes + base),
                            _mm256_and_si256(marvelous, k.marvelousCode));
    }

    // The round split, with the marvelous draws as a bit mask.
    static std::uint64_t classifyRoundMask(const VU* state, std::int32_t base, const RoundConstants& k,
                                           kernel_body::PendingDraws& pending) {
        const __m256i marvelous = splitRound(state, base, k, pending);
        return static_cast<unsigned>(_mm256_movemask_ps(_mm256_castsi256_ps(marvelous)));
    }
};

} // namespace

const KernelSet avx2Kernels{static_cast<std::size_t>(Avx2::width) * Avx2::interleave,
                            kernel_body::evaluateStream<Avx2>,
                            kernel_body::evaluateIndices<Avx2>,
                            kernel_body::drawIndexStream<Avx2>,
                            kernel_body::consumeCodes<Avx2>,
                            kernel_body::playStream<Avx2>,
                            100};

} // namespace quorvex
