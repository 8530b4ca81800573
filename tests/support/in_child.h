#pragma once

// Runs a piece of a test in a child process of its own, for what would end or
// change the test process itself (exit paths, signal dispositions, sessions).

#include <functional>

namespace quorvex::testing {

// Runs `body` in a forked child, which exits with what it returns; returns
// the child's wait status.
int inChild(const std::function<int()>& body);

} // namespace quorvex::testing
