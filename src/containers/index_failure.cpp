#include "containers/index_failure.h"

#include <unistd.h>

#include <cstring>
#include <string>

namespace quorvex {

namespace {

PendingOutputFlush pendingOutputFlush = nullptr;

void writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written <= 0)
            return; // nothing sensible left to do on the way out
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

} // namespace

void setIndexFailureFlush(PendingOutputFlush flush) {
    pendingOutputFlush = flush;
}

void failIndex(const char* kind, std::int32_t index, std::int32_t maxIndex) {
    // 1. The message line; whatever the console output holds goes out first.
    if (pendingOutputFlush != nullptr)
        pendingOutputFlush();
    const std::string message = std::string("Illegal ") + kind + " index: " + std::to_string(index) +
                                " max index = " + std::to_string(maxIndex) + "\n";
    writeAll(STDERR_FILENO, message.data(), message.size());
    // 2. Abnormal end, straight to the device, without exit-time clean-up.
    constexpr const char abnormal[] = "\nAbnormal program termination\n";
    writeAll(STDERR_FILENO, abnormal, std::strlen(abnormal));
    ::_exit(3);
}

} // namespace quorvex
