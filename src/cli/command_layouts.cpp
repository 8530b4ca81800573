#include "cli/command_layouts.h"

namespace quorvex::cli {

namespace {

constexpr std::string_view simulateRequired[] = {"songs", "steps", "perfect"};
constexpr std::string_view simulateRun[] = {"seed", "threads", "at-least", "quiet"};
constexpr std::string_view simulateOutput[] = {"format", "output", "results", "plot"};
constexpr OptionGroup simulateGroups[] = {
    {"Required", simulateRequired}, {"Run", simulateRun}, {"Output", simulateOutput}};

constexpr std::string_view sweepOutput[] = {"format", "output", "plot"};
constexpr OptionGroup sweepGroups[] = {
    {"Required", simulateRequired}, {"Run", simulateRun}, {"Output", sweepOutput}};

constexpr std::string_view targetGoal[] = {"steps", "aaa-chance", "score", "chance", "mean"};
constexpr std::string_view targetRun[] = {"songs", "seed", "resolution", "threads", "quiet"};
constexpr std::string_view targetOutput[] = {"format", "output"};
constexpr OptionGroup targetGroups[] = {{"Goal", targetGoal}, {"Run", targetRun}, {"Output", targetOutput}};

constexpr CommandLayout layouts[] = {
    {"simulate", simulateGroups, "the results are the same for any count",
     "the report to FILE instead of standard output (\"-\")", "also the dialogue's results table to FILE",
     "also an SVG histogram of the scores to FILE",
     "Reports the mean score with its 95% interval, the spread and quantiles, P(AAA),\n"
     "P(score = 1000) and P(score >= X) with Wilson intervals beside the exact values\n"
     "for independent draws, and a histogram of the scores.\n"
     "\n"
     "Examples:\n"
     "  quorvex simulate --songs 100000 --steps 400 --perfect 0.95\n"
     "  quorvex simulate --songs 1000000 --steps 300 --perfect 0.99 \\\n"
     "      --at-least 950,990 --format json --output scores.json --plot scores.svg\n"
     "  quorvex simulate --songs 10 --steps 400 --perfect 0.95 --seed 1700000000 \\\n"
     "      --results QuorvexResults.txt\n"
     "\n"
     "--seed S plays the songs the dialogue plays when started in second S with the\n"
     "same three values; --results then writes the bytes of its QuorvexResults.txt."},
    {"sweep", sweepGroups, "the results are the same for any count",
     "the report to FILE instead of standard output (\"-\")", "",
     "also an SVG plot of the mean score and P(AAA)\nagainst the ratio to FILE",
     "Plays the same seeded songs at every ratio, so that the rows move smoothly\n"
     "and each is what 'quorvex simulate --seed SEED --perfect R' reports for its\n"
     "ratio: the mean score with its 95% interval, SD, p5, median, p95, P(AAA) with\n"
     "its Wilson interval and exact values, P(score = 1000) and P(score >= X).\n"
     "\n"
     "A range A:B:STEP holds A, A + STEP, A + 2 STEP, ... as exact decimals, each\n"
     "read as --perfect reads it, and B when the steps reach it exactly:\n"
     "0.9:0.99:0.01 is 0.9, 0.91, ..., 0.99. At most 10000 ratios.\n"
     "\n"
     "Examples:\n"
     "  quorvex sweep --songs 100000 --steps 400 --perfect 0.9:1:0.01\n"
     "  quorvex sweep --songs 100000 --steps 400 --perfect 0.95,0.97,0.99 \\\n"
     "      --at-least 950 --format csv --output sweep.csv --plot sweep.svg"},
    {"target", targetGroups, "the answer is the same for any count",
     "the answer to FILE instead of standard output (\"-\")", "", "",
     "Give one goal. --aaa-chance Q is answered exactly for independent, equally\n"
     "likely draws: the least double ratio whose draws give P(AAA) >= Q. --score X\n"
     "with --chance Q, and --mean M, are answered by simulation: a bisection over the\n"
     "ratios k * R, every ratio playing the same seeded songs (as simulate --seed\n"
     "would), until the bracket is R wide; the answer is its upper end. A goal that\n"
     "every ratio meets, or none does, is answered with one line on standard error\n"
     "and exit status 1.\n"
     "\n"
     "Examples:\n"
     "  quorvex target --steps 400 --aaa-chance 0.5\n"
     "  quorvex target --steps 400 --score 950 --chance 0.9 --seed 1700000000\n"
     "  quorvex target --steps 300 --mean 990 --songs 1000000 --format json"},
};

} // namespace

const CommandLayout* layoutOf(std::string_view command) {
    for (const CommandLayout& layout : layouts)
        if (layout.command == command)
            return &layout;
    return nullptr;
}

} // namespace quorvex::cli
