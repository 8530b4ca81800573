#pragma once

#include <cstddef>

namespace quorvex {

// Writes all `size` bytes to the descriptor, continuing interrupted and
// partial writes and waiting on a non-blocking descriptor. Returns 0, or the
// errno that stopped it (EIO for a write that made no progress and gave no
// reason). A write that meets a closed pipe fails with EPIPE and never raises
// SIGPIPE, whatever the process's disposition for it, so a closed pipe cannot
// end the process.
int writeFully(int fd, const char* data, std::size_t size);

} // namespace quorvex
