#pragma once

// The steps every command's run takes around its own work: the progress
// line while songs play, one line on standard error for what went wrong,
// and the texts it rendered written to their files.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/progress.h"

namespace quorvex::cli {

// A text bound for a file ("-": standard output).
struct Rendered {
    std::string file;
    std::string text;
};

// The progress line over `totalSongs` songs of `steps` steps on standard
// error, counted from `songsDone`, drawn only when a person watches it
// there (a terminal) and the run is not `quiet`.
ProgressDisplay progressOnStandardError(bool quiet, std::int64_t totalSongs, std::int32_t steps,
                                        const std::atomic<std::int64_t>* songsDone);

// "quorvex <command>: <message>" as one line on standard error; a failure
// to write it is ignored, as there is nowhere left to tell of it.
void tell(std::string_view command, std::string_view message);

// Each text written whole or not at all (output::writeWholeFile), in order;
// one that fails does not keep the others from being written. Returns
// exitSuccess, or exitFailure after one line (tell) per file not written,
// naming it and the reason.
int writeRendered(std::string_view command, const std::vector<Rendered>& texts);

} // namespace quorvex::cli
