// The run_request fuzz harness over its seed corpus, in the ordinary test
// build: every seed goes through the harness's checks on every test run,
// without libFuzzer. A broken invariant aborts with the reason on standard error.

#include <gtest/gtest.h>

#include "fuzz_corpus.h"

// The harness itself, replayed here.
#include "../../fuzz/run_request_fuzz.cpp" // NOLINT(bugprone-suspicious-include)

namespace {

TEST(FuzzCorpus, EveryRunRequestSeedKeepsTheInvariants) {
    quorvex::testing::replayFuzzCorpus("run_request", LLVMFuzzerTestOneInput);
}

} // namespace
