#pragma once

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace quorvex::serve {

// The threads that serve connections. Each connection holds its thread for as
// long as it is open, idle keep-alive time included, so a fixed handful of
// threads lets a few idle or slow clients keep every other one waiting. These
// workers grow on demand up to `maximum` (a blocked thread costs little more
// than its stack's address space) and a connection beyond that waits for the
// first to close, which the keep-alive and read timeouts bound.
class ConnectionWorkers : public std::enable_shared_from_this<ConnectionWorkers> {
  public:
    explicit ConnectionWorkers(std::size_t maximum) : maximum_(maximum) {}

    void enqueue(std::function<void()> connection);

    // Lets every worker finish its connection, waiting at most `patience`;
    // workers still busy then are left running (they keep this object alive),
    // so that a stalled client cannot hold up an exit: the process must then
    // end without destroying what those connections use (stragglersLeft()).
    void shutdown(std::chrono::milliseconds patience);
    bool stragglersLeft() const;

    // The task queue httplib's server asks for when it starts listening.
    httplib::TaskQueue* newTaskQueue(std::chrono::milliseconds patience);

    // How long an exit waits for connections in progress.
    static constexpr std::chrono::milliseconds defaultPatience{300};

  private:
    void work();

    const std::size_t maximum_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> waiting_;
    std::vector<std::thread> threads_;
    std::size_t idle_ = 0;
    std::size_t busy_ = 0;
    bool shuttingDown_ = false;
    bool detached_ = false;
};

} // namespace quorvex::serve
