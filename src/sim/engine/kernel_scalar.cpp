// The engine's kernels for any x86-64 processor: one lane per vector, two
// interleaved, the fused multiply-add from the C library (exact everywhere,
// fast where the processor has it).
#include <cmath>

#include "sim/engine/kernel_body.h"
#include "sim/engine/song_folding_body.h"

namespace quorvex {
namespace {

struct Scalar {
    static constexpr int width = 1;
    static constexpr int interleave = 2;
    using VD [[gnu::vector_size(8)]] = double;
    using VI [[gnu::vector_size(8)]] = std::int64_t;
    using VU [[gnu::vector_size(8)]] = std::uint64_t;
    using V32 [[gnu::vector_size(4)]] = std::int32_t;
    static VD fma(VD a, VD b, VD c) { return VD{std::fma(a[0], b[0], c[0])}; }
    static V32 narrow(VI v) { return V32{static_cast<std::int32_t>(v[0])}; }
    static VD loadIndices(const std::int32_t* p) { return VD{static_cast<double>(p[0])}; }
    static std::size_t compact(VD t, VI keep, std::int32_t base, std::int32_t* index,
                               std::int32_t* position) {
        return kernel_body::compactLanes<Scalar>(t, keep, base, index, position);
    }
    static constexpr int drawOfLane(int v, int lane) { return v * width + lane; }
    using RoundConstants = const KernelConstants&;
    static void classifyRound(const VU* state, std::int32_t base, const KernelConstants& k,
                              std::int32_t* codes, kernel_body::PendingDraws& pending) {
        kernel_body::classifyRoundByVector<Scalar>(state, base, k, codes, pending);
    }
    static void storeRoundIndices(const VU* state, std::int32_t* out) {
        kernel_body::storeRoundIndicesByVector<Scalar>(state, out);
    }
};

} // namespace

const KernelSet scalarKernels{static_cast<std::size_t>(Scalar::width) * Scalar::interleave,
                              kernel_body::evaluateStream<Scalar>,
                              kernel_body::evaluateIndices<Scalar>,
                              kernel_body::drawIndexStream<Scalar>,
                              kernel_body::consumeCodes<Scalar>,
                              nullptr,
                              0};

} // namespace quorvex
