#include "pseudo_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>

namespace quorvex::testing {

PseudoTerminal::PseudoTerminal(unsigned short columns, unsigned short rows)
    : master(::posix_openpt(O_RDWR | O_NOCTTY)) {
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
        return;
    path = ::ptsname(master);
    keeper = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    winsize size{};
    size.ws_col = columns;
    size.ws_row = rows;
    ::ioctl(master, TIOCSWINSZ, &size);
}

PseudoTerminal::~PseudoTerminal() {
    for (int fd : {keeper, master})
        if (fd >= 0)
            ::close(fd);
}

std::string PseudoTerminal::shown(std::size_t count) const {
    std::string bytes;
    char buffer[256];
    while (bytes.size() < count) {
        pollfd p{master, POLLIN, 0};
        if (::poll(&p, 1, 2000) != 1)
            break;
        const ssize_t n = ::read(master, buffer, std::min(sizeof buffer, count - bytes.size()));
        if (n <= 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
}

bool PseudoTerminal::nothingShown() const {
    pollfd p{master, POLLIN, 0};
    return ::poll(&p, 1, 50) == 0;
}

} // namespace quorvex::testing
