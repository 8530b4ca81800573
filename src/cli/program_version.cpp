#include "cli/program_version.h"

#include "sim/engine/engine.h"

namespace quorvex::cli {

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

const char* programVersion() {
    return QUORVEX_VERSION;
}

std::string versionText() {
    std::string text = std::string("quorvex ") + programVersion() + "\n";
    text += std::string("kernels: ") + isaName(bestEngineIsa()) + " (this processor:";
    const char* separator = " ";
    for (const EngineIsa isa : {EngineIsa::scalar, EngineIsa::avx2, EngineIsa::avx512}) {
        text += separator;
        text += isaName(isa);
        text += engineIsaSupported(isa) ? " yes" : " no";
        separator = ", ";
    }
    return text + ")\n";
}

} // namespace quorvex::cli
