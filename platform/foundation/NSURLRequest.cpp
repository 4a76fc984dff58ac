#include "platform/foundation/NSURLRequest.h"

namespace {
constexpr NSTimeInterval kDefaultTimeout = 60.0;
}

NSURLRequest NSURLRequest::requestWithURL(const NSURL& url) {
    return NSURLRequest(url, NSURLRequestUseProtocolCachePolicy, kDefaultTimeout);
}

NSURLRequest NSURLRequest::requestWithURL(const NSURL& url, NSURLRequestCachePolicy cachePolicy,
                                          NSTimeInterval timeoutInterval) {
    // Not positive, NaN: the platform's default.
    if (!(timeoutInterval > 0)) timeoutInterval = kDefaultTimeout;
    return NSURLRequest(url, cachePolicy, timeoutInterval);
}
