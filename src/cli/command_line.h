#pragma once

namespace quorvex::cli {

// The command line: `quorvex COMMAND [OPTIONS]`, `quorvex --help`,
// `quorvex --version`. Parses with CLI11, runs the command named, and returns
// the exit status: 0 after a run or a help or version text; 2 for a command
// line it refuses, after one line on standard error naming the option, the
// value and what it accepts, with a hint to the help (nothing is run or
// written then); 1 when a run fails (a file that cannot be written), after
// one line per failure naming the file and the reason. CLI11's own messages
// and exit codes never reach the user.
int runCommandLine(int argc, const char* const* argv);

} // namespace quorvex::cli
