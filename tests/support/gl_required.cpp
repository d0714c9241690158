#include "support/gl_required.h"

#include <cstdlib>
#include <cstring>

namespace qvtest {

testing::TestPartResult::Type glUnavailableResult() {
    const char* required = std::getenv("QV_REQUIRE_GL");
    return required && std::strcmp(required, "1") == 0 ? testing::TestPartResult::kFatalFailure
                                                        : testing::TestPartResult::kSkip;
}

}  // namespace qvtest
