// The engine's kernels for AVX-512 (F, DQ, VL) with POPCNT: 8 lanes, 2
// vectors interleaved, the draws classified 16 at a time in 32-bit lanes. This file alone is compiled with
// those extensions; the engine calls it only when the processor reports them.
#include <immintrin.h>

#include <cstring>

#include "sim/engine/kernel_body.h"
#include "sim/engine/song_folding_body.h"
#include "sim/engine/song_stream_body.h"

namespace quorvex {
namespace {

// The draw indices t = g mod 10^7 of sixteen generator outputs g < 2^31, in
// 32-bit lanes, as the AVX2 kernel forms eight: in single precision,
// g * 1e-7 - 2^-13 lies between g / 10^7 - 2^-12 and g / 10^7, so its
// truncation q is floor(g / 10^7) or one less, and one correction of
// g - q * 10^7 settles it.
// (The conversions are written as vector conversions: the intrinsics' own
// headers trip a false uninitialised-value warning in this compiler.)
inline __m512i drawIndices16(__m512i g) {
    using Int16 [[gnu::vector_size(64)]] = std::int32_t;
    using Float16 [[gnu::vector_size(64)]] = float;
    const __m512i modulus = _mm512_set1_epi32(drawModulus);
    const __m512 scaled = _mm512_fmadd_ps((__m512) __builtin_convertvector((Int16)g, Float16),
                                          _mm512_set1_ps(1e-7f), _mm512_set1_ps(-0x1p-13f));
    const __m512i quotient = (__m512i) __builtin_convertvector((Float16)scaled, Int16);
    const __m512i t = _mm512_sub_epi32(g, _mm512_mullo_epi32(quotient, modulus));
    return _mm512_mask_sub_epi32(t, _mm512_cmpgt_epi32_mask(t, _mm512_set1_epi32(drawModulus - 1)), t,
                                 modulus);
}

struct Avx512 {
    static constexpr int width = 8;
    static constexpr int interleave = 2;
    using VD [[gnu::vector_size(64)]] = double;
    using VI [[gnu::vector_size(64)]] = std::int64_t;
    using VU [[gnu::vector_size(64)]] = std::uint64_t;
    using V32 [[gnu::vector_size(32)]] = std::int32_t;
    static VD fma(VD a, VD b, VD c) { return _mm512_fmadd_pd(a, b, c); }
    static V32 narrow(VI v) { return __builtin_convertvector(v, V32); }
    static VD loadIndices(const std::int32_t* p) {
        V32 indices;
        std::memcpy(&indices, p, sizeof indices);
        return __builtin_convertvector(indices, VD);
    }
    static std::size_t compact(VD t, VI keep, std::int32_t base, std::int32_t* index,
                               std::int32_t* position) {
        return kernel_body::compactLanes<Avx512>(t, keep, base, index, position);
    }
    static constexpr int drawOfLane(int v, int lane) { return v * width + lane; }

    // The run's constants as the rounds use them, in registers.
    struct RoundConstants {
        __m512i marvelousLow, marvelousSpan, marvelousCode;
        explicit RoundConstants(const KernelConstants& k)
            : marvelousLow(_mm512_set1_epi32(static_cast<std::int32_t>(k.marvelousLow))),
              marvelousSpan(_mm512_set1_epi32(static_cast<std::int32_t>(k.marvelousHigh - k.marvelousLow))),
              marvelousCode(
                  _mm512_set1_epi32(static_cast<std::int32_t>(kernel_body::marvelousCode<Avx512>(k)))) {}
    };

    // The draw indices of one round, in draw order: the high words of the
    // sixteen states.
    static __m512i roundIndices(const VU* state) {
        static_assert(interleave == 2);
        const __m512i highWords =
            _mm512_setr_epi32(1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 21, 23, 25, 27, 29, 31);
        const __m512i high = _mm512_permutex2var_epi32((__m512i)state[0], highWords, (__m512i)state[1]);
        return drawIndices16(_mm512_and_si512(high, _mm512_set1_epi32(0x7FFFFFFF)));
    }
    static void storeRoundIndices(const VU* state, std::int32_t* out) {
        _mm512_storeu_si512(out, roundIndices(state));
    }

    // One round of sixteen draws in 32-bit lanes: the marvelous ones found
    // with one unsigned comparison (t - low <= high - low), the others
    // appended to the pending list. Returns the marvelous draws as a bit
    // mask; writes no code.
    static __mmask16 classifyRoundMask(const VU* state, std::int32_t base, const RoundConstants& k,
                                       kernel_body::PendingDraws& pending) {
        const __m512i t = roundIndices(state);
        const __mmask16 marvelous =
            _mm512_cmple_epu32_mask(_mm512_sub_epi32(t, k.marvelousLow), k.marvelousSpan);
        // Each compaction is the register form of vpcompressd followed by a
        // whole-vector store; the form that compresses straight into memory
        // is many times slower on some processors.
        const __mmask16 keep = static_cast<__mmask16>(~marvelous);
        const __m512i lanes = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
        const std::size_t count = pending.count;
        _mm512_storeu_si512(pending.index + count, _mm512_maskz_compress_epi32(keep, t));
        _mm512_storeu_si512(
            pending.position + count,
            _mm512_maskz_compress_epi32(keep, _mm512_add_epi32(_mm512_set1_epi32(base), lanes)));
        pending.count = count + static_cast<std::size_t>(_mm_popcnt_u32(keep));
        return marvelous;
    }

    // The round split, with the marvelous draws' codes written.
    static void classifyRound(const VU* state, std::int32_t base, const RoundConstants& k,
                              std::int32_t* codes, kernel_body::PendingDraws& pending) {
        const __mmask16 marvelous = classifyRoundMask(state, base, k, pending);
        _mm512_storeu_si512(codes + base, _mm512_maskz_mov_epi32(marvelous, k.marvelousCode));
    }
};

} // namespace

const KernelSet avx512Kernels{static_cast<std::size_t>(Avx512::width) * Avx512::interleave,
                              kernel_body::evaluateStream<Avx512>,
                              kernel_body::evaluateIndices<Avx512>,
                              kernel_body::drawIndexStream<Avx512>,
                              kernel_body::consumeCodes<Avx512>,
                              kernel_body::playStream<Avx512>,
                              64};

} // namespace quorvex
