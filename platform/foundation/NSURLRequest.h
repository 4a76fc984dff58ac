#pragma once
// A request to load a URL: the URL, how caches may answer, and how long to wait.

#include <utility>

#include "platform/foundation/NSURL.h"

/// Seconds.
using NSTimeInterval = double;

/// How a load may use cached answers (the platform's values).
enum NSURLRequestCachePolicy : unsigned long {
    NSURLRequestUseProtocolCachePolicy = 0,
    NSURLRequestReloadIgnoringLocalCacheData = 1,
    NSURLRequestReloadIgnoringLocalAndRemoteCacheData = 4,
    NSURLRequestReloadIgnoringCacheData = NSURLRequestReloadIgnoringLocalCacheData,
    NSURLRequestReturnCacheDataElseLoad = 2,
    NSURLRequestReturnCacheDataDontLoad = 3,
    NSURLRequestReloadRevalidatingCacheData = 5,
};

/// An immutable GET request.
class NSURLRequest {
  public:
    /// The platform's defaults: protocol cache policy, 60 seconds.
    static NSURLRequest requestWithURL(const NSURL& url);
    /// A request with the given policy and timeout (a timeout that is not positive means 60 s).
    static NSURLRequest requestWithURL(const NSURL& url, NSURLRequestCachePolicy cachePolicy,
                                       NSTimeInterval timeoutInterval);

    /// The URL to load.
    const NSURL& URL() const { return url_; }
    /// The cache policy as given.
    NSURLRequestCachePolicy cachePolicy() const { return cachePolicy_; }
    /// The timeout in seconds, always positive.
    NSTimeInterval timeoutInterval() const { return timeoutInterval_; }

  private:
    NSURLRequest(NSURL url, NSURLRequestCachePolicy cachePolicy, NSTimeInterval timeout)
        : url_(std::move(url)), cachePolicy_(cachePolicy), timeoutInterval_(timeout) {}

    NSURL url_;
    NSURLRequestCachePolicy cachePolicy_;
    NSTimeInterval timeoutInterval_;
};
