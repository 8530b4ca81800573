#include "runtime/console.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "runtime/console_streams.h"
#include "runtime/screen_clearing.h"

namespace quorvex {

namespace {

// A standard descriptor the program was started without is filled with
// /dev/null, so that no file opened later (the results file) can take its
// number and receive console text or messages meant for standard error.
void fillClosedStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        const int opened = ::open("/dev/null", O_RDWR);
        if (opened >= 0 && opened != fd)
            ::close(opened); // fd was taken meanwhile: nothing to fill
    }
}

} // namespace

void openConsole() {
    fillClosedStandardDescriptors();
    openConsoleScreen();
    openConsoleStreams();
}

void closeConsole() {
    closeConsoleStreams();
    closeConsoleScreen();
}

} // namespace quorvex
