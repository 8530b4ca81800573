#include "serve/connection_workers.h"

namespace quorvex::serve {

namespace {

// httplib owns its task queue and deletes it once listening has ended: this
// front leaves the workers themselves to the shared pointer.
class WorkersQueue final : public httplib::TaskQueue {
  public:
    WorkersQueue(std::shared_ptr<ConnectionWorkers> workers, std::chrono::milliseconds patience)
        : workers_(std::move(workers)), patience_(patience) {}
    void enqueue(std::function<void()> connection) override { workers_->enqueue(std::move(connection)); }
    void shutdown() override { workers_->shutdown(patience_); }

  private:
    std::shared_ptr<ConnectionWorkers> workers_;
    std::chrono::milliseconds patience_;
};

} // namespace

httplib::TaskQueue* ConnectionWorkers::newTaskQueue(std::chrono::milliseconds patience) {
    return new WorkersQueue(shared_from_this(), patience);
}

void ConnectionWorkers::enqueue(std::function<void()> connection) {
    std::lock_guard lock(mutex_);
    waiting_.push_back(std::move(connection));
    if (idle_ < waiting_.size() && threads_.size() < maximum_)
        threads_.emplace_back([self = shared_from_this()] { self->work(); });
    changed_.notify_all();
}

void ConnectionWorkers::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        ++idle_;
        changed_.wait(lock, [this] { return shuttingDown_ || !waiting_.empty(); });
        --idle_;
        if (waiting_.empty())
            return; // shutting down with nothing left
        std::function<void()> connection = std::move(waiting_.front());
        waiting_.pop_front();
        ++busy_;
        lock.unlock();
        connection();
        lock.lock();
        --busy_;
        changed_.notify_all();
    }
}

void ConnectionWorkers::shutdown(std::chrono::milliseconds patience) {
    std::unique_lock lock(mutex_);
    if (shuttingDown_)
        return;
    shuttingDown_ = true;
    changed_.notify_all();
    const bool finished =
        changed_.wait_for(lock, patience, [this] { return busy_ == 0 && waiting_.empty(); });
    std::vector<std::thread> threads = std::move(threads_);
    detached_ = !finished;
    lock.unlock();
    for (std::thread& thread : threads) {
        if (finished)
            thread.join();
        else
            thread.detach();
    }
}

bool ConnectionWorkers::stragglersLeft() const {
    std::lock_guard lock(mutex_);
    return detached_;
}

} // namespace quorvex::serve
