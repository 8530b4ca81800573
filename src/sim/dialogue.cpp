#include "sim/dialogue.h"

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>

#include "runtime/console_streams.h"
#include "runtime/random_source.h"
#include "runtime/screen_clearing.h"
#include "runtime/typed_reading.h"
#include "sim/engine/engine.h"
#include "sim/results_table.h"
#include "sim/score_tally.h"
#include "sim/step_model.h"

namespace quorvex {

namespace {

// What the user typed. A read that fails, is skipped after an earlier
// failure, or meets the end of input leaves its value as it starts here.
struct TypedValues {
    std::int32_t songs = 0;
    std::int32_t steps = 0;
    double perfectRatio = 0.0;
};

TypedValues holdDialogue(istream& in, ostream& out) {
    endLine(writeText(out, "[Quorvex] Zarvo Scoring Simulator v1.0"));
    endLine(endLine(writeText(out, "by Tuvessa")));
    endLine(writeText(out, "-Manual variable input-"));
    TypedValues typed;
    writeText(out, "Number of songs: ");
    readLong(in, typed.songs);
    writeText(out, "Number of steps per song: ");
    readInt(in, typed.steps);
    writeText(out, "Perfect ratio (0-1): ");
    readReal(in, typed.perfectRatio);
    return typed;
}

// Plays every song and folds the results into the tally.
ModelFault playSongs(const TypedValues& typed, const RunConstants& constants, ScoreTally& tally) {
    ScoreAggregate songs;
    const ModelFault fault = runSongs(typed.songs, typed.steps, constants, songs);
    for (const ScoreGroup& group : songs.rows())
        tally.merge(group);
    return fault;
}

int stopWith(const std::string& message) {
    std::fprintf(stderr, "Quorvex: %s\n", message.c_str());
    return 1;
}

const char* const zeroStepsMessage =
    "the number of steps per song is 0 (or was not a number), and a song needs steps; "
    "type a whole number of steps other than 0, such as 400.";
const char* const unusableRatioMessage =
    "the perfect ratio is 0, not a number, infinite or too large to play with; "
    "type a ratio between 0 and 1, such as 0.95.";

} // namespace

int runSimulator() {
    // 1. Seed from the calendar clock, in whole seconds taken as 32 bits.
    seedRandom(static_cast<std::uint32_t>(std::time(nullptr)));
    // 2. The empty tally: no rows, five columns.
    ScoreTally tally;
    // 3. Banner, prompts and the three typed values.
    ostream& out = consoleOutput();
    const TypedValues typed = holdDialogue(consoleInput(), out);
    // 4. The screen is cleared: from here on the console shows only "Working...".
    clearScreen();
    writeText(out, "Working...");
    // 5. Run constants; a step count of 0 stops before the results file is touched.
    const RunConstantsOutcome derived = deriveRunConstants(typed.steps, typed.perfectRatio);
    if (derived.fault == ModelFault::zeroStepCount)
        return stopWith(zeroStepsMessage);
    // 6. The results file and its headings, which are in the file while the
    //    songs run.
    ResultsTableFile report;
    if (!report.open(typed.perfectRatio, typed.songs, typed.steps))
        return stopWith(report.failureMessage());
    // 7. Every song; a ratio that cannot be played stops at the first step.
    if (playSongs(typed, derived.constants, tally) != ModelFault::none)
        return stopWith(unusableRatioMessage);
    // 8. The table ordered and written, then the file is closed.
    tally.order();
    if (!report.writeTable(tally) || !report.close())
        return stopWith(report.failureMessage());
    return 0;
}

} // namespace quorvex
