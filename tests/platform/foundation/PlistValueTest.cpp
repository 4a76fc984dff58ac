// Catches property-list values that answer like no Cocoa class would: wrong kind queries,
// numbers read from strings, copies that share changes, nil where a value was expected.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/foundation/NSString.h"
#include "platform/foundation/PlistValue.h"

namespace {

TEST(PlistValueTest, KindsAnswerTheirQueries) {
    struct Case {
        PlistValue value;
        PlistValue::Kind kind;
    } cases[] = {
        {PlistValue(), PlistValue::Kind::Dictionary},
        {PlistValue::array(), PlistValue::Kind::Array},
        {PlistValue("text"), PlistValue::Kind::String},
        {PlistValue(std::string("text")), PlistValue::Kind::String},
        {PlistValue(42), PlistValue::Kind::Integer},
        {PlistValue(42u), PlistValue::Kind::Integer},
        {PlistValue(1.5), PlistValue::Kind::Real},
        {PlistValue(true), PlistValue::Kind::Boolean},
        {PlistValue(NSDate::dateWithTimeIntervalSince1970(10)), PlistValue::Kind::Date},
        {PlistValue(NSData{1, 2, 3}), PlistValue::Kind::Data},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.value.kind(), c.kind);
        EXPECT_EQ(c.value.isDictionary(), c.kind == PlistValue::Kind::Dictionary);
        EXPECT_EQ(c.value.isArray(), c.kind == PlistValue::Kind::Array);
        EXPECT_EQ(c.value.isString(), c.kind == PlistValue::Kind::String);
        EXPECT_EQ(c.value.isInteger(), c.kind == PlistValue::Kind::Integer);
        EXPECT_EQ(c.value.isReal(), c.kind == PlistValue::Kind::Real);
        EXPECT_EQ(c.value.isBoolean(), c.kind == PlistValue::Kind::Boolean);
        EXPECT_EQ(c.value.isDate(), c.kind == PlistValue::Kind::Date);
        EXPECT_EQ(c.value.isData(), c.kind == PlistValue::Kind::Data);
    }
}

TEST(PlistValueTest, IntegerValueReadsLikeTheNumberAndStringClasses) {
    struct Case {
        PlistValue value;
        long long integer;
        double real;
        bool boolean;
    } cases[] = {
        {PlistValue("120"), 120, 120.0, true},
        {PlistValue("  -7 apples"), -7, -7.0, true},
        {PlistValue("YES"), 0, 0.0, true},
        {PlistValue("abc"), 0, 0.0, false},
        {PlistValue("2.75"), 2, 2.75, true},
        {PlistValue(99), 99, 99.0, true},
        {PlistValue(-5), -5, -5.0, true},
        {PlistValue(0), 0, 0.0, false},
        {PlistValue(3.99), 3, 3.99, true},
        {PlistValue(-3.99), -3, -3.99, true},
        {PlistValue(std::numeric_limits<double>::quiet_NaN()), 0, 0, true},
        {PlistValue(1e300), INT64_MAX, 1e300, true},
        {PlistValue(true), 1, 1.0, true},
        {PlistValue(false), 0, 0.0, false},
        {PlistValue(), 0, 0.0, false},
        {PlistValue::array(), 0, 0.0, false},
        {PlistValue(NSData{1}), 0, 0.0, false},
        {PlistValue(NSDate::dateWithTimeIntervalSince1970(5)), 0, 0.0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value.description());
        EXPECT_EQ(c.value.integerValue(), c.integer);
        if (!std::isnan(c.value.doubleValue())) {
            EXPECT_DOUBLE_EQ(c.value.doubleValue(), c.real);
        }
        EXPECT_EQ(c.value.boolValue(), c.boolean);
    }
}

