// The engine's kernels for AVX2 with FMA: 4 lanes, 2 vectors interleaved.
// This file alone is compiled with -mavx2 -mfma; the engine calls it only
// when the processor reports both.
#include <immintrin.h>

#include "sim/engine/engine_kernel_body.h"

namespace quorvex {
namespace {

// For each 4-bit lane mask, the numbers of the lanes set, in order (the rest 0).
struct CompactTable {
    alignas(16) std::int32_t lanes[16][4];
    constexpr CompactTable() : lanes{} {
        for (int mask = 0; mask < 16; ++mask) {
            int count = 0;
            for (int lane = 0; lane < 4; ++lane)
                if (mask & (1 << lane))
                    lanes[mask][count++] = lane;
        }
    }
};
constexpr CompactTable compactTable;

struct Avx2 {
    static constexpr int width = 4;
    static constexpr int interleave = 2;
    typedef double VD __attribute__((vector_size(32)));
    typedef std::int64_t VI __attribute__((vector_size(32)));
    typedef std::uint64_t VU __attribute__((vector_size(32)));
    typedef std::int32_t V32 __attribute__((vector_size(16)));
    static VD fma(VD a, VD b, VD c) { return _mm256_fmadd_pd(a, b, c); }
    static V32 narrow(VI v) {
        const __m256i low = _mm256_permutevar8x32_epi32((__m256i)v, _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6));
        return (V32)_mm256_castsi256_si128(low);
    }
    static VD loadIndices(const std::int32_t* p) {
        return (VD)_mm256_cvtepi32_pd(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    }
    // One table lookup: the kept lanes' indices moved to the front by a
    // permutation, their positions as base + lane number.
    static std::size_t compact(VD t, VI keep, std::int32_t base, std::int32_t* index, std::int32_t* position) {
        const int mask = _mm256_movemask_pd((__m256d)keep);
        const __m128i lanes = _mm_load_si128(reinterpret_cast<const __m128i*>(compactTable.lanes[mask]));
        const __m128 indices = _mm_castsi128_ps(_mm256_cvttpd_epi32((__m256d)t));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(index), _mm_castps_si128(_mm_permutevar_ps(indices, lanes)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(position), _mm_add_epi32(_mm_set1_epi32(base), lanes));
        return static_cast<std::size_t>(__builtin_popcount(static_cast<unsigned>(mask)));
    }
};

} // namespace

const KernelSet avx2Kernels{Avx2::width * Avx2::interleave, kernel_body::evaluateStream<Avx2>,
                            kernel_body::evaluateIndices<Avx2>};

} // namespace quorvex
