#pragma once

#include <string>
#include <string_view>

namespace quorvex::app {

// The program's version, "1.0" (the project's version in CMake).
std::string_view programVersion();

// The engine's kernels this processor runs, then which instruction sets it
// has, as the version text shows them after "kernels: ", e.g.
//   AVX-512 (this processor: scalar yes, AVX2+FMA yes, AVX-512 yes)
std::string kernelsInUse();

// The threads to run on when a face is not told: the CPUs the process may
// use, at most 1024.
int defaultThreadCount();

} // namespace quorvex::app
