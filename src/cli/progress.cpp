#include "cli/progress.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "platform/terminal.h"
#include "runtime/write_fully.h"

namespace quorvex::cli {

namespace {

// `value` with `decimals` digits after the point.
std::string fixed(double value, int decimals) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return {buffer, result.ptr};
}

// A rate with an SI prefix and three significant digits: "812", "2.41 G".
std::string withPrefix(double value) {
    static constexpr const char* prefixes[] = {"", " k", " M", " G", " T"};
    std::size_t prefix = 0;
    while (value >= 999.5 && prefix + 1 < std::size(prefixes)) {
        value /= 1000;
        ++prefix;
    }
    const int decimals = value >= 99.95 ? 0 : value >= 9.995 ? 1 : 2;
    return fixed(value, prefix == 0 ? 0 : decimals) + prefixes[prefix];
}

// Whole seconds, minutes or hours, rounded up: a display that promises a
// little more time than it takes reads better than one that runs over.
std::string duration(double seconds) {
    if (seconds < 99.5)
        return fixed(std::ceil(seconds), 0) + " s";
    if (seconds < 99.5 * 60)
        return fixed(std::ceil(seconds / 60), 0) + " min";
    return fixed(std::ceil(seconds / 3600), 0) + " h";
}

} // namespace

std::string progressLine(std::int64_t songsDone, std::int64_t totalSongs, std::int32_t steps,
                         double elapsedSeconds, int columns) {
    const std::size_t width = static_cast<std::size_t>(columns > 1 ? columns : 80) - 1;
    // The longest form that fits, then shorter ones, parts dropped rather than cut.
    std::vector<std::string> forms;
    if (songsDone <= 0 || totalSongs <= 0 || elapsedSeconds <= 0) {
        forms = {"simulating: 0% done, measuring the pace...", "0% done"};
    } else {
        const std::int64_t done = std::min(songsDone, totalSongs);
        const auto share = static_cast<double>(done) / static_cast<double>(totalSongs);
        const std::string percent = std::to_string(done * 100 / totalSongs) + "% done";
        const std::string rate = withPrefix(static_cast<double>(done) * steps / elapsedSeconds) + " steps/s";
        const std::string left = duration(elapsedSeconds * (1 - share) / share) + " left";
        forms = {"simulating: " + percent + ", " + rate + ", about " + left,
                 percent + ", " + rate + ", " + left, percent + ", " + left};
    }
    for (const std::string& form : forms)
        if (form.size() <= width)
            return form;
    return forms.back().substr(0, width);
}

ProgressDisplay::ProgressDisplay(int fd, bool shown, std::int64_t totalSongs, std::int32_t steps,
                                 Timing timing)
    : ProgressDisplay(fd, shown, totalSongs, steps, timing, nullptr) {}

ProgressDisplay::ProgressDisplay(int fd, bool shown, std::int64_t totalSongs, std::int32_t steps,
                                 Timing timing, const std::atomic<std::int64_t>* counter)
    : fd_(fd), totalSongs_(totalSongs), steps_(steps), counter_(counter != nullptr ? counter : &songsDone_),
      start_(std::chrono::steady_clock::now()) {
    if (shown)
        thread_ = std::thread([this, timing] { show(timing); });
}

ProgressDisplay::~ProgressDisplay() {
    finish();
}

void ProgressDisplay::finish() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void ProgressDisplay::show(Timing timing) {
    std::unique_lock<std::mutex> lock(mutex_);
    const auto stopped = [this] { return stopping_; };
    if (wake_.wait_for(lock, timing.delay, stopped))
        return;
    do
        draw();
    while (!wake_.wait_for(lock, timing.interval, stopped));
    erase();
}

void ProgressDisplay::draw() {
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    const std::string line = progressLine(counter_->load(std::memory_order_relaxed), totalSongs_, steps_,
                                          elapsed, platform::terminalColumns(fd_));
    // Over the last line: back to its start, the new text, blanks over what
    // is left of a longer one.
    std::string shown = "\r" + line;
    if (line.size() < drawnLength_)
        shown.append(drawnLength_ - line.size(), ' ');
    drawnLength_ = std::max(drawnLength_, line.size());
    // A display that cannot write has nothing better to do than to go on.
    (void)writeFully(fd_, shown.data(), shown.size());
}

void ProgressDisplay::erase() {
    if (drawnLength_ == 0)
        return;
    // "\r", blanks over the line, "\r".
    std::string blank(drawnLength_ + 2, ' ');
    blank.front() = '\r';
    blank.back() = '\r';
    (void)writeFully(fd_, blank.data(), blank.size());
    drawnLength_ = 0;
}

} // namespace quorvex::cli
