// Catches link controls that leave the pointing hand behind after the pointer left, tell a
// delegate that does not answer (or a freed one), report an entry twice after a move between
// windows, open nothing (or something) for a link that is missing or malformed, or swallow the
// press instead of passing it on.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/controls/ButtonTestWindow.h"
#include "controls/buttons/EUHandButton.h"
#include "controls/buttons/TCTextLine.h"
#include "platform/appkit/NSCursor.h"
#include "platform/appkit/URLOpener.h"
#include "platform/dispatch/Dispatch.h"

using namespace buttontest;

namespace {

class HandDelegate : public NSObject, public HandButtonDelegate {
  public:
    void mouseInHandButton(bool inside) override { told.push_back(inside); }
    std::vector<bool> told;
};

class HandButtons : public ButtonWindow {
  protected:
    void SetUp() override {
        ButtonWindow::SetUp();
        NSCursor::arrowCursor()->set();
        hand = EUHandButton::make(NSMakeRect(20, 20, 40, 20));
        other = EUHandButton::make(NSMakeRect(60, 20, 40, 20));  // touching on the right
        plain = NSButton::make(NSMakeRect(20, 40, 40, 20));      // touching above
        add(hand);
        add(other);
        add(plain);
        delegate = std::make_shared<HandDelegate>();
        hand->setHandButDelegate(delegate);
    }
    static bool showsHand() {
        return NSCursor::currentCursor()->shape() == WindowBackend::Cursor::PointingHand;
    }
    Ref<EUHandButton> hand;
    Ref<EUHandButton> other;
    Ref<NSButton> plain;
    Ref<HandDelegate> delegate;
};

TEST_F(HandButtons, PointingHandInsideArrowAfterwards) {
    struct Step {
        NSPoint to;
        bool hand;
    };
    // Straight from one hand button into the next, then into a plain button, then back out.
    const Step steps[] = {
        {{30, 30}, true}, {{70, 30}, true}, {{30, 30}, true}, {{30, 50}, false}, {{5, 5}, false},
    };
    for (const Step& s : steps) {
        moveTo(s.to);
        EXPECT_EQ(showsHand(), s.hand) << s.to.x << "," << s.to.y;
    }
    EXPECT_EQ(delegate->told, (std::vector<bool>{true, false, true, false}));
}

TEST_F(HandButtons, OnlyALiveDelegateThatAnswersIsTold) {
    auto plainObject = std::make_shared<NSObject>();
    hand->setHandButDelegate(plainObject);
    EXPECT_EQ(hand->handButDelegate(), plainObject);
    moveTo({30, 30});
    moveTo({5, 5});  // nothing to tell, nothing breaks
    EXPECT_TRUE(delegate->told.empty());

    auto shortLived = std::make_shared<HandDelegate>();
    hand->setHandButDelegate(shortLived);
    shortLived.reset();
    EXPECT_EQ(hand->handButDelegate(), nullptr);
    moveTo({30, 30});
    EXPECT_TRUE(showsHand());
    moveTo({5, 5});
    EXPECT_FALSE(showsHand());
}

TEST_F(HandButtons, MovedBetweenWindowsReportsEachEntryOnce) {
    auto second = makeWindow(NSMakeRect(300, 0, 200, 100));
    second->orderFront();
    second->contentView()->addSubview(hand);
    window->contentView()->addSubview(hand);
    EXPECT_EQ(hand->trackingAreas().size(), 1u);
    moveTo({30, 30});
    moveTo({5, 5});
    EXPECT_EQ(delegate->told, (std::vector<bool>{true, false}));
    second->orderOut();
}

TEST_F(HandButtons, ClicksAreAPlainButtons) {
    hand->setTarget(recorder);
    hand->setAction(SEL("press:"));
    click({30, 30});
    ASSERT_EQ(recorder->senders.size(), 1u);
    EXPECT_EQ(recorder->senders[0], hand.get());
}

/// Counts the presses that reach it.
class PressCounter : public NSView {
  public:
    void mouseDown(NSEvent&) override { ++presses; }
    int presses = 0;
};

class TextLines : public ButtonWindow {
  protected:
    void SetUp() override {
        ButtonWindow::SetUp();
        record = dir / "record";
        std::string opener =
            dir.write("opener", "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + record + ".tmp'\nmv '" +
                                    record + ".tmp' '" + record + "'\n");
        chmod(opener.c_str(), 0755);
        platform::setURLOpenerForTesting(opener);
        behind = std::make_shared<PressCounter>();
        behind->initWithFrame(NSMakeRect(0, 0, 200, 100));
        add(behind);
        line = TCTextLine::make(NSMakeRect(20, 20, 150, 20));
        line->setEditable(false);
        line->setSelectable(false);
        line->setStringValue("support@example.com");
        behind->addSubview(line);
    }
    void TearDown() override {
        platform::setURLOpenerForTesting("");
        ButtonWindow::TearDown();
    }
    std::string recorded() {
        platform::waitForGlobalQueuesForTesting();
        return fixtures::readFile(record);
    }
    std::string record;
    Ref<PressCounter> behind;
    Ref<TCTextLine> line;
};

TEST_F(TextLines, ClickOpensTheLinkAndPassesThePressOn) {
    struct Case {
        std::optional<std::string> link;
        std::string opened;  // what the opener got; "" for nothing started
    };
    const Case cases[] = {
        {"https://example.com/help", "https://example.com/help\n"},
        {"mailto:support@example.com", "mailto:support@example.com\n"},
        {std::nullopt, ""},
        {"", ""},
        {"not a link", ""},
    };
    int presses = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.link.value_or("(nil)"));
        std::remove(record.c_str());
        line->setOpenURL(c.link);
        click({60, 30});
        EXPECT_EQ(recorded(), c.opened);
        EXPECT_EQ(behind->presses, ++presses);
    }
}

}  // namespace
