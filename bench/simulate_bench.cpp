// What `quorvex simulate` costs beyond the engine: the whole command (its
// parsing, the seeded run, the statistics and the census, rendering the
// report and writing it) against the engine alone playing the same songs,
// for 10^6 songs of 400 steps at 0.95. The command should cost at most 5%
// more. Each figure is the fastest of a few runs: other work on the machine
// only ever slows a run down. Not a test. Optional argument: runs per figure.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "runtime/numeric_mode.h"
#include "runtime/random_source.h"
#include "sim/engine/engine.h"
#include "sim/step_model.h"

namespace {

using namespace quorvex;
using Clock = std::chrono::steady_clock;

constexpr std::int32_t songs = 1000000;
constexpr std::int32_t steps = 400;
constexpr double ratio = 0.95;
constexpr std::uint32_t seed = 1700000000u;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double engineAlone(int threads) {
    ScoreAggregate aggregate;
    seedRandom(seed);
    const auto start = Clock::now();
    const RunConstants constants = deriveRunConstants(steps, ratio).constants;
    runSongs(songs, steps, constants, aggregate, {threads, EngineIsa::automatic});
    return secondsSince(start);
}

double wholeCommand(const std::vector<std::string>& extra) {
    std::vector<std::string> words = {
        "quorvex",   "simulate", "--songs", std::to_string(songs), "--steps", std::to_string(steps),
        "--perfect", "0.95",     "--seed",  std::to_string(seed),  "--quiet"};
    words.insert(words.end(), extra.begin(), extra.end());
    std::vector<const char*> argv;
    argv.reserve(words.size());
    for (const std::string& word : words)
        argv.push_back(word.c_str());
    const auto start = Clock::now();
    const int status = cli::runCommandLine(static_cast<int>(argv.size()), argv.data());
    const double seconds = secondsSince(start);
    if (status != 0) {
        std::fprintf(stderr, "simulate_bench: the command failed with status %d\n", status);
        std::exit(1);
    }
    return seconds;
}

template <typename Run> double fastest(int repeats, Run run) {
    double best = run();
    for (int repeat = 1; repeat < repeats; ++repeat)
        best = std::min(best, run());
    return best;
}

} // namespace

int main(int argc, char** argv) {
    setNumericMode();
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int threads = affinityThreadCount();
    std::printf("%d songs x %d steps @ %g, %d threads, fastest of %d runs each\n\n", songs, steps, ratio,
                threads, repeats);
    struct Variant {
        const char* label;
        std::vector<std::string> extra;
    };
    const Variant variants[] = {
        {"simulate (text)", {"--output", "/dev/null"}},
        {"simulate (json, --results, --plot)",
         {"--format", "json", "--output", "/dev/null", "--results", "/dev/null", "--plot", "/dev/null"}},
    };
    std::printf("%-36s %10s %10s %8s\n", "", "engine", "command", "ratio");
    for (const Variant& variant : variants) {
        // Interleaved, so that a slow spell of the machine hits both alike.
        double engine = 0, command = 0;
        for (int repeat = 0; repeat < repeats; ++repeat) {
            const double e = engineAlone(threads);
            const double c = wholeCommand(variant.extra);
            engine = repeat == 0 ? e : std::min(engine, e);
            command = repeat == 0 ? c : std::min(command, c);
        }
        std::printf("%-36s %8.1fms %8.1fms %8.4f\n", variant.label, engine * 1e3, command * 1e3,
                    command / engine);
    }
    return 0;
}
