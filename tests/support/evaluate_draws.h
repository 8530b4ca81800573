#pragma once

#include <cstddef>
#include <cstdint>

#include "sim/engine/kernel.h"

namespace quorvex {

// Evaluates draw indices (each 0..9999999) with the kernels of `isa` into
// packed step codes (sim/engine/step_code.h); details may be null. For the
// tests that compare the kernels draw by draw with the exact model.
inline void evaluateDraws(EngineIsa isa, const std::int32_t* indices, std::size_t count,
                          const KernelConstants& constants, std::int32_t* codes,
                          DrawDetail* details = nullptr) {
    kernelsFor(isa).evaluateIndices(indices, count, constants, codes, details);
}

} // namespace quorvex
