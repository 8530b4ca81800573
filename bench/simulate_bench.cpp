// What `quorvex simulate` costs beyond the engine: the whole command (its
// parsing, the seeded run, the statistics and the census, rendering the
// report and writing it) against the engine alone playing the same songs,
// for 10^6 songs of 400 steps at 0.95. The command should cost at most 5%
// more. Other work on the machine only ever slows a run down, so each figure
// is the least of a few runs, in wall-clock time and in processor time (all
// threads; steadier on a busy machine); the work beyond the engine is also
// timed on its own. Then the whole command on one thread against the plain
// model, for the engine's four reference runs: the plain model is timed on a
// prefix of whole songs (about 2 * 10^6 steps) and extrapolated. Not a test.
// Optional argument: runs per figure.

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
#include "runtime/random_source.h"
#include "sim/engine/engine.h"
#include "sim/engine/plain_run.h"

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

struct RunShape {
    std::int32_t songs, steps;
    const char* ratio;
};

void wholeCommand(const std::vector<std::string>& extra, const RunShape& shape = {songs, steps, "0.95"}) {
    std::vector<std::string> words = {"quorvex",   "simulate",
                                      "--songs",   std::to_string(shape.songs),
                                      "--steps",   std::to_string(shape.steps),
                                      "--perfect", shape.ratio,
                                      "--seed",    std::to_string(seed),
                                      "--quiet"};
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

// Seconds per step of the plain model for a run of this shape, the least of
// `repeats` timings of a prefix of whole songs.
double plainSecondsPerStep(const RunShape& shape, int repeats) {
    const RunConstants constants = deriveRunConstants(shape.steps, std::atof(shape.ratio)).constants;
    const std::int32_t prefix =
        std::max<std::int32_t>(1, std::min<std::int32_t>(shape.songs, 2000000 / shape.steps));
    Cost least;
    for (int repeat = 0; repeat < repeats; ++repeat) {
        keepLeast(least, costOf([&] {
                      ScoreAggregate aggregate;
                      seedRandom(seed);
                      runSongsPlain(prefix, shape.steps, constants, aggregate);
                  }),
                  repeat == 0);
    }
    return least.wall / (static_cast<double>(prefix) * shape.steps);
}

// The whole command on one thread against the plain model playing the same
// songs.
void oneThreadAgainstThePlainModel(int repeats) {
    std::printf(
        "\nthe whole command on one thread (--threads 1, text to /dev/null) against the plain model\n");
    std::printf("%-24s %13s %13s %9s\n", "songs x steps @ ratio", "plain", "command", "speed-up");
    const RunShape shapes[] = {
        {20000, 1000, "0.95"}, {200000, 100, "0.9"}, {2000000, 7, "0.9"}, {10000000, 1, "0.5"}};
    for (const RunShape& shape : shapes) {
        const double steps = static_cast<double>(shape.songs) * shape.steps;
        const double plain = plainSecondsPerStep(shape, repeats) * steps;
        Cost command;
        for (int repeat = 0; repeat < repeats; ++repeat)
            keepLeast(command, costOf([&] {
                          wholeCommand({"--threads", "1", "--output", "/dev/null"}, shape);
                      }),
                      repeat == 0);
        char label[64];
        std::snprintf(label, sizeof label, "%d x %d @ %s", shape.songs, shape.steps, shape.ratio);
        std::printf("%-24s %11.1fms %11.1fms %8.1fx\n", label, plain * 1e3, command.wall * 1e3,
                    plain / command.wall);
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
    oneThreadAgainstThePlainModel(repeats);
    return 0;
}
