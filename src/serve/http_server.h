#pragma once

#include <memory>
#include <string>

#include "serve/run_source.h"
#include "serve/serve_settings.h"

namespace quorvex::serve {

// The HTTP face: the API of runs (docs/serve.md), the page, and the checks
// every request passes first. Runs are played by a JobQueue, one at a time.
class HttpServer {
  public:
    HttpServer(const ServeSettings& settings, const HttpLimits& limits, RunSource& runs);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds the listening socket and returns its port (the one picked for
    // port 0); throws std::runtime_error when the address cannot be bound.
    int bind();

    // Answers requests until stop(); returns once no new connection is taken
    // and the connections in progress have ended or been left (see
    // stragglersLeft()).
    void serve();

    // From any thread: cancels the running run and stops listening.
    void stop();

    // Whether serve() left connections still being served when it returned:
    // the process must then end without destroying this server.
    bool stragglersLeft() const;

  private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace quorvex::serve
