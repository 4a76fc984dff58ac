#pragma once
// URLs as values: parsed once, compared by their string, with the parts the application reads.

#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/NSString.h"

/// An absolute URL (scheme, optional authority, path, query, fragment), kept as written.
class NSURL {
  public:
    /// Parses an absolute URL; nil when empty, without a scheme, with a bad port or escape,
    /// or with characters that a URL cannot hold unescaped (spaces, quotes, non-ASCII...).
    static std::optional<NSURL> URLWithString(std::string_view string);
    /// A file URL for a path, escaped as needed; a relative path is taken from the current
    /// folder, and an existing folder gets a trailing "/" as on the platform.
    static NSURL fileURLWithPath(std::string_view path);

    /// The whole URL as written (or as built by fileURLWithPath).
    const std::string& absoluteString() const { return string_; }
    /// The scheme as written, without the colon ("http", "file").
    const std::string& scheme() const { return scheme_; }
    /// The host without brackets around an IPv6 address; nil when there is none.
    NSStringOpt host() const;
    /// The port when one is written.
    std::optional<int> port() const { return port_; }
    /// The path with escapes decoded and a trailing "/" removed (except for "/" itself).
    std::string path() const;
    /// The query without "?", still escaped; nil when there is none.
    NSStringOpt query() const { return query_; }
    /// Whether the scheme is "file" (in any case).
    bool isFileURL() const;
    /// Same as absoluteString(): what %@ prints.
    const std::string& description() const { return string_; }

    /// URLs are equal when their strings are.
    bool operator==(const NSURL& other) const { return string_ == other.string_; }

  private:
    NSURL() = default;

    std::string string_;
    std::string scheme_;
    std::string host_;
    bool hasHost_ = false;
    std::optional<int> port_;
    std::string rawPath_;
    NSStringOpt query_;
};
