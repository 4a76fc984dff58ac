// Catches runtime faults: selectors that do not intern, methods not found through
// superclasses, outlets that accept the wrong class, and delayed performs that fire in the
// wrong mode, twice, or after they were cancelled.
#include <gtest/gtest.h>

#include "platform/foundation/NSObject.h"
#include "platform/foundation/NSRunLoop.h"
#include "platform/testing/ManualClock.h"

namespace {

class Base : public NSObject {
  public:
    void ping() { ++pings; }
    void tagged(const std::string& tag) { tags.push_back(tag); }
    void sender(const Ref<NSObject>& from) { senders.push_back(from); }
    void setPartner(const Ref<Base>& p) { partner = p; }
    int pings = 0;
    std::vector<std::string> tags;
    std::vector<Ref<NSObject>> senders;
    Ref<Base> partner;
    WeakRef<NSObject> weakDelegate;
};

class Derived : public Base {};
class Other : public NSObject {};

void registerTestClasses() {
    NSObject::registerClass();
    ClassRegistry::shared()
        .registerClass<Base, NSObject>("RTBase")
        .method("ping", &Base::ping)
        .method("tagged:", &Base::tagged)
        .action("sender:", &Base::sender)
        .outlet("partner", &Base::setPartner)
        .outlet("delegate", &Base::weakDelegate);
    ClassRegistry::shared().registerClass<Derived, Base>("RTDerived");
    ClassRegistry::shared().registerClass<Other, NSObject>("RTOther");
}

class RuntimeTest : public ::testing::Test {
  protected:
    void SetUp() override { registerTestClasses(); }
};

TEST_F(RuntimeTest, SelectorsIntern) {
    EXPECT_EQ(SEL("closeWindow:"), NSSelectorFromString(std::string("close") + "Window:"));
    EXPECT_FALSE(SEL("a") == SEL("b"));
    EXPECT_FALSE(static_cast<bool>(SEL("")));
    EXPECT_EQ(NSStringFromSelector(SEL("x:y:")), "x:y:");
}

TEST_F(RuntimeTest, CreationByNameAndKinds) {
    Ref<NSObject> d = ClassRegistry::shared().createInstance("RTDerived");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->className(), "RTDerived");
    EXPECT_TRUE(d->isKindOfClass("RTBase"));
    EXPECT_TRUE(d->isKindOfClass("NSObject"));
    EXPECT_FALSE(d->isKindOfClass("RTOther"));
    EXPECT_EQ(ClassRegistry::shared().createInstance("NoSuchClass"), nullptr);
}

TEST_F(RuntimeTest, PerformThroughSuperclassTables) {
    auto d = std::make_shared<Derived>();
    EXPECT_TRUE(d->respondsToSelector(SEL("ping")));
    EXPECT_FALSE(d->respondsToSelector(SEL("pong")));
    EXPECT_TRUE(d->performSelector(SEL("ping")));
    EXPECT_TRUE(d->performSelector(SEL("tagged:"), std::string("3")));
    auto other = std::make_shared<Other>();
    EXPECT_TRUE(d->performSelector(SEL("sender:"), other));
    EXPECT_FALSE(d->performSelector(SEL("pong")));
    EXPECT_EQ(d->pings, 1);
    EXPECT_EQ(d->tags, std::vector<std::string>{"3"});
    ASSERT_EQ(d->senders.size(), 1u);
    EXPECT_EQ(d->senders[0], other);
}

// A subclass may be registered before its superclass (one module's registration function
// can run before the platform's); it must still inherit the superclass's tables.
class LateBase : public NSObject {
  public:
    void ping() { ++pings; }
    int pings = 0;
};
class EarlyDerived : public LateBase {};

