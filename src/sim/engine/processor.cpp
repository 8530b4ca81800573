#include "sim/engine/processor.h"

#include "platform/cpu_count.h"

namespace quorvex {

bool engineIsaSupported(EngineIsa isa) {
    __builtin_cpu_init();
    switch (isa) {
    case EngineIsa::automatic:
    case EngineIsa::scalar:
        return true;
    case EngineIsa::avx2:
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma") &&
               __builtin_cpu_supports("popcnt");
    case EngineIsa::avx512:
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") &&
               __builtin_cpu_supports("avx512vl") && engineIsaSupported(EngineIsa::avx2);
    }
    return false;
}

EngineIsa bestEngineIsa() {
    if (engineIsaSupported(EngineIsa::avx512))
        return EngineIsa::avx512;
    if (engineIsaSupported(EngineIsa::avx2))
        return EngineIsa::avx2;
    return EngineIsa::scalar;
}

int affinityThreadCount() {
    return platform::usableCpuCount();
}

} // namespace quorvex
