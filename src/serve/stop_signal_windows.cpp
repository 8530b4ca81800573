#include "serve/stop_signal.h"

#include <windows.h>

#include <atomic>
#include <utility>

namespace quorvex::serve {

namespace {

std::function<void()> stopServer;
std::atomic<bool> stopped{false};

// Called by the system on a thread of its own.
BOOL WINAPI onConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT)
        return FALSE;
    if (!stopped.exchange(true))
        stopServer();
    return TRUE;
}

} // namespace

void holdStopSignals() {}

void onStopSignal(std::function<void()> stop) {
    stopServer = std::move(stop);
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

} // namespace quorvex::serve
