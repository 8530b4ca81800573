// The engine's kernels for AVX-512 (F, DQ, VL): 8 lanes, 2 vectors
// interleaved. This file alone is compiled with those extensions; the engine
// calls it only when the processor reports them.
#include <immintrin.h>

#include <cstring>

#include "sim/engine/kernel_body.h"
#include "sim/engine/song_folding_body.h"

namespace quorvex {
namespace {

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
    using RoundConstants = const KernelConstants&;
    static void classifyRound(const VU* state, std::int32_t base, const KernelConstants& k,
                              std::int32_t* codes, kernel_body::PendingDraws& pending) {
        kernel_body::classifyRoundByVector<Avx512>(state, base, k, codes, pending);
    }
};

} // namespace

const KernelSet avx512Kernels{static_cast<std::size_t>(Avx512::width) * Avx512::interleave,
                              kernel_body::evaluateStream<Avx512>, kernel_body::evaluateIndices<Avx512>,
                              kernel_body::consumeCodes<Avx512>};

} // namespace quorvex
