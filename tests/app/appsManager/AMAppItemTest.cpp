// Catches record faults: wrong defaults, an initialiser that sets a flag, and copies that
// keep the tick or the size-started flag (a copied row would then never be sized again).
#include "appsManager/AMAppItem.h"

#include "appsManager/AppsManagerClasses.h"

#include <gtest/gtest.h>

namespace {

TEST(AMAppItem, DefaultsOfABlankRecord) {
    NSDate before = NSDate::date();
    auto item = AMAppItem::make();
    ASSERT_TRUE(item->image());
    EXPECT_EQ(item->image()->size(), NSZeroSize);
    EXPECT_EQ(item->name(), "");
    EXPECT_EQ(item->path(), "");
    EXPECT_EQ(item->bundleID(), std::string());
    EXPECT_EQ(item->bundleVersion(), std::string());
    EXPECT_EQ(item->isSystemAppStr(), "");
    EXPECT_EQ(item->size(), "");
    EXPECT_FALSE(item->isSystemApp());
    EXPECT_FALSE(item->bIsSelected());
    EXPECT_FALSE(item->bIsGetSize());
    EXPECT_GE(item->date(), before);
    EXPECT_LE(item->date(), NSDate::date());
}

TEST(AMAppItem, CopyIsUntickedAndSizedAgain) {
    auto image = std::make_shared<NSImage>(NSMakeSize(32, 32));
    NSDate when = NSDate::dateWithTimeIntervalSince1970(1.6e9);
    auto item = AMAppItem::initWithInfoDictionary(image, "Foo", "/Applications/Foo.app",
                                                  std::nullopt, "1.2", when, "YES", "12.35 MB");
    EXPECT_FALSE(item->isSystemApp()) << "the initialiser sets no flag, whatever the text says";
    item->setIsSystemApp(true);
    item->setBIsSelected(true);
    item->setBIsGetSize(true);

    auto copy = item->copyWithZone();
    ASSERT_NE(copy, item);
    EXPECT_EQ(copy->image(), image) << "the copy shares the image";
    EXPECT_EQ(copy->name(), "Foo");
    EXPECT_EQ(copy->path(), "/Applications/Foo.app");
    EXPECT_EQ(copy->bundleID(), std::nullopt) << "a nil identifier stays nil";
    EXPECT_EQ(copy->bundleVersion(), "1.2");
    EXPECT_EQ(copy->date(), when);
    EXPECT_EQ(copy->isSystemAppStr(), "YES");
    EXPECT_EQ(copy->size(), "12.35 MB");
    EXPECT_FALSE(copy->isSystemApp());
    EXPECT_FALSE(copy->bIsSelected());
    EXPECT_FALSE(copy->bIsGetSize());

    copy->setName("Bar");
    EXPECT_EQ(item->name(), "Foo") << "strings are copies";
}

}  // namespace

namespace {

TEST(AMAppItem, CreatedByName) {
    registerAppsManagerClasses();
    auto object = ClassRegistry::shared().createInstance("AMAppItem");
    ASSERT_TRUE(std::dynamic_pointer_cast<AMAppItem>(object));
    EXPECT_EQ(object->className(), "AMAppItem");
}

}  // namespace
