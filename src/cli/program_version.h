#pragma once

#include <string>

namespace quorvex::cli {

// The program's version, "1.0" (the project's version in CMake).
const char* programVersion();

// What `quorvex --version` prints: the program's version, then the engine's
// kernels this processor would run and which instruction sets it has, e.g.
//   quorvex 1.0
//   kernels: AVX-512 (this processor: scalar yes, AVX2+FMA yes, AVX-512 yes)
std::string versionText();

} // namespace quorvex::cli
