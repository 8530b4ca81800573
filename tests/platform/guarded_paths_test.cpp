// The slots of guarded temporary file names: as many names as there are
// slots, none that does not fit, a released slot taken again, and only the
// names held handed to the removal.

#include "platform/guarded_paths.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace quorvex::platform {
namespace {

TEST(GuardedPaths, SixteenNamesThatFitAreHeldUntilReleased) {
    GuardedPaths<8> paths; // names of up to 7 bytes
    EXPECT_EQ(paths.guard("12345678"), -1);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(paths.guard(std::string("f").append(std::to_string(i))),
                  i); // appended: gcc 12 warns falsely (-Wrestrict) on "f" + string
    EXPECT_EQ(paths.guard("late"), -1);

    paths.release(3);
    paths.release(-1); // ignored, as is any number guard() never gave
    paths.release(16);
    EXPECT_EQ(paths.guard("1234567"), 3);
    for (int i = 0; i < 16; ++i)
        if (i != 3 && i != 9)
            paths.release(i);

    std::vector<std::string> removed;
    paths.removeAll([&](const char* path) { removed.emplace_back(path); });
    EXPECT_EQ(removed, (std::vector<std::string>{"1234567", "f9"}));
}

} // namespace
} // namespace quorvex::platform
