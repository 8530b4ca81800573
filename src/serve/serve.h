#pragma once

#include "serve/run_source.h"
#include "serve/serve_settings.h"

namespace quorvex::serve {

// `quorvex serve`: listens, writes `Quorvex is serving on http://HOST:PORT/`
// as the first line on standard output (flushed at once), and answers until
// SIGINT or SIGTERM, which cancel the running run and end it with status 0
// within a second. One line on standard error per request unless quiet, and
// a warning when the address is reachable from other machines. Status 1 with
// one line on standard error when the address cannot be bound.
int runServer(const ServeSettings& settings, RunSource& runs);

} // namespace quorvex::serve
