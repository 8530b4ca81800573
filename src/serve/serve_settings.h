#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "serve/job_queue.h"
#include "serve/listen_address.h"

namespace quorvex::serve {

// Everything `quorvex serve` is told on its command line.
struct ServeSettings {
    ListenAddress listen{"127.0.0.1", 8765};
    std::vector<std::string> allowedHosts; // --allow-host, beside the loopback names
    int threads = 1;                       // a run's threads
    QueueLimits queue;                     // --max-queued sets maxQueued
    long double maxSteps = 2e11L;          // the most songs x steps a run may plan
    bool quiet = false;                    // no request log on standard error
};

inline constexpr const char* defaultMaxStepsText = "200000000000";

// The HTTP limits, fixed: a client gets a few seconds to send a request or
// take a response, a keep-alive connection idles at most two seconds, and up
// to 256 connections are served at once (a new client waits at most for the
// keep-alive timeout even behind a few dozen idle connections).
struct HttpLimits {
    std::chrono::seconds readTimeout{5};
    std::chrono::seconds writeTimeout{5};
    std::chrono::seconds keepAliveTimeout{2};
    std::size_t keepAliveRequests = 100;
    std::size_t connectionWorkers = 256;
    std::size_t maxBody = 64 * 1024;
};

} // namespace quorvex::serve
