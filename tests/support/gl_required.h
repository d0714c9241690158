#pragma once

#include <gtest/gtest.h>

namespace qvtest {

// How a test that found no OpenGL window ends: skipped on a developer's
// machine, failed where QV_REQUIRE_GL=1 says a window must open (the test
// command sets it unless QV_NO_GL=1 says the machine has no GL on purpose).
testing::TestPartResult::Type glUnavailableResult();

}  // namespace qvtest

// Use in place of GTEST_SKIP() when no OpenGL window could be opened; takes
// a streamed reason the same way.
#define QV_GL_UNAVAILABLE()                                                                              \
    return ::testing::internal::AssertHelper(::qvtest::glUnavailableResult(), __FILE__, __LINE__, \
                                             "no OpenGL window") = ::testing::Message()
