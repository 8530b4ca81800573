// Plain model throughput: nanoseconds per step for 1000 songs x 1000 steps at
// perfect ratio 0.95. Not a test; the baseline the engine is measured against.
#include <chrono>
#include <cstdint>
#include <cstdio>

#include "runtime/numeric_mode.h"
#include "runtime/random_source.h"
#include "sim/step_model.h"

int main() {
    using namespace quorvex;
    setNumericMode();
    constexpr std::int32_t songs = 1000, steps = 1000;
    const RunConstants constants = deriveRunConstants(steps, 0.95).constants;
    seedRandom(1700000000u);
    std::int64_t checksum = 0;
    const auto start = std::chrono::steady_clock::now();
    for (std::int32_t song = 0; song < songs; ++song)
        checksum += simulateSong(steps, constants).result.songScore;
    const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("plain model: %d songs x %d steps at 0.95: %.2f ns/step (score sum %lld)\n", songs, steps,
                elapsed.count() / (static_cast<double>(songs) * steps), static_cast<long long>(checksum));
    return 0;
}
