#pragma once

#include <functional>

namespace quorvex::serve {

// Ctrl+C and termination requests (SIGINT and SIGTERM; on Windows the
// console's Ctrl+C, Ctrl+Break and close events) stop the server rather
// than end the process where it stands.
//
// holdStopSignals() must come before any thread is started: on POSIX every
// thread then inherits a mask that leaves the signals to the one thread
// onStopSignal() starts, which calls `stop` (once) when one arrives.
void holdStopSignals();
void onStopSignal(std::function<void()> stop);

} // namespace quorvex::serve
