#pragma once

namespace quorvex {

// The whole run, once: seed, dialogue, "Working...", run constants, the
// results file's headings, every song, the ordered table. Returns the exit
// status: 0 after a complete run; 1 when the typed values cannot be
// simulated or the results file cannot be written, after a one-line message
// on standard error saying what was wrong and what to do instead.
int runSimulator();

} // namespace quorvex
