// Catches notifications delivered to the wrong observers, to freed ones, or skipped when an
// observer removes itself (or another) while being told.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/foundation/NSNotificationCenter.h"
#include "platform/foundation/NSObject.h"

namespace {

class Listener : public NSObject {
  public:
    void heard(const Ref<NSNotification>& note) {
        log.push_back(note ? note->name() : std::string("nil"));
    }
    std::vector<std::string> log;
};

class NotificationCenter : public ::testing::Test {
  protected:
    void SetUp() override {
        ClassRegistry::shared()
            .registerClass<Listener, NSObject>("NCTestListener")
            .action("heard:", &Listener::heard);
    }
    NSNotificationCenter center;
};

TEST_F(NotificationCenter, MatchesByNameAndSender) {
    auto a = std::make_shared<NSObject>(), b = std::make_shared<NSObject>();
    auto byName = std::make_shared<Listener>(), bySender = std::make_shared<Listener>(),
         both = std::make_shared<Listener>(), all = std::make_shared<Listener>();
    center.addObserver(byName, SEL("heard:"), "Ping", nullptr);
    center.addObserver(bySender, SEL("heard:"), "", a.get());
    center.addObserver(both, SEL("heard:"), "Ping", b.get());
    center.addObserver(all, SEL("heard:"), "", nullptr);
    center.postNotificationName("Ping", a);
    center.postNotificationName("Pong", b);
    center.postNotificationName("Ping", b);
    EXPECT_EQ(byName->log, (std::vector<std::string>{"Ping", "Ping"}));
    EXPECT_EQ(bySender->log, (std::vector<std::string>{"Ping"}));
    EXPECT_EQ(both->log, (std::vector<std::string>{"Ping"}));
    EXPECT_EQ(all->log, (std::vector<std::string>{"Ping", "Pong", "Ping"}));
}

TEST_F(NotificationCenter, FreedObserversAreDroppedAndRemovalIsPrecise) {
    auto keep = std::make_shared<Listener>();
    center.addObserver(keep, SEL("heard:"), "A", nullptr);
    center.addObserver(keep, SEL("heard:"), "B", nullptr);
    {
        auto gone = std::make_shared<Listener>();
        center.addObserver(gone, SEL("heard:"), "A", nullptr);
    }
    center.postNotificationName("A", nullptr);  // must not touch the freed listener
    center.removeObserver(keep.get(), "A", nullptr);
    center.postNotificationName("A", nullptr);
    center.postNotificationName("B", nullptr);
    EXPECT_EQ(keep->log, (std::vector<std::string>{"A", "B"}));
    center.removeObserver(keep.get());
    EXPECT_EQ(center.observerCount(), 0u);
}

TEST_F(NotificationCenter, ObserversMayRemoveOthersWhileBeingTold) {
    std::vector<int> calls;
    NSNotificationCenter::Token second = 0;
    center.addObserverForName("X", nullptr, [&](const NSNotification&) {
        calls.push_back(1);
        center.removeObserver(second);
    });
    second =
        center.addObserverForName("X", nullptr, [&](const NSNotification&) { calls.push_back(2); });
    center.addObserverForName("X", nullptr, [&](const NSNotification&) { calls.push_back(3); });
    center.postNotificationName("X", nullptr);
    EXPECT_EQ(calls, (std::vector<int>{1, 3}));
}

TEST_F(NotificationCenter, SenderNotOwnedByARefStillMatchesByAddress) {
    NSObject plain;  // not held by a Ref
    std::vector<const NSObject*> senders;
    center.addObserverForName(
        "Y", &plain, [&](const NSNotification& n) { senders.push_back(n.object().get()); });
    center.postNotificationName("Y", &plain);
    ASSERT_EQ(senders.size(), 1u);
    EXPECT_EQ(senders[0], nullptr);
}

}  // namespace
