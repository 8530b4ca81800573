#include "serve/stop_signal.h"

#include <pthread.h>
#include <signal.h>

#include <thread>

namespace quorvex::serve {

namespace {

sigset_t stopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

} // namespace

void holdStopSignals() {
    const sigset_t signals = stopSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    // A client that goes away mid-response must not end the server.
    signal(SIGPIPE, SIG_IGN);
}

void onStopSignal(std::function<void()> stop) {
    std::thread([stop = std::move(stop)] {
        const sigset_t signals = stopSignals();
        int received = 0;
        while (sigwait(&signals, &received) != 0) {
        }
        stop();
    }).detach();
}

} // namespace quorvex::serve