TEST(RuntimeRegistration, SubclassRegisteredFirstInheritsOnceTheSuperclassArrives) {
    ClassRegistry::shared().registerClass<EarlyDerived, LateBase>("RTEarlyDerived");
    auto d = std::make_shared<EarlyDerived>();
    EXPECT_FALSE(d->respondsToSelector(SEL("ping")));
    NSObject::registerClass();
    ClassRegistry::shared()
        .registerClass<LateBase, NSObject>("RTLateBase")
        .method("ping", &LateBase::ping);
    const ClassInfo* derived = ClassRegistry::shared().classNamed("RTEarlyDerived");
    ASSERT_TRUE(derived);
    EXPECT_EQ(derived->superclass(), ClassRegistry::shared().classNamed("RTLateBase"));
    EXPECT_TRUE(d->performSelector(SEL("ping")));
    EXPECT_EQ(d->pings, 1);
    EXPECT_TRUE(d->isKindOfClass("NSObject"));
}

TEST_F(RuntimeTest, OutletsCheckTheirClass) {
    auto b = std::make_shared<Base>();
    const ClassInfo* info = b->classInfo();
    ASSERT_TRUE(info);
    const auto* partner = info->findOutlet("partner");
    ASSERT_TRUE(partner);
    EXPECT_FALSE((*partner)(*b, std::make_shared<Other>())) << "an Other is not a Base";
    EXPECT_EQ(b->partner, nullptr);
    auto d = std::make_shared<Derived>();
    EXPECT_TRUE((*partner)(*b, d));
    EXPECT_EQ(b->partner, d);
    const auto* delegate = info->findOutlet("delegate");
    ASSERT_TRUE(delegate);
    {
        auto o = std::make_shared<Other>();
        EXPECT_TRUE((*delegate)(*b, o));
        EXPECT_EQ(b->weakDelegate.lock(), o);
    }
    EXPECT_EQ(b->weakDelegate.lock(), nullptr) << "a freed delegate reads as nil";
}

TEST_F(RuntimeTest, DelayedPerformsFireOnceInDefaultModeOnly) {
    ManualClock::Installed clock;
    auto& loop = NSRunLoop::mainRunLoop();
    auto b = std::make_shared<Base>();
    b->performSelectorAfterDelay(SEL("ping"), {}, 2.0);
    loop.runMode(NSDefaultRunLoopMode, 0);
    EXPECT_EQ(b->pings, 0);
    clock->advance(1.9);
    loop.runMode(NSDefaultRunLoopMode, 0);
    EXPECT_EQ(b->pings, 0);
    clock->advance(0.2);
    loop.runMode(NSModalPanelRunLoopMode, 0);
    EXPECT_EQ(b->pings, 0) << "delayed performs wait while a modal loop runs";
    loop.runMode(NSDefaultRunLoopMode, 0);
    EXPECT_EQ(b->pings, 1);
    clock->advance(5);
    loop.runMode(NSDefaultRunLoopMode, 0);
    EXPECT_EQ(b->pings, 1);
    EXPECT_EQ(loop.pendingPerformRequests(), 0u);
}

TEST_F(RuntimeTest, CancelMatchesTargetAndSelector) {
    ManualClock::Installed clock;
    auto& loop = NSRunLoop::mainRunLoop();
    auto a = std::make_shared<Base>();
    auto b = std::make_shared<Base>();
    a->performSelectorAfterDelay(SEL("ping"), {}, 1.0);
    a->performSelectorAfterDelay(SEL("tagged:"), std::string("kept"), 1.0);
    b->performSelectorAfterDelay(SEL("ping"), {}, 1.0);
    NSObject::cancelPreviousPerformRequestsWithTarget(a.get(), SEL("ping"));
    clock->advance(1.5);
    loop.runMode(NSDefaultRunLoopMode, 0);
    EXPECT_EQ(a->pings, 0);
    EXPECT_EQ(a->tags, std::vector<std::string>{"kept"});
    EXPECT_EQ(b->pings, 1);
}

TEST_F(RuntimeTest, DelayedPerformRetainsItsTarget) {
    ManualClock::Installed clock;
    WeakRef<Base> weak;
    {
        auto b = std::make_shared<Base>();
        weak = b;
        b->performSelectorAfterDelay(SEL("ping"), {}, 1.0);
    }
    ASSERT_TRUE(weak.lock()) << "the pending perform keeps the object alive";
    clock->advance(2);
    NSRunLoop::mainRunLoop().runMode(NSDefaultRunLoopMode, 0);
    EXPECT_FALSE(weak.lock()) << "and lets it go once it has fired";
}

}  // namespace
