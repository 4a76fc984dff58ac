// Catches date formatting that ignores the user's time zone, pads fields wrongly, or parses
// garbage or impossible dates into a value instead of nil; and dates that drift on the way.
#include "platform/foundation/NSDateFormatter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <optional>
#include <string>

#include "support/FileFixtures.h"

namespace {

/// Sets TZ for the scope (and tells the C library), then restores both.
class ScopedTimeZone {
  public:
    explicit ScopedTimeZone(const std::string& tz) {
        env_.emplace("TZ", tz);
        tzset();
    }
    ~ScopedTimeZone() {
        env_.reset();
        tzset();
    }

  private:
    std::optional<fixtures::ScopedEnv> env_;
};

NSDateFormatter formatter(const std::string& format) {
    NSDateFormatter f;
    f.setDateFormat(format);
    return f;
}

TEST(NSDateFormatterTest, FormatsInTheLocalTimeZone) {
    const NSDate date =
        NSDate::dateWithTimeIntervalSince1970(1700000000);  // 2023-11-14 22:13:20 UTC
    struct Case {
        const char* tz;
        const char* expected;
    } cases[] = {
        {"UTC0", "2023-11-14 22:13:20"},
        {"EST5EDT,M3.2.0,M11.1.0", "2023-11-14 17:13:20"},
        {"JST-9", "2023-11-15 07:13:20"},
        {"<+0530>-5:30", "2023-11-15 03:43:20"},
    };
    const NSDateFormatter f = formatter("yyyy-MM-dd HH:mm:ss");
    for (const auto& c : cases) {
        ScopedTimeZone tz(c.tz);
        EXPECT_EQ(f.stringFromDate(date), c.expected) << c.tz;
    }
}

TEST(NSDateFormatterTest, FieldsAndLiterals) {
    ScopedTimeZone tz("UTC0");
    const NSDate date =
        NSDate::dateWithTimeIntervalSince1970(1041555845.5);  // 2003-01-03 01:04:05.5
    struct Case {
        const char* format;
        const char* expected;
    } cases[] = {
        {"yyyy-MM-dd HH:mm:ss", "2003-01-03 01:04:05"},
        {"y/M/d H:m:s", "2003/1/3 1:4:5"},
        {"yy", "03"},
        {"dd.MM.yyyy", "03.01.2003"},
        {"yyyy-MM-dd'T'HH:mm:ss'Z'", "2003-01-03T01:04:05Z"},
        {"HH 'o''clock'", "01 o'clock"},
        {"''", "'"},
        {"ss.SSS", "05.500"},
        {"[yyyy] Q", "[2003] Q"},  // unsupported letters stand for themselves
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatter(c.format).stringFromDate(date), c.expected) << c.format;
    }
}

TEST(NSDateFormatterTest, RoundTripsInSeveralTimeZones) {
    for (const char* zone : {"UTC0", "EST5EDT,M3.2.0,M11.1.0", "JST-9", "<+0530>-5:30"}) {
        ScopedTimeZone tz(zone);
        const NSDateFormatter f = formatter("yyyy-MM-dd HH:mm:ss");
        for (double t : {0.0, 978307200.0, 1700000000.0, 1710054000.0, 951782400.0}) {
            const NSDate date = NSDate::dateWithTimeIntervalSince1970(t);
            const std::string s = f.stringFromDate(date);
            auto back = f.dateFromString(s);
            ASSERT_TRUE(back.has_value()) << zone << " " << s;
            EXPECT_DOUBLE_EQ(back->timeIntervalSince1970(), t) << zone << " " << s;
        }
    }
}

