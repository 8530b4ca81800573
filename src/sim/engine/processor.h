#pragma once

namespace quorvex {

// What this processor offers the engine: the instruction sets its kernels can
// use and the CPUs its threads may run on.

// Instruction sets the engine's kernels are built for.
enum class EngineIsa { automatic, scalar, avx2, avx512 };

// True when this processor can run the kernels of `isa` (automatic: always).
bool engineIsaSupported(EngineIsa isa);
// The best supported instruction set: AVX-512, else AVX2 with FMA, else scalar.
EngineIsa bestEngineIsa();
// CPUs the process may run on (its affinity mask), at least 1.
int affinityThreadCount();

} // namespace quorvex