TEST(PlistValueTest, UnsignedValuesAboveInt64MaxStayExact) {
    const uint64_t big = UINT64_MAX - 1;
    PlistValue v(big);
    EXPECT_TRUE(v.isInteger());
    EXPECT_TRUE(v.isUnsignedInteger());
    EXPECT_EQ(v.unsignedIntegerValue(), big);
    EXPECT_EQ(v.integerValue(), -2);  // wraps, as NSNumber's integerValue does
    EXPECT_DOUBLE_EQ(v.doubleValue(), static_cast<double>(big));
    EXPECT_EQ(v.description(), "18446744073709551614");

    PlistValue negative(int64_t{-2});
    EXPECT_FALSE(negative.isUnsignedInteger());
    EXPECT_NE(v, negative);
    EXPECT_FALSE(PlistValue(uint64_t{5}).isUnsignedInteger());
    EXPECT_EQ(PlistValue(uint64_t{5}), PlistValue(5));
}

TEST(PlistValueTest, StringValueIsNilForOtherKinds) {
    EXPECT_EQ(PlistValue("x").stringValue(), std::optional<std::string>("x"));
    EXPECT_EQ(PlistValue("").stringValue(), std::optional<std::string>(""));
    EXPECT_EQ(PlistValue(5).stringValue(), std::nullopt);
    EXPECT_EQ(PlistValue(true).stringValue(), std::nullopt);
    EXPECT_EQ(PlistValue().stringValue(), std::nullopt);
}

TEST(PlistValueTest, DictionaryAccess) {
    PlistValue d;
    d.setObject("Uninstaller", "CFBundleName");
    d.setObject(7, "Count");
    PlistValue inner;
    inner.setObject("http://example.invalid/", "IniURL");
    d.setObject(inner, "en");
    d.setObject(PlistValue::array(), "List");

    EXPECT_EQ(d.count(), 4u);
    EXPECT_EQ(d.stringForKey("CFBundleName"), std::optional<std::string>("Uninstaller"));
    EXPECT_EQ(d.stringForKey("Count"), std::nullopt);
    EXPECT_EQ(d.stringForKey("Missing"), std::nullopt);
    EXPECT_EQ(d.objectForKey("Missing"), nullptr);
    ASSERT_NE(d.objectForKey("Count"), nullptr);
    EXPECT_EQ(d.objectForKey("Count")->integerValue(), 7);
    ASSERT_NE(d.dictionaryForKey("en"), nullptr);
    EXPECT_EQ(d.dictionaryForKey("en")->stringForKey("IniURL"),
              std::optional<std::string>("http://example.invalid/"));
    EXPECT_EQ(d.dictionaryForKey("CFBundleName"), nullptr);
    EXPECT_NE(d.arrayForKey("List"), nullptr);
    EXPECT_EQ(d.arrayForKey("en"), nullptr);
    EXPECT_EQ(d.allKeys(), (std::vector<std::string>{"CFBundleName", "Count", "List", "en"}));

    d.setObject("replaced", "Count");
    EXPECT_EQ(d.stringForKey("Count"), std::optional<std::string>("replaced"));
    d.removeObjectForKey("Count");
    d.removeObjectForKey("Never there");
    EXPECT_EQ(d.objectForKey("Count"), nullptr);
    EXPECT_EQ(d.count(), 3u);

    PlistValue* en = d.mutableObjectForKey("en");
    ASSERT_NE(en, nullptr);
    en->setObject("changed", "IniURL");
    EXPECT_EQ(d.dictionaryForKey("en")->stringForKey("IniURL"),
              std::optional<std::string>("changed"));
}

TEST(PlistValueTest, ArrayAccess) {
    PlistValue a = PlistValue::array();
    a.addObject("en");
    a.addObject("fr");
    a.addObject(3);
    EXPECT_EQ(a.count(), 3u);
    ASSERT_NE(a.objectAtIndex(1), nullptr);
    EXPECT_EQ(a.objectAtIndex(1)->stringValue(), std::optional<std::string>("fr"));
    EXPECT_EQ(a.objectAtIndex(3), nullptr);
    a.removeObjectAtIndex(0);
    a.removeObjectAtIndex(10);
    EXPECT_EQ(a.count(), 2u);
    EXPECT_EQ(a.objectAtIndex(0)->stringValue(), std::optional<std::string>("fr"));
}

