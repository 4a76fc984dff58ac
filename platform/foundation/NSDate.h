#pragma once
// A point in time as the platform keeps it: seconds (with fraction) since an epoch.

#include <compare>
#include <string>

using NSTimeInterval = double;

/// Seconds from 1970-01-01 00:00:00 UTC to the platform's reference date 2001-01-01.
inline constexpr NSTimeInterval NSTimeIntervalSince1970 = 978307200.0;

/// A date value: seconds since 1970-01-01 00:00:00 UTC. Cheap to copy.
class NSDate {
  public:
    /// Now, as `[[NSDate alloc] init]`.
    NSDate();

    /// Now (wall clock).
    static NSDate date();
    static NSDate dateWithTimeIntervalSince1970(NSTimeInterval seconds);
    static NSDate dateWithTimeIntervalSinceReferenceDate(NSTimeInterval seconds);
    static NSDate dateWithTimeIntervalSinceNow(NSTimeInterval seconds);
    /// The platform's distant past (0001-01-01) and distant future (4001-01-01), UTC.
    static NSDate distantPast();
    static NSDate distantFuture();

    NSTimeInterval timeIntervalSince1970() const { return seconds_; }
    NSTimeInterval timeIntervalSinceReferenceDate() const {
        return seconds_ - NSTimeIntervalSince1970;
    }
    /// Negative for a date in the past.
    NSTimeInterval timeIntervalSinceNow() const;
    /// `this` minus `other`, in seconds.
    NSTimeInterval timeIntervalSinceDate(const NSDate& other) const {
        return seconds_ - other.seconds_;
    }
    NSDate dateByAddingTimeInterval(NSTimeInterval seconds) const {
        return dateWithTimeIntervalSince1970(seconds_ + seconds);
    }

    /// -1, 0 or 1 as NSOrderedAscending, NSOrderedSame, NSOrderedDescending.
    int compare(const NSDate& other) const {
        return seconds_ < other.seconds_ ? -1 : (seconds_ > other.seconds_ ? 1 : 0);
    }
    bool isEqualToDate(const NSDate& other) const { return seconds_ == other.seconds_; }
    NSDate earlierDate(const NSDate& other) const { return other < *this ? other : *this; }
    NSDate laterDate(const NSDate& other) const { return other > *this ? other : *this; }
    auto operator<=>(const NSDate& other) const = default;
    bool operator==(const NSDate& other) const = default;

    /// As the platform prints a date: "2001-01-01 00:00:00 +0000" (UTC).
    std::string description() const;

  private:
    struct Raw {};
    NSDate(Raw, NSTimeInterval seconds) : seconds_(seconds) {}
    NSTimeInterval seconds_ = 0;
};
