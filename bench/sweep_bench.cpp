// What a sweep costs against the same steps in one run, end to end through
// the command line: `quorvex sweep` of 100 ratios x 10^5 songs x 400 steps
// against `quorvex simulate` of 10^7 songs x 400 steps, the ratios all 0.95
// so that both play the same kind of steps; the sweep should cost at most
// about 5% more. Then a sweep over 0.901, 0.902, ..., 1 against the 100
// simulate commands that give its rows, one after another. Each figure is
// the least of a few runs, the sides taking turns, in wall-clock time and in
// processor time (all threads; steadier on a busy machine). Not a test.
// Optional argument: runs per figure (default 3).

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "cli/command_line.h"
#include "runtime/numeric_mode.h"
#include "sim/engine/engine.h"

namespace {

using quorvex::bench::Cost;
using quorvex::bench::costOf;
using quorvex::bench::keepLeast;

constexpr const char* seed = "1700000000";

void command(const std::vector<std::string>& words) {
    std::vector<const char*> argv = {"quorvex"};
    for (const std::string& word : words)
        argv.push_back(word.c_str());
    const int status = quorvex::cli::runCommandLine(static_cast<int>(argv.size()), argv.data());
    if (status != 0) {
        std::fprintf(stderr, "sweep_bench: %s failed with status %d\n", words.front().c_str(), status);
        std::exit(1);
    }
}

std::vector<std::string> simulate(const std::string& songs, const std::string& ratio) {
    return {"simulate", "--songs", songs,     "--steps",  "400",  "--perfect", ratio,
            "--seed",   seed,      "--quiet", "--format", "json", "--output",  "/dev/null"};
}

std::vector<std::string> sweep(const std::string& ratios) {
    return {"sweep",  "--songs", "100000",  "--steps",  "400",  "--perfect", ratios,
            "--seed", seed,      "--quiet", "--format", "json", "--output",  "/dev/null"};
}

void compare(const char* label, const std::function<void()>& reference, const std::function<void()>& batch,
             int repeats) {
    Cost one, many;
    for (int repeat = 0; repeat < repeats; ++repeat) {
        keepLeast(one, costOf(reference), repeat == 0);
        keepLeast(many, costOf(batch), repeat == 0);
    }
    constexpr double steps = 1e9 * 4; // 10^7 songs x 400 steps on each side
    std::printf("%-44s %9.3f s %9.3f s %+7.2f%%   %8.3f ns/step  cpu %+7.2f%%\n", label, one.wall, many.wall,
                (many.wall / one.wall - 1) * 100, many.wall / steps * 1e9,
                (many.processor / one.processor - 1) * 100);
}

} // namespace

int main(int argc, char** argv) {
    quorvex::setNumericMode();
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    std::printf("%d threads; the least of %d runs each, the two sides taking turns\n\n",
                quorvex::affinityThreadCount(), repeats);
    std::printf("%-44s %11s %11s %8s   %16s  %11s\n", "comparison", "reference", "sweep", "sweep", "sweep",
                "cpu");

    std::string sameRatio = "0.95";
    for (int i = 1; i < 100; ++i)
        sameRatio += ",0.95";
    compare(
        "sweep 100 x 0.95 vs simulate 10^7 songs", [] { command(simulate("10000000", "0.95")); },
        [&] { command(sweep(sameRatio)); }, repeats);

    compare(
        "sweep 0.901:1:0.001 vs 100 simulate commands",
        [] {
            for (int i = 1; i <= 100; ++i) {
                const std::string ratio =
                    i == 100 ? "1" : "0.9" + std::string(i < 10 ? "0" : "") + std::to_string(i);
                command(simulate("100000", ratio));
            }
        },
        [] { command(sweep("0.901:1:0.001")); }, repeats);
    return 0;
}
