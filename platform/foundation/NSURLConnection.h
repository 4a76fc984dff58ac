#pragma once
// Loading a URL's contents in one blocking call (HTTP and HTTPS through libcurl, files).

#include <cstddef>
#include <optional>

#include "platform/foundation/NSData.h"
#include "platform/foundation/NSURLRequest.h"

/// Synchronous URL loading; safe to call from several threads at once.
class NSURLConnection {
  public:
    /// GETs the request's URL within its timeout (for the whole transfer), following up to 5
    /// redirects, and answers the body (present even when empty) when the final HTTP status is
    /// 2xx or 3xx; nil for 4xx/5xx, refused connections, unknown hosts, timeouts and schemes
    /// other than http, https and file. Policies 1 and 4 send "no-cache" headers; policy 3
    /// (cache only) answers nil since nothing is cached. A file URL answers the file's bytes,
    /// nil when it is missing or not a regular file.
    static std::optional<NSData> sendSynchronousRequest(const NSURLRequest& request);
    /// The same, but a body (or file) longer than `maxBodyBytes` once decoded answers nil: the
    /// transfer stops as soon as it grows past that.
    static std::optional<NSData> sendSynchronousRequest(const NSURLRequest& request,
                                                        std::size_t maxBodyBytes);
};