TEST(NSDateFormatterTest, ParsesInTheLocalTimeZone) {
    const NSDateFormatter f = formatter("yyyy-MM-dd HH:mm:ss");
    {
        ScopedTimeZone tz("UTC0");
        auto d = f.dateFromString("2023-11-14 22:13:20");
        ASSERT_TRUE(d.has_value());
        EXPECT_DOUBLE_EQ(d->timeIntervalSince1970(), 1700000000);
    }
    {
        ScopedTimeZone tz("JST-9");
        auto d = f.dateFromString("2023-11-15 07:13:20");
        ASSERT_TRUE(d.has_value());
        EXPECT_DOUBLE_EQ(d->timeIntervalSince1970(), 1700000000);
    }
}

TEST(NSDateFormatterTest, GarbageGivesNil) {
    ScopedTimeZone tz("UTC0");
    const NSDateFormatter f = formatter("yyyy-MM-dd HH:mm:ss");
    for (const char* s : {"", " ", "garbage", "2023-11-14", "2023-11-14 22:13:20 extra",
                          " 2023-11-14 22:13:20", "2023/11/14 22:13:20", "23-11-14 22:13:20",
                          "2023-13-01 00:00:00", "2023-00-10 00:00:00", "2023-02-30 00:00:00",
                          "2023-11-14 24:00:00", "2023-11-14 22:60:00", "2023-11-14 22:13:61",
                          "2023-1-14 22:13:20", "-023-11-14 22:13:20", "2023-11-14 22:13:2x"}) {
        EXPECT_FALSE(f.dateFromString(s).has_value()) << '"' << s << '"';
    }
    EXPECT_TRUE(f.dateFromString("2024-02-29 00:00:00").has_value()) << "a leap day";
}

TEST(NSDateFormatterTest, MissingFieldsStartFrom1970) {
    ScopedTimeZone tz("UTC0");
    auto d = formatter("HH:mm").dateFromString("01:30");
    ASSERT_TRUE(d.has_value());
    EXPECT_DOUBLE_EQ(d->timeIntervalSince1970(), 5400);
    auto y = formatter("yyyy").dateFromString("2001");
    ASSERT_TRUE(y.has_value());
    EXPECT_DOUBLE_EQ(y->timeIntervalSince1970(), 978307200);
}

TEST(NSDateTest, IntervalsAndOrder) {
    const NSDate a = NSDate::dateWithTimeIntervalSince1970(100);
    const NSDate b = NSDate::dateWithTimeIntervalSince1970(250.5);
    EXPECT_DOUBLE_EQ(b.timeIntervalSinceDate(a), 150.5);
    EXPECT_DOUBLE_EQ(a.timeIntervalSinceReferenceDate(), 100 - 978307200.0);
    EXPECT_LT(a, b);
    EXPECT_EQ(a.compare(b), -1);
    EXPECT_EQ(b.compare(a), 1);
    EXPECT_EQ(a.compare(a), 0);
    EXPECT_EQ(a.earlierDate(b), a);
    EXPECT_EQ(a.laterDate(b), b);
    EXPECT_EQ(a.dateByAddingTimeInterval(150.5), b);
    EXPECT_LT(NSDate::distantPast(), a);
    EXPECT_GT(NSDate::distantFuture(), NSDate::date());
    EXPECT_EQ(NSDate::distantFuture().description(), "4001-01-01 00:00:00 +0000");
    // The platform's distant past is 0001-01-01 of its (Julian) calendar of that time.
    EXPECT_DOUBLE_EQ(NSDate::distantPast().timeIntervalSinceReferenceDate(), -63114076800.0);
    EXPECT_EQ(NSDate::dateWithTimeIntervalSinceReferenceDate(0).description(),
              "2001-01-01 00:00:00 +0000");

    const NSDate now = NSDate::date();
    EXPECT_NEAR(now.timeIntervalSince1970(), static_cast<double>(std::time(nullptr)), 2.0);
    EXPECT_NEAR(now.timeIntervalSinceNow(), 0.0, 1.0);
    EXPECT_NEAR(NSDate::dateWithTimeIntervalSinceNow(-60).timeIntervalSinceNow(), -60.0, 1.0);
}

}  // namespace
