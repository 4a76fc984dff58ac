#include "platform/foundation/NSDateFormatter.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

bool isField(char c) {
    return c == 'y' || c == 'M' || c == 'd' || c == 'H' || c == 'm' || c == 's' || c == 'S';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

void appendNumber(std::string& out, long long value, int width) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*lld", width, value);
    out += buf;
}

}  // namespace

void NSDateFormatter::setDateFormat(std::string format) {
    format_ = std::move(format);
    tokens_.clear();
    auto literal = [&](char c) {
        if (tokens_.empty() || tokens_.back().field != 0) tokens_.push_back({});
        tokens_.back().text += c;
    };
    const std::string& f = format_;
    for (std::size_t i = 0; i < f.size();) {
        const char c = f[i];
        if (c == '\'') {
            if (i + 1 < f.size() && f[i + 1] == '\'') {  // '' is a quote
                literal('\'');
                i += 2;
                continue;
            }
            std::size_t j = i + 1;
            for (; j < f.size(); ++j) {
                if (f[j] != '\'') {
                    literal(f[j]);
                } else if (j + 1 < f.size() && f[j + 1] == '\'') {
                    literal('\'');
                    ++j;
                } else {
                    break;
                }
            }
            i = j + 1;  // past the closing quote (an unclosed quote runs to the end)
            continue;
        }
        if (isField(c)) {
            std::size_t j = i;
            while (j < f.size() && f[j] == c)
                ++j;
            tokens_.push_back({c, static_cast<int>(j - i), {}});
            i = j;
            continue;
        }
        literal(c);
        ++i;
    }
}

std::string NSDateFormatter::stringFromDate(const NSDate& date) const {
    const double t = date.timeIntervalSince1970();
    if (!std::isfinite(t) || std::fabs(t) > 1e15) return "";
    const double whole = std::floor(t);
    const std::time_t secs = static_cast<std::time_t>(whole);
    ::tzset();  // localtime_r need not look at TZ again by itself
    std::tm tm{};
    if (!localtime_r(&secs, &tm)) return "";
    std::string out;
    for (const Token& tok : tokens_) {
        switch (tok.field) {
            case 0:
                out += tok.text;
                break;
            case 'y': {
                const long long year = tm.tm_year + 1900LL;
                if (tok.width == 2)
                    appendNumber(out, ((year % 100) + 100) % 100, 2);
                else
                    appendNumber(out, year, tok.width);
                break;
            }
            case 'M':
                appendNumber(out, tm.tm_mon + 1, tok.width);
                break;
            case 'd':
                appendNumber(out, tm.tm_mday, tok.width);
                break;
            case 'H':
                appendNumber(out, tm.tm_hour, tok.width);
                break;
            case 'm':
                appendNumber(out, tm.tm_min, tok.width);
                break;
            case 's':
                appendNumber(out, tm.tm_sec, tok.width);
                break;
            case 'S': {
                // The first `width` digits of the fraction, truncated as the platform does.
                double frac = t - whole;
                std::string digits;
                for (int i = 0; i < tok.width; ++i) {
                    frac *= 10;
                    int d = static_cast<int>(frac);
                    if (d > 9) d = 9;
                    digits += static_cast<char>('0' + d);
                    frac -= d;
                }
                out += digits;
                break;
            }
        }
    }
    return out;
}

std::optional<NSDate> NSDateFormatter::dateFromString(const std::string& s) const {
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    double fraction = 0;
    std::size_t pos = 0;
    for (const Token& tok : tokens_) {
        if (tok.field == 0) {
            if (s.compare(pos, tok.text.size(), tok.text) != 0) return std::nullopt;
            pos += tok.text.size();
            continue;
        }
        // A padded field (two letters or more) takes exactly that many digits; a single
        // letter takes one or two (the year: one to four).
        int minDigits = tok.width, maxDigits = tok.width;
        if (tok.width == 1) minDigits = 1, maxDigits = tok.field == 'y' ? 4 : 2;
        if (tok.field == 'S') minDigits = 1;
        std::size_t n = 0;
        while (pos + n < s.size() && isDigit(s[pos + n]) && n < static_cast<std::size_t>(maxDigits))
            ++n;
        if (n < static_cast<std::size_t>(minDigits) || n > 9) return std::nullopt;
        long value = 0;
        for (std::size_t i = 0; i < n; ++i)
            value = value * 10 + (s[pos + i] - '0');
        switch (tok.field) {
            case 'y':
                year = static_cast<int>(tok.width == 2 ? 2000 + value : value);
                break;
            case 'M':
                month = static_cast<int>(value);
                break;
            case 'd':
                day = static_cast<int>(value);
                break;
            case 'H':
                hour = static_cast<int>(value);
                break;
            case 'm':
                minute = static_cast<int>(value);
                break;
            case 's':
                second = static_cast<int>(value);
                break;
            case 'S':
                fraction = static_cast<double>(value) / std::pow(10.0, static_cast<double>(n));
                break;
        }
        pos += n;
    }
    if (pos != s.size()) return std::nullopt;
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;

    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    tm.tm_wday = -1;  // mktime sets it on success only (-1 is also a valid time)
    const std::tm asked = tm;
    const std::time_t t = std::mktime(&tm);  // mktime reads TZ itself
    if (t == static_cast<std::time_t>(-1) && tm.tm_wday == -1) return std::nullopt;
    // An impossible day (30 February) comes back moved to another month.
    if (tm.tm_mday != asked.tm_mday || tm.tm_mon != asked.tm_mon || tm.tm_year != asked.tm_year)
        return std::nullopt;
    return NSDate::dateWithTimeIntervalSince1970(static_cast<double>(t) + fraction);
}
