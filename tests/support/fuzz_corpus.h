#pragma once

// Replays a fuzz harness over its seed corpus in the ordinary test build,
// without libFuzzer: every seed, the inputs that once broke an invariant among
// them, goes through the harness's checks. A broken invariant aborts with the
// reason on standard error. Needs QUORVEX_FUZZ_CORPUS_DIR, which the test
// build defines for every test.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace quorvex::testing {

using FuzzHarness = int (*)(const std::uint8_t* data, std::size_t size);

// Every file in fuzz/corpus/<harness> through `harness`, which must return 0
// for each; the corpus must hold at least `leastSeeds` of them.
inline void replayFuzzCorpus(const std::string& name, FuzzHarness harness, int leastSeeds = 20) {
    const std::filesystem::path corpus = std::filesystem::path(QUORVEX_FUZZ_CORPUS_DIR) / name;
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                              std::istreambuf_iterator<char>()};
        SCOPED_TRACE(entry.path().filename().string());
        EXPECT_EQ(harness(bytes.data(), bytes.size()), 0);
        ++seeds;
    }
    EXPECT_GE(seeds, leastSeeds) << "the seed corpus is missing";
}

} // namespace quorvex::testing
