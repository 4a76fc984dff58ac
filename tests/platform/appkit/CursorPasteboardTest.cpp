// Catches cursors with the wrong shape or that a pop does not restore, and a pasteboard that
// loses text, accepts types it cannot hold, or hides a change from its change count.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "platform/appkit/NSCursor.h"
#include "platform/appkit/NSPasteboard.h"
#include "platform/appkit/WindowBackend.h"
#include "platform/backend/HeadlessBackend.h"

namespace {

class CursorPasteboardTest : public ::testing::Test {
  protected:
    void SetUp() override { WindowBackend::setShared(std::make_shared<HeadlessBackend>()); }
    void TearDown() override { WindowBackend::setShared(nullptr); }
};

struct CursorCase {
    const char* name;
    std::function<Ref<NSCursor>()> make;
    WindowBackend::Cursor shape;
};

TEST_F(CursorPasteboardTest, EachStandardCursorSetsItsShape) {
    const CursorCase cases[] = {
        {"arrow", NSCursor::arrowCursor, WindowBackend::Cursor::Arrow},
        {"pointing hand", NSCursor::pointingHandCursor, WindowBackend::Cursor::PointingHand},
        {"I-beam", NSCursor::IBeamCursor, WindowBackend::Cursor::IBeam},
        {"resize left-right", NSCursor::resizeLeftRightCursor,
         WindowBackend::Cursor::ResizeLeftRight},
        {"resize up-down", NSCursor::resizeUpDownCursor, WindowBackend::Cursor::ResizeUpDown},
        {"crosshair", NSCursor::crosshairCursor, WindowBackend::Cursor::Crosshair},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Ref<NSCursor> cursor = c.make();
        EXPECT_EQ(cursor, c.make()) << "a standard cursor is one object";
        cursor->set();
        EXPECT_EQ(WindowBackend::shared().currentCursor(), c.shape);
        EXPECT_EQ(NSCursor::currentCursor(), cursor);
    }
    NSCursor::arrowCursor()->set();
}

TEST_F(CursorPasteboardTest, PopPutsBackWhatEachPushReplaced) {
    NSCursor::IBeamCursor()->set();
    NSCursor::pointingHandCursor()->push();
    NSCursor::crosshairCursor()->push();
    EXPECT_EQ(WindowBackend::shared().currentCursor(), WindowBackend::Cursor::Crosshair);
    NSCursor::pop();
    EXPECT_EQ(NSCursor::currentCursor(), NSCursor::pointingHandCursor());
    EXPECT_EQ(WindowBackend::shared().currentCursor(), WindowBackend::Cursor::PointingHand);
    NSCursor::pop();
    EXPECT_EQ(NSCursor::currentCursor(), NSCursor::IBeamCursor());
    EXPECT_EQ(WindowBackend::shared().currentCursor(), WindowBackend::Cursor::IBeam);
    // More pops than pushes leave the cursor alone.
    NSCursor::pop();
    EXPECT_EQ(NSCursor::currentCursor(), NSCursor::IBeamCursor());
    NSCursor::arrowCursor()->set();
}

TEST_F(CursorPasteboardTest, TextWrittenUnderEitherTypeNameReadsBackUnderBoth) {
    auto pasteboard = NSPasteboard::generalPasteboard();
    for (const NSPasteboardType& type : {NSPasteboardTypeString, NSStringPboardType}) {
        SCOPED_TRACE(type);
        pasteboard->clearContents();
        ASSERT_TRUE(pasteboard->setString("Grüße, /Applications", type));
        EXPECT_EQ(pasteboard->stringForType(NSPasteboardTypeString), "Grüße, /Applications");
        EXPECT_EQ(pasteboard->stringForType(NSStringPboardType), "Grüße, /Applications");
        EXPECT_EQ(WindowBackend::shared().clipboardText(), "Grüße, /Applications");
        auto types = pasteboard->types();
        EXPECT_NE(std::find(types.begin(), types.end(), NSPasteboardTypeString), types.end());
    }
}

TEST_F(CursorPasteboardTest, ClearingEmptiesAndOtherTypesAreRefused) {
    auto pasteboard = NSPasteboard::generalPasteboard();
    pasteboard->clearContents();
    pasteboard->setString("kept", NSPasteboardTypeString);
    EXPECT_FALSE(pasteboard->setString("<png>", "public.png"));
    EXPECT_EQ(pasteboard->stringForType(NSPasteboardTypeString), "kept");
    EXPECT_EQ(pasteboard->stringForType("public.png"), std::nullopt);

    pasteboard->clearContents();
    EXPECT_EQ(pasteboard->stringForType(NSPasteboardTypeString), std::nullopt);
    EXPECT_TRUE(pasteboard->types().empty());

    // Text that another program put on the clipboard is read as it is.
    WindowBackend::shared().setClipboardText("from elsewhere");
    EXPECT_EQ(pasteboard->stringForType(NSStringPboardType), "from elsewhere");
}

TEST_F(CursorPasteboardTest, ChangeCountGrowsWithEveryNewContent) {
    auto pasteboard = NSPasteboard::generalPasteboard();
    long start = pasteboard->changeCount();
    EXPECT_EQ(pasteboard->clearContents(), start + 1);
    pasteboard->setString("one", NSPasteboardTypeString);
    EXPECT_EQ(pasteboard->changeCount(), start + 1) << "clear-then-write is one change";
    // Writing again without clearing replaces the content: a change of its own.
    pasteboard->setString("two", NSPasteboardTypeString);
    EXPECT_EQ(pasteboard->changeCount(), start + 2);
    EXPECT_EQ(pasteboard->declareTypes({NSStringPboardType}, nullptr), start + 3);
    pasteboard->setString("three", NSStringPboardType);
    EXPECT_EQ(pasteboard->changeCount(), start + 3);
    EXPECT_EQ(pasteboard->stringForType(NSPasteboardTypeString), "three");
}

}  // namespace
