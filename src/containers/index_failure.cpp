#include "containers/index_failure.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/descriptor_io.h"

namespace quorvex {

namespace {

PendingOutputFlush pendingOutputFlush = nullptr;

constexpr int standardError = 2;

// Straight to the descriptor, bytes unchanged; a failure is ignored, as
// there is nothing sensible left to do on the way out.
void writeAll(int fd, const char* data, std::size_t size) {
    (void)platform::writeFully(fd, data, size);
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
    writeAll(standardError, message.data(), message.size());
    // 2. Abnormal end, straight to the device, without exit-time clean-up.
    constexpr const char abnormal[] = "\nAbnormal program termination\n";
    writeAll(standardError, abnormal, std::strlen(abnormal));
    std::_Exit(3);
}

} // namespace quorvex
