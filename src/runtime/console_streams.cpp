#include "runtime/console_streams.h"

#include "containers/index_failure.h"
#include "platform/stream_descriptors.h"

namespace quorvex {

namespace {
void flushConsoleOutput() {
    consoleOutput().flush();
}
} // namespace

istream_withassign& consoleInput() {
    static istream_withassign input;
    return input;
}

ostream_withassign& consoleOutput() {
    static ostream_withassign output;
    return output;
}

void openConsoleStreams(int inputFd, int outputFd) {
    platform::passBytesUnchanged(inputFd);
    platform::passBytesUnchanged(outputFd);
    ostream_withassign& output = consoleOutput();
    output = ostream_withassign(outputFd);
    if (platform::isCharacterDevice(outputFd))
        output.setf(ios::unitbuf);

    istream_withassign& input = consoleInput();
    input = istream_withassign(inputFd);
    input.tie(&output);

    setIndexFailureFlush(&flushConsoleOutput);
}

void closeConsoleStreams() {
    consoleOutput().flush();
}

} // namespace quorvex
