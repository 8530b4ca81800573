// The general_real fuzz harness over its seed corpus, in the ordinary test build:
// every seed, the inputs that once broke an invariant among them, goes
// through the harness's checks on every test run, without libFuzzer. A
// broken invariant aborts with the reason on standard error.

#include <gtest/gtest.h>

#include "fuzz_corpus.h"

// The harness itself, replayed here.
#include "../../fuzz/general_real_fuzz.cpp" // NOLINT(bugprone-suspicious-include)

namespace {

TEST(FuzzCorpus, EverySeedKeepsTheInvariants) {
    quorvex::testing::replayFuzzCorpus("general_real", LLVMFuzzerTestOneInput);
}

} // namespace
