#include "platform/foundation/NSDate.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

NSTimeInterval nowSince1970() {
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

}  // namespace

NSDate::NSDate() : seconds_(nowSince1970()) {}

NSDate NSDate::date() {
    return NSDate();
}

NSDate NSDate::dateWithTimeIntervalSince1970(NSTimeInterval seconds) {
    return NSDate(Raw{}, seconds);
}

NSDate NSDate::dateWithTimeIntervalSinceReferenceDate(NSTimeInterval seconds) {
    return NSDate(Raw{}, seconds + NSTimeIntervalSince1970);
}

NSDate NSDate::dateWithTimeIntervalSinceNow(NSTimeInterval seconds) {
    return NSDate(Raw{}, nowSince1970() + seconds);
}

NSDate NSDate::distantPast() {
    return dateWithTimeIntervalSinceReferenceDate(-63114076800.0);  // 0001-01-01 00:00:00 UTC
}

NSDate NSDate::distantFuture() {
    return dateWithTimeIntervalSinceReferenceDate(63113904000.0);  // 4001-01-01 00:00:00 UTC
}

NSTimeInterval NSDate::timeIntervalSinceNow() const {
    return seconds_ - nowSince1970();
}

std::string NSDate::description() const {
    if (!std::isfinite(seconds_) || std::fabs(seconds_) > 1e15) return "(invalid date)";
    std::time_t t = static_cast<std::time_t>(std::floor(seconds_));
    std::tm tm{};
    if (!gmtime_r(&t, &tm)) return "(invalid date)";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d +0000", tm.tm_year + 1900,
                  tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buf;
}
