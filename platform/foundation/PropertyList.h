#pragma once
// Reading and writing property lists (XML and binary "bplist00") as PlistValue, over libplist.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/foundation/NSData.h"
#include "platform/foundation/NSURL.h"
#include "platform/foundation/PlistValue.h"

namespace PropertyList {

/// Largest file or buffer that is parsed; anything larger reads as nil.
inline constexpr std::size_t kMaxBytes = 64u * 1024 * 1024;
/// Deepest nesting of dictionaries and arrays that is read or written; deeper reads as nil.
inline constexpr std::size_t kMaxDepth = 512;

/// Parses XML or binary bytes (binary when they start with "bplist00"). Malformed, truncated,
/// empty, too large or too deeply nested input gives nil; it never crashes.
/// Limits of libplist 2.2 that show here: dates are whole seconds in XML and lie within
/// 1933..2069 (outside, they read as the nearest end of that range); a string ends at its
/// first NUL byte.
std::optional<PlistValue> readData(std::span<const std::uint8_t> bytes);
std::optional<PlistValue> readData(std::string_view bytes);
/// Reads the file at `path`; a missing, unreadable or non-regular file gives nil, and so does
/// one larger than `maxBytes` (at most kMaxBytes), which is not read at all.
std::optional<PlistValue> readFile(const std::string& path, std::size_t maxBytes = kMaxBytes);
/// readFile of `path` taken relative to the folder open as `folder` (a descriptor, or AT_FDCWD).
std::optional<PlistValue> readFileAt(int folder, const std::string& path,
                                     std::size_t maxBytes = kMaxBytes);

/// The value as an XML property list (UTF-8); empty when it is nested deeper than kMaxDepth.
NSData xmlData(const PlistValue& value);
/// The value as a binary property list; empty when it is nested deeper than kMaxDepth.
NSData binaryData(const PlistValue& value);

/// Writes the value as XML to a temporary file beside `path`, flushes it to disk, gives it the
/// mode of the file it replaces (else 0644 less the umask) and renames it over `path`. On any
/// failure the temporary file is removed, the old file is left as it was, and false returned.
bool writeFileAtomically(const PlistValue& value, const std::string& path);

}  // namespace PropertyList

/// `[NSDictionary dictionaryWithContentsOfFile:]`: nil unless the file is a property list
/// whose top level is a dictionary.
std::optional<PlistValue> NSDictionaryFromFile(const std::string& path);
/// `[NSDictionary dictionaryWithContentsOfURL:]`: loads the URL (http, https or file) as
/// NSURLConnection does with the default request, and answers nil unless it came back with at
/// most `maxBytes` of body that parse as a property list whose top level is a dictionary.
/// Blocks the caller for as long as the load takes (up to the default 60 seconds).
std::optional<PlistValue> NSDictionaryFromURL(const NSURL& url,
                                              std::size_t maxBytes = PropertyList::kMaxBytes);
/// `[NSArray arrayWithContentsOfFile:]`: nil unless the top level is an array.
std::optional<PlistValue> NSArrayFromFile(const std::string& path);
/// `[dictionary writeToFile:path atomically:YES]`.
inline bool NSWriteToFileAtomically(const PlistValue& value, const std::string& path) {
    return PropertyList::writeFileAtomically(value, path);
}
