// General real conversion cost: microseconds per value for the report's own
// values and for values at the ends of the extended range, where the exact
// powers of ten run to thousands of digits. Not a test; before the powers of
// five were kept, the largest extended value took about a millisecond.
#include <cfloat>
#include <chrono>
#include <cstddef>
#include <cstdio>

#include "numbers/general_real.h"
#include "runtime/numeric_mode.h"

int main() {
    using namespace quorvex;
    setNumericMode();
    struct Case {
        const char* name;
        long double value;
        int precision;
    };
    const Case cases[] = {{"a count, 999", 999.0L, 6}, {"a ratio, 2/3", 2.0L / 3.0L, 3},
                          {"1e300", 1e300L, 6},        {"largest extended", LDBL_MAX, 19},
                          {"1e-4000", 1e-4000L, 19},   {"smallest subnormal", LDBL_TRUE_MIN, 19}};
    constexpr int repetitions = 2000;
    for (const Case& c : cases) {
        std::size_t characters = 0;
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < repetitions; ++i)
            characters += formatGeneral(c.value, c.precision).size();
        const std::chrono::duration<double, std::micro> elapsed = std::chrono::steady_clock::now() - start;
        std::printf("%-20s %8.3f us/value (%zu characters)\n", c.name, elapsed.count() / repetitions,
                    characters);
    }
    return 0;
}
