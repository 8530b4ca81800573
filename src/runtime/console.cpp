#include "runtime/console.h"

#include "platform/stream_descriptors.h"
#include "runtime/console_streams.h"
#include "runtime/screen_clearing.h"

namespace quorvex {

void openConsole() {
    platform::prepareStandardDescriptors();
    openConsoleScreen();
    openConsoleStreams();
}

void closeConsole() {
    closeConsoleStreams();
    closeConsoleScreen();
}

} // namespace quorvex