TEST(PlistValueTest, ContainerCallsOnTheWrongKindDoNothing) {
    PlistValue s("text");
    s.setObject(1, "k");
    s.addObject(1);
    s.removeObjectForKey("k");
    s.removeObjectAtIndex(0);
    EXPECT_EQ(s, PlistValue("text"));
    EXPECT_EQ(s.count(), 0u);
    EXPECT_EQ(s.objectForKey("k"), nullptr);
    EXPECT_EQ(s.objectAtIndex(0), nullptr);
    PlistValue d;
    d.addObject(1);
    EXPECT_EQ(d.count(), 0u);
    EXPECT_EQ(d.objectAtIndex(0), nullptr);
}

TEST(PlistValueTest, CopiesAreIndependent) {
    PlistValue original;
    original.setObject("one", "a");
    PlistValue copy = original;
    const PlistValue* seenBefore = original.objectForKey("a");
    copy.setObject("two", "a");
    copy.setObject("new", "b");
    EXPECT_EQ(original.stringForKey("a"), std::optional<std::string>("one"));
    EXPECT_EQ(original.objectForKey("b"), nullptr);
    EXPECT_EQ(copy.stringForKey("a"), std::optional<std::string>("two"));
    EXPECT_EQ(seenBefore, original.objectForKey("a"));  // the original was not touched

    PlistValue nested;
    nested.setObject(original, "inner");
    PlistValue nestedCopy = nested;
    nestedCopy.mutableObjectForKey("inner")->setObject("changed", "a");
    EXPECT_EQ(nested.dictionaryForKey("inner")->stringForKey("a"),
              std::optional<std::string>("one"));
}

TEST(PlistValueTest, Equality) {
    PlistValue a;
    a.setObject(PlistValue::array(), "list");
    a.mutableObjectForKey("list")->addObject(1.5);
    PlistValue b;
    PlistValue list = PlistValue::array();
    list.addObject(1.5);
    b.setObject(list, "list");
    EXPECT_EQ(a, b);
    b.mutableObjectForKey("list")->addObject(true);
    EXPECT_NE(a, b);
    EXPECT_NE(PlistValue(1), PlistValue(1.0));
    EXPECT_NE(PlistValue(1), PlistValue(true));
    EXPECT_NE(PlistValue("1"), PlistValue(1));
    EXPECT_EQ(PlistValue(NSData{1, 2}), PlistValue(NSData{1, 2}));
    EXPECT_NE(PlistValue(NSData{1, 2}), PlistValue(NSData{1}));
    EXPECT_EQ(PlistValue::dateWithTimeIntervalSince1970(3),
              PlistValue::dateWithTimeIntervalSince1970(3));
    EXPECT_NE(PlistValue::dateWithTimeIntervalSince1970(3), PlistValue(3.0));
}

TEST(PlistValueTest, DescriptionFollowsThePlatform) {
    EXPECT_EQ(PlistValue("plain text").description(), "plain text");
    EXPECT_EQ(PlistValue(12).description(), "12");
    EXPECT_EQ(PlistValue(true).description(), "1");
    EXPECT_EQ(PlistValue(0.5).description(), "0.5");
    EXPECT_EQ(PlistValue(NSData{0xde, 0xad, 0xbe, 0xef, 0x01}).description(), "<deadbeef 01>");
    PlistValue d;
    d.setObject("en-US", "lang");
    PlistValue a = PlistValue::array();
    a.addObject("x");
    a.addObject(2);
    d.setObject(a, "list");
    EXPECT_EQ(d.description(),
              "{\n    lang = \"en-US\";\n    list = (\n        x,\n        2\n    );\n}");
    // A pointer to a value formats with %@ like an object.
    EXPECT_EQ(ns::stringWithFormat("%@", d.objectForKey("lang")), "en-US");
    EXPECT_EQ(ns::stringWithFormat("%@", d.objectForKey("missing")), "(null)");
}

}  // namespace
