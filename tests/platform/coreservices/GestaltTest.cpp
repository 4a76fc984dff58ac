// Catches wrong OS version answers (the packed form must clamp to 0x1099), unknown selectors or
// null responses that are not reported, and a test replacement that cannot be undone.
#include "platform/coreservices/Gestalt.h"

#include <gtest/gtest.h>

namespace {

class GestaltTest : public ::testing::Test {
  protected:
    void TearDown() override { platform::setGestaltHandlerForTesting(nullptr); }
};

TEST_F(GestaltTest, DefaultAnswersAreThoseOf10_15_0) {
    struct Case {
        OSType selector;
        SInt32 value;
    } cases[] = {
        {gestaltSystemVersion, 0x1099},
        {gestaltSystemVersionMajor, 10},
        {gestaltSystemVersionMinor, 15},
        {gestaltSystemVersionBugFix, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.selector);
        SInt32 response = -1;
        EXPECT_EQ(Gestalt(c.selector, &response), noErr);
        EXPECT_EQ(response, c.value);
    }
    EXPECT_EQ(gestaltSystemVersion, 0x73797376u);  // 'sysv'
}

TEST_F(GestaltTest, ErrorsLeaveTheResponseAlone) {
    SInt32 response = 42;
    EXPECT_EQ(Gestalt(platform::detail::fourCharCode("nope"), &response), gestaltUndefSelectorErr);
    EXPECT_EQ(response, 42);
    EXPECT_EQ(Gestalt(gestaltSystemVersion, nullptr), paramErr);
}

TEST_F(GestaltTest, ReplacementAnswersUntilReset) {
    platform::setGestaltHandlerForTesting([](OSType selector, SInt32* response) -> OSErr {
        if (selector != gestaltSystemVersionMinor) return gestaltUndefSelectorErr;
        *response = 9;
        return noErr;
    });
    SInt32 minor = 0, major = 0;
    EXPECT_EQ(Gestalt(gestaltSystemVersionMinor, &minor), noErr);
    EXPECT_EQ(minor, 9);
    EXPECT_EQ(Gestalt(gestaltSystemVersionMajor, &major), gestaltUndefSelectorErr);

    platform::setGestaltHandlerForTesting(nullptr);
    EXPECT_EQ(Gestalt(gestaltSystemVersionMinor, &minor), noErr);
    EXPECT_EQ(minor, 15);
}

}  // namespace
