#pragma once
// Strings are UTF-8 std::string. This header gives them the platform's formatting
// (printf conversions plus %@) and the string and path operations the application uses.

#include <concepts>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/foundation/NSGeometry.h"
#include "platform/foundation/Ref.h"

/// A string that may be nil; formatting nil with %@ gives "(null)".
using NSStringOpt = std::optional<std::string>;

namespace ns {

/// One argument of a format: the conversion that consumes it decides how it is read.
struct FormatArg {
    enum class Kind { Signed, Unsigned, Real, Text, Nil, Pointer };
    Kind kind = Kind::Nil;
    long long i = 0;
    unsigned long long u = 0;
    double d = 0;
    std::string s;
    const void* p = nullptr;
};

template <class T>
concept Describable = requires(const T& t) {
    { t->description() } -> std::convertible_to<std::string>;
};

template <class T>
FormatArg toFormatArg(const T& v) {
    FormatArg a;
    using D = std::decay_t<T>;
    if constexpr (std::is_array_v<T>) {
        a.kind = FormatArg::Kind::Text, a.s = v;
    } else if constexpr (std::is_same_v<D, bool>) {
        a.kind = FormatArg::Kind::Signed, a.i = v ? 1 : 0;
    } else if constexpr (std::is_integral_v<D> && std::is_signed_v<D>) {
        a.kind = FormatArg::Kind::Signed, a.i = v;
    } else if constexpr (std::is_integral_v<D> || std::is_enum_v<D>) {
        a.kind = FormatArg::Kind::Unsigned, a.u = static_cast<unsigned long long>(v);
    } else if constexpr (std::is_floating_point_v<D>) {
        a.kind = FormatArg::Kind::Real, a.d = v;
    } else if constexpr (std::is_same_v<D, std::string> || std::is_same_v<D, std::string_view>) {
        a.kind = FormatArg::Kind::Text, a.s = std::string(v);
    } else if constexpr (std::is_same_v<D, const char*> || std::is_same_v<D, char*>) {
        if (v) a.kind = FormatArg::Kind::Text, a.s = v;
    } else if constexpr (std::is_same_v<D, NSStringOpt>) {
        if (v) a.kind = FormatArg::Kind::Text, a.s = *v;
    } else if constexpr (std::is_same_v<D, std::nullptr_t>) {
        // nil
    } else if constexpr (Describable<D>) {
        if (v) a.kind = FormatArg::Kind::Text, a.s = v->description();
    } else if constexpr (std::is_pointer_v<D>) {
        a.kind = FormatArg::Kind::Pointer, a.p = static_cast<const void*>(v);
    } else {
        static_assert(sizeof(D) == 0, "type cannot be formatted");
    }
    return a;
}

/// Formats with printf conversions and %@ (a string, an optional string or an object's
/// description; nil gives "(null)"). Length modifiers (l, ll, h, q, z) are accepted and
/// ignored: integers are read at full width. A missing argument formats as nil / 0.
std::string formatv(std::string_view format, const std::vector<FormatArg>& args);

template <class... Args>
std::string stringWithFormat(std::string_view format, const Args&... args) {
    return formatv(format, std::vector<FormatArg>{toFormatArg(args)...});
}

// --- Values ------------------------------------------------------------------------------

/// The platform's integerValue: skips leading blanks, reads an optional sign and decimal
/// digits, stops at the first other character; no digits gives 0; saturates on overflow.
long long integerValue(std::string_view s);
/// The platform's floatValue / doubleValue: leading blanks skipped, reading stops at the
/// first character that cannot belong to a number; no number gives 0.
float floatValue(std::string_view s);
double doubleValue(std::string_view s);
/// The platform's boolValue: leading blanks, then Y, y, T, t or a non-zero digit is true.
bool boolValue(std::string_view s);

// --- Comparison and searching --------------------------------------------------------------

bool hasPrefix(std::string_view s, std::string_view prefix);
bool hasSuffix(std::string_view s, std::string_view suffix);
/// Literal search of the first occurrence; {NSNotFound, 0} when absent or `what` is empty.
NSRange rangeOfString(std::string_view s, std::string_view what);
/// ASCII and Unicode-aware (where the locale allows) lower-case form.
std::string lowercaseString(std::string_view s);
std::string uppercaseString(std::string_view s);
/// Replaces every occurrence of `what` (non-empty) by `with`.
std::string stringByReplacingOccurrencesOfString(std::string_view s, std::string_view what,
                                                 std::string_view with);
std::vector<std::string> componentsSeparatedByString(std::string_view s, std::string_view sep);
/// Number of UTF-16 code units, as the platform counts a string's length.
std::size_t length(std::string_view s);

// --- Paths ---------------------------------------------------------------------------------

std::string lastPathComponent(std::string_view path);
std::string pathExtension(std::string_view path);
std::string stringByDeletingLastPathComponent(std::string_view path);
std::string stringByDeletingPathExtension(std::string_view path);
/// Joins with exactly one "/" between; an empty component gives the path unchanged.
std::string stringByAppendingPathComponent(std::string_view path, std::string_view component);
std::string stringByAppendingPathExtension(std::string_view path, std::string_view ext);
/// "~" and "~/..." become $HOME and $HOME/...; "~user" is left alone.
std::string stringByExpandingTildeInPath(std::string_view path);
std::vector<std::string> pathComponents(std::string_view path);

}  // namespace ns
