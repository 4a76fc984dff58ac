// Catches an X error handler that floods the log when a vanishing window draws the same error
// again and again, or that stays silent about a new kind.
#include "platform/backend/sdl/X11ErrorLog.h"

#include <gtest/gtest.h>

namespace {

using platform::sdl::X11ErrorLog;

TEST(X11ErrorLog, EachKindIsLoggedOnce) {
    // Codes beyond the core protocol's, so that no error of a real run counts here.
    const std::string first = X11ErrorLog::noteError(201, 25, 0x200006);
    EXPECT_NE(first.find("code 201 for request 25"), std::string::npos) << first;
    EXPECT_NE(first.find("0x200006"), std::string::npos) << first;
    EXPECT_EQ(X11ErrorLog::noteError(201, 25, 0x400001), "") << "a repeat of the kind";
    EXPECT_NE(X11ErrorLog::noteError(201, 26, 0x200006), "") << "another request";
    EXPECT_NE(X11ErrorLog::noteError(202, 25, 0x200006), "") << "another error";
}

}  // namespace
