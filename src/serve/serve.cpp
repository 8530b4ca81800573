#include "serve/serve.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "runtime/write_fully.h"
#include "serve/http_server.h"
#include "serve/stop_signal.h"

namespace quorvex::serve {

namespace {

void writeLine(int descriptor, const std::string& line) {
    const std::string text = line + "\n";
    (void)writeFully(descriptor, text.data(), text.size());
}

} // namespace

int runServer(const ServeSettings& settings, RunSource& runs) {
    holdStopSignals(); // before the server starts its threads
    HttpServer server(settings, HttpLimits{}, runs);
    int port = 0;
    try {
        port = server.bind();
    } catch (const std::exception& error) {
        writeLine(2, std::string("quorvex serve: ") + error.what());
        return 1;
    }
    const std::string url = serverUrl(settings.listen.host, port);
    // Written whole at once, unbuffered: scripts and tests read the port from it.
    writeLine(1, "Quorvex is serving on " + url);
    if (!isLoopback(settings.listen.host))
        writeLine(2, "quorvex serve: warning: " + settings.listen.host +
                         " is reachable from other machines, and anyone who reaches it can start runs");
    onStopSignal([&server] { server.stop(); });
    server.serve();
    if (server.stragglersLeft()) {
        // A client still holds a connection: its thread uses the server,
        // which must not be destroyed under it.
        std::_Exit(0);
    }
    return 0;
}

} // namespace quorvex::serve
