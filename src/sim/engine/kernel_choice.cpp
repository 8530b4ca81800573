#include "sim/engine/kernel.h"

namespace quorvex {

const KernelSet& kernelsFor(EngineIsa isa) {
    if (isa == EngineIsa::automatic || !engineIsaSupported(isa))
        isa = bestEngineIsa();
    switch (isa) {
    case EngineIsa::avx512:
        return avx512Kernels;
    case EngineIsa::avx2:
        return avx2Kernels;
    default:
        return scalarKernels;
    }
}

} // namespace quorvex
