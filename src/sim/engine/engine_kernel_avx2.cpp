// The engine's kernels for AVX2 with FMA: 4 lanes, 2 vectors interleaved.
// This file alone is compiled with -mavx2 -mfma; the engine calls it only
// when the processor reports both.
#include <immintrin.h>

#include "sim/engine/engine_kernel_body.h"

namespace quorvex {
namespace {

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
};

} // namespace

const KernelSet avx2Kernels{Avx2::width * Avx2::interleave, kernel_body::evaluateStream<Avx2>,
                            kernel_body::evaluateIndices<Avx2>};

} // namespace quorvex
