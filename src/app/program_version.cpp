#include "app/program_version.h"

#include <algorithm>

#include "app/option_reader.h"
#include "sim/engine/engine.h"

namespace quorvex::app {

namespace {

const char* isaName(EngineIsa isa) {
    switch (isa) {
    case EngineIsa::avx512:
        return "AVX-512";
    case EngineIsa::avx2:
        return "AVX2+FMA";
    default:
        return "scalar";
    }
}

} // namespace

std::string_view programVersion() {
    return QUORVEX_VERSION;
}

std::string kernelsInUse() {
    std::string text = std::string(isaName(bestEngineIsa())) + " (this processor:";
    const char* separator = " ";
    for (const EngineIsa isa : {EngineIsa::scalar, EngineIsa::avx2, EngineIsa::avx512}) {
        text += separator;
        text += isaName(isa);
        text += engineIsaSupported(isa) ? " yes" : " no";
        separator = ", ";
    }
    return text + ")";
}

int defaultThreadCount() {
    return static_cast<int>(std::min<std::int64_t>(affinityThreadCount(), threadLimit));
}

} // namespace quorvex::app
