// What `quorvex simulate` costs beyond the engine: the whole command (its
// parsing, the seeded run, the statistics and the census, rendering the
// report and writing it) against the engine alone playing the same songs,
// for 10^6 songs of 400 steps at 0.95. The command should cost at most 5%
// more. Other work on the machine only ever slows a run down, so each figure
// is the least of a few runs, in wall-clock time and in processor time (all
// threads; steadier on a busy machine); the work beyond the engine is also
// timed on its own. Not a test. Optional argument: runs per figure.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/run_record.h"
#include "app/seeded_run.h"
#include "bench_timing.h"
#include "cli/command_line.h"
#include "output/classic_results.h"
#include "output/json_report.h"
#include "output/svg_histogram.h"
#include "output/text_report.h"
#include "runtime/numeric_mode.h"
#include "sim/engine/engine.h"

namespace {

using quorvex::bench::Cost;
using quorvex::bench::costOf;
using quorvex::bench::keepLeast;

using namespace quorvex;

constexpr std::int32_t songs = 1000000;
constexpr std::int32_t steps = 400;
constexpr double ratio = 0.95;
constexpr std::uint32_t seed = 1700000000u;

// The engine alone, as the command plays it: seeded, every thread.
void engineAlone(int threads) {
    ScoreAggregate aggregate;
    seedRandom(seed);
    runSongs(songs, steps, deriveRunConstants(steps, ratio).constants, aggregate,
             {threads, EngineIsa::automatic});
}

void wholeCommand(const std::vector<std::string>& extra) {
    std::vector<std::string> words = {
        "quorvex",   "simulate", "--songs", std::to_string(songs), "--steps", std::to_string(steps),
        "--perfect", "0.95",     "--seed",  std::to_string(seed),  "--quiet"};
    words.insert(words.end(), extra.begin(), extra.end());
    std::vector<const char*> argv;
    argv.reserve(words.size());
    for (const std::string& word : words)
        argv.push_back(word.c_str());
    const int status = cli::runCommandLine(static_cast<int>(argv.size()), argv.data());
    if (status != 0) {
        std::fprintf(stderr, "simulate_bench: the command failed with status %d\n", status);
        std::exit(1);
    }
}

} // namespace

int main(int argc, char** argv) {
    setNumericMode();
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int threads = affinityThreadCount();
    std::printf("%d songs x %d steps @ %g, %d threads; the least of %d runs each\n\n", songs, steps, ratio,
                threads, repeats);
    struct Variant {
        const char* label;
        std::vector<std::string> extra;
    };
    const Variant variants[] = {
        {"text", {"--output", "/dev/null"}},
        {"json, --results, --plot",
         {"--format", "json", "--output", "/dev/null", "--results", "/dev/null", "--plot", "/dev/null"}},
    };
    std::printf("%-26s %11s %11s %7s %11s %11s %7s\n", "simulate", "engine", "command", "ratio", "engine cpu",
                "command cpu", "ratio");
    for (const Variant& variant : variants) {
        // Interleaved, so that a busy spell of the machine slows both alike.
        Cost engine, command;
        for (int repeat = 0; repeat < repeats; ++repeat) {
            keepLeast(engine, costOf([&] { engineAlone(threads); }), repeat == 0);
            keepLeast(command, costOf([&] { wholeCommand(variant.extra); }), repeat == 0);
        }
        std::printf("%-26s %9.1fms %9.1fms %7.4f %9.1fms %9.1fms %7.4f\n", variant.label, engine.wall * 1e3,
                    command.wall * 1e3, command.wall / engine.wall, engine.processor * 1e3,
                    command.processor * 1e3, command.processor / engine.processor);
    }

    // The work beyond the engine, on its own: the record (statistics and the
    // census) and every text rendered, for the songs of the same run.
    const app::RunRequest request{songs, steps, ratio, seed};
    const app::SeededRun run = app::playSeededRun(request, threads);
    Cost record, texts;
    output::SimulationRecord rendered;
    std::size_t bytes = 0;
    for (int repeat = 0; repeat < repeats; ++repeat) {
        keepLeast(record, costOf([&] {
                      rendered = app::recordOfRun(request, {"0.95", threads, {}}, run);
                  }),
                  repeat == 0);
        keepLeast(texts, costOf([&] {
                      bytes = output::simulationText(rendered, {}).size() +
                              output::simulationJson(rendered).size() +
                              output::histogramSvg(rendered).size() +
                              output::classicResultsText(rendered).size();
                  }),
                  repeat == 0);
    }
    std::printf("\nbeyond the engine, alone: the record %.3f ms, text + json + svg + results table %.3f ms "
                "(%zu bytes)\n",
                record.wall * 1e3, texts.wall * 1e3, bytes);
    return 0;
}
