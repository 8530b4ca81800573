#include "runtime/console.h"

#include "runtime/console_streams.h"
#include "runtime/screen_clearing.h"

namespace quorvex {

void openConsole() {
    openConsoleScreen();
    openConsoleStreams();
}

void closeConsole() {
    closeConsoleStreams();
    closeConsoleScreen();
}

} // namespace quorvex
