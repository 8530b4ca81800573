// The general_real fuzz harness over its seed corpus, in the ordinary test build:
// every seed, the inputs that once broke an invariant among them, goes
// through the harness's checks on every test run, without libFuzzer. A
// broken invariant aborts with the reason on standard error.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <gtest/gtest.h>

// The harness itself, replayed here.
#include "../fuzz/general_real_fuzz.cpp" // NOLINT(bugprone-suspicious-include)

namespace {

TEST(FuzzCorpus, EverySeedKeepsTheInvariants) {
    const std::filesystem::path corpus = QUORVEX_FUZZ_CORPUS_DIR "/general_real";
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                              std::istreambuf_iterator<char>()};
        SCOPED_TRACE(entry.path().filename().string());
        EXPECT_EQ(LLVMFuzzerTestOneInput(bytes.data(), bytes.size()), 0);
        ++seeds;
    }
    EXPECT_GE(seeds, 20) << "the seed corpus is missing";
}

} // namespace
