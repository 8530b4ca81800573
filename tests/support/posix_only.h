#pragma once

// Tests that need what only POSIX offers (pseudo-terminals, fork, signals,
// /dev/full, file size limits, non-blocking descriptors) are compiled on
// POSIX only. On Windows each is replaced by a test of the same name that is
// skipped with the reason, so every run there lists what it did not try.

#include <gtest/gtest.h>

#define SKIPPED_ON_WINDOWS(suite, name, reason)                                                              \
    TEST(suite, name) {                                                                                      \
        GTEST_SKIP() << "not on Windows: " << (reason);                                                      \
    }

#define SKIPPED_ON_WINDOWS_F(fixture, name, reason)                                                          \
    TEST_F(fixture, name) {                                                                                  \
        GTEST_SKIP() << "not on Windows: " << (reason);                                                      \
    }
