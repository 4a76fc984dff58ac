#pragma once
// Formatting and parsing dates with a fixed Unicode pattern in the user's local time zone.

#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/NSDate.h"

/// A date formatter with a fixed format such as "yyyy-MM-dd HH:mm:ss". Supported fields:
/// y/yy/yyyy (year; "yy" is two digits, 2000-2099 when parsed), M/MM (month), d/dd (day),
/// H/HH (hour 0-23), m/mm (minute), s/ss (second), S... (fraction of a second). Text in single
/// quotes is literal ('' is a quote); other characters, unsupported letters included, stand
/// for themselves. Times are in the local time zone (TZ is honoured, read at each call).
class NSDateFormatter {
  public:
    NSDateFormatter() = default;

    void setDateFormat(std::string format);
    const std::string& dateFormat() const { return format_; }

    /// The date in the pattern, in local time; "" when the date cannot be expressed.
    std::string stringFromDate(const NSDate& date) const;
    /// Strict parse of the whole string by the pattern; fields left out take their value
    /// from 1970-01-01 00:00:00. Garbage, trailing text or an impossible date gives nil.
    std::optional<NSDate> dateFromString(const std::string& string) const;

  private:
    struct Token {
        char field = 0;  // 0 for literal text
        int width = 0;
        std::string text;
    };
    std::string format_;
    std::vector<Token> tokens_;
};
