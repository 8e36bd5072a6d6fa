// SPDX-License-Identifier: MIT
// Death tests in the WebAssembly build: a death test runs its statement in
// a child process, and WebAssembly has none. The test framework leaves the
// macros out there; they stand here for a skip that says why, so that the
// suites keep their other tests. The statement and the matcher are still
// compiled. Included ahead of every test file.
#pragma once

#include <gtest/gtest.h>

#define EXPECT_EXIT(statement, predicate, matcher)                                                 \
    switch (0)                                                                                     \
    case 0:                                                                                        \
    default:                                                                                       \
        if (false) {                                                                               \
            statement;                                                                             \
            (void)(matcher);                                                                       \
        } else                                                                                     \
            GTEST_SKIP() << "a death test needs a child process, which WebAssembly has not"
