#include "platform/foundation/NSString.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cwctype>

namespace ns {
namespace {

// Formats one printf conversion (a directive without length modifiers) with snprintf.
template <class T>
void appendPrintf(std::string& out, const std::string& directive, T value) {
    char buf[128];
    int n = std::snprintf(buf, sizeof buf, directive.c_str(), value);
    if (n < 0) return;
    if (static_cast<std::size_t>(n) < sizeof buf) {
        out.append(buf, static_cast<std::size_t>(n));
        return;
    }
    std::string big(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(big.data(), big.size(), directive.c_str(), value);
    big.resize(static_cast<std::size_t>(n));
    out += big;
}

long long asSigned(const FormatArg& a) {
    switch (a.kind) {
        case FormatArg::Kind::Signed:
            return a.i;
        case FormatArg::Kind::Unsigned:
            return static_cast<long long>(a.u);
        case FormatArg::Kind::Real:
            return static_cast<long long>(a.d);
        default:
            return 0;
    }
}

unsigned long long asUnsigned(const FormatArg& a) {
    switch (a.kind) {
        case FormatArg::Kind::Signed:
            return static_cast<unsigned long long>(a.i);
        case FormatArg::Kind::Unsigned:
            return a.u;
        case FormatArg::Kind::Real:
            return static_cast<unsigned long long>(a.d);
        default:
            return 0;
    }
}

double asReal(const FormatArg& a) {
    switch (a.kind) {
        case FormatArg::Kind::Signed:
            return static_cast<double>(a.i);
        case FormatArg::Kind::Unsigned:
            return static_cast<double>(a.u);
        case FormatArg::Kind::Real:
            return a.d;
        default:
            return 0;
    }
}

std::string asText(const FormatArg& a) {
    switch (a.kind) {
        case FormatArg::Kind::Text:
            return a.s;
        case FormatArg::Kind::Signed:
            return std::to_string(a.i);
        case FormatArg::Kind::Unsigned:
            return std::to_string(a.u);
        case FormatArg::Kind::Real: {
            std::string s;
            appendPrintf(s, "%g", a.d);
            return s;
        }
        case FormatArg::Kind::Pointer: {
            std::string s;
            appendPrintf(s, "%p", a.p);
            return s;
        }
        case FormatArg::Kind::Nil:
            return "(null)";
    }
    return "(null)";
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

}  // namespace

std::string formatv(std::string_view format, const std::vector<FormatArg>& args) {
    std::string out;
    out.reserve(format.size() + 16 * args.size());
    std::size_t next = 0;
    static const FormatArg kNil{};
    auto take = [&]() -> const FormatArg& { return next < args.size() ? args[next++] : kNil; };

    for (std::size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if (c != '%') {
            out += c;
            continue;
        }
        std::size_t start = i++;
        if (i >= format.size()) {
            out += '%';
            break;
        }
        if (format[i] == '%') {
            out += '%';
            continue;
        }
        // flags, width, precision
        std::string directive = "%";
        while (i < format.size() &&
               std::string_view("-+ #0'").find(format[i]) != std::string_view::npos)
            directive += format[i++];
        while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i])))
            directive += format[i++];
        if (i < format.size() && format[i] == '.') {
            directive += format[i++];
            while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i])))
                directive += format[i++];
        }
        // length modifiers are read and dropped: integers travel at full width
        while (i < format.size() &&
               std::string_view("hlLqjzt").find(format[i]) != std::string_view::npos)
            ++i;
        if (i >= format.size()) {
            out.append(format.substr(start));
            break;
        }
        char conv = format[i];
        switch (conv) {
            case '@': {
                std::string text = asText(take());
                // width and precision apply as with %s
                appendPrintf(out, directive + "s", text.c_str());
                break;
            }
            case 'd':
            case 'i':
                appendPrintf(out, directive + "lld", asSigned(take()));
                break;
            case 'u':
            case 'x':
            case 'X':
            case 'o':
                appendPrintf(out, directive + "ll" + conv, asUnsigned(take()));
                break;
            case 'f':
            case 'F':
            case 'e':
            case 'E':
            case 'g':
            case 'G':
            case 'a':
            case 'A':
                appendPrintf(out, directive + conv, asReal(take()));
                break;
            case 'c':
                appendPrintf(out, directive + "c", static_cast<int>(asSigned(take())));
                break;
            case 's': {
                const FormatArg& a = take();
                std::string text = a.kind == FormatArg::Kind::Nil ? "(null)" : asText(a);
                appendPrintf(out, directive + "s", text.c_str());
                break;
            }
            case 'p': {
                const FormatArg& a = take();
                appendPrintf(out, directive + "p", a.p);
                break;
            }
            default:
                // unknown conversion: copied as written
                out.append(format.substr(start, i - start + 1));
                break;
        }
    }
    return out;
}

long long integerValue(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    unsigned long long v = 0;
    bool overflow = false;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        unsigned d = static_cast<unsigned>(s[i] - '0');
        if (v > (static_cast<unsigned long long>(LLONG_MAX) + 1 - d) / 10) overflow = true;
        if (!overflow) v = v * 10 + d;
    }
    if (overflow) return negative ? LLONG_MIN : LLONG_MAX;
    if (negative)
        return v > static_cast<unsigned long long>(LLONG_MAX) ? LLONG_MIN
                                                              : -static_cast<long long>(v);
    return v > static_cast<unsigned long long>(LLONG_MAX) ? LLONG_MAX : static_cast<long long>(v);
}

namespace {
// The numeric prefix the platform's value readers look at (leading blanks skipped).
std::string numericPrefix(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    std::string buf;
    for (std::size_t j = i; j < s.size(); ++j) {
        char c = s[j];
        if ((c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-' || c == 'e' || c == 'E')
            buf += c;
        else
            break;
    }
    return buf;
}
}  // namespace

double doubleValue(std::string_view s) {
    std::string buf = numericPrefix(s);
    if (buf.empty()) return 0.0;
    char* end = nullptr;
    double v = std::strtod(buf.c_str(), &end);
    return end == buf.c_str() ? 0.0 : v;
}

float floatValue(std::string_view s) {
    // Read straight into single precision: going through double could round twice.
    std::string buf = numericPrefix(s);
    if (buf.empty()) return 0.0f;
    char* end = nullptr;
    float v = std::strtof(buf.c_str(), &end);
    return end == buf.c_str() ? 0.0f : v;
}

bool boolValue(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    while (i < s.size() && s[i] == '0')
        ++i;
    if (i >= s.size()) return false;
    char c = s[i];
    return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}

bool hasPrefix(std::string_view s, std::string_view prefix) {
    return !prefix.empty() && s.substr(0, prefix.size()) == prefix;
}

bool hasSuffix(std::string_view s, std::string_view suffix) {
    return !suffix.empty() && s.size() >= suffix.size() &&
           s.substr(s.size() - suffix.size()) == suffix;
}

NSRange rangeOfString(std::string_view s, std::string_view what) {
    if (what.empty()) return {NSNotFound, 0};
    std::size_t at = s.find(what);
    if (at == std::string_view::npos) return {NSNotFound, 0};
    return {at, what.size()};
}

namespace {
// Decodes one UTF-8 sequence; invalid bytes come back as themselves with ok = false.
char32_t decodeUtf8(std::string_view s, std::size_t& i, bool& ok) {
    auto b = static_cast<unsigned char>(s[i]);
    ok = true;
    if (b < 0x80) {
        ++i;
        return b;
    }
    int extra = (b >> 5) == 0x6 ? 1 : (b >> 4) == 0xE ? 2 : (b >> 3) == 0x1E ? 3 : -1;
    if (extra < 0 || i + static_cast<std::size_t>(extra) >= s.size()) {
        ok = false;
        ++i;
        return b;
    }
    char32_t cp = b & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        auto c = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
        if ((c & 0xC0) != 0x80) {
            ok = false;
            ++i;
            return b;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    i += static_cast<std::size_t>(extra) + 1;
    return cp;
}

void encodeUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

template <class Map>
std::string mapCase(std::string_view s, Map map) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        bool ok = true;
        std::size_t at = i;
        char32_t cp = decodeUtf8(s, i, ok);
        if (!ok) {
            out += s[at];  // not UTF-8: the byte passes through unchanged
            continue;
        }
        encodeUtf8(out, map(cp));
    }
    return out;
}
}  // namespace

std::string lowercaseString(std::string_view s) {
    return mapCase(s, [](char32_t c) -> char32_t {
        if (c < 0x80) return static_cast<char32_t>(std::tolower(static_cast<int>(c)));
        return static_cast<char32_t>(std::towlower(static_cast<wint_t>(c)));
    });
}

std::string uppercaseString(std::string_view s) {
    return mapCase(s, [](char32_t c) -> char32_t {
        if (c < 0x80) return static_cast<char32_t>(std::toupper(static_cast<int>(c)));
        return static_cast<char32_t>(std::towupper(static_cast<wint_t>(c)));
    });
}

std::string stringByReplacingOccurrencesOfString(std::string_view s, std::string_view what,
                                                 std::string_view with) {
    if (what.empty()) return std::string(s);
    std::string out;
    std::size_t pos = 0;
    for (std::size_t at; (at = s.find(what, pos)) != std::string_view::npos;
         pos = at + what.size()) {
        out.append(s.substr(pos, at - pos));
        out.append(with);
    }
    out.append(s.substr(pos));
    return out;
}

std::vector<std::string> componentsSeparatedByString(std::string_view s, std::string_view sep) {
    std::vector<std::string> parts;
    if (sep.empty()) {
        parts.emplace_back(s);
        return parts;
    }
    std::size_t pos = 0;
    for (std::size_t at; (at = s.find(sep, pos)) != std::string_view::npos; pos = at + sep.size())
        parts.emplace_back(s.substr(pos, at - pos));
    parts.emplace_back(s.substr(pos));
    return parts;
}

std::size_t length(std::string_view s) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < s.size();) {
        bool ok = true;
        char32_t cp = decodeUtf8(s, i, ok);
        n += (ok && cp >= 0x10000) ? 2 : 1;
    }
    return n;
}

// --- Paths ------------------------------------------------------------------------------

namespace {
// The path without trailing slashes ("/" stays "/").
std::string_view trimTrailingSlashes(std::string_view p) {
    while (p.size() > 1 && p.back() == '/')
        p.remove_suffix(1);
    return p;
}
}  // namespace

std::string lastPathComponent(std::string_view path) {
    std::string_view p = trimTrailingSlashes(path);
    if (p == "/") return "/";
    std::size_t slash = p.rfind('/');
    return std::string(slash == std::string_view::npos ? p : p.substr(slash + 1));
}

std::string pathExtension(std::string_view path) {
    std::string last = lastPathComponent(path);
    std::size_t dot = last.rfind('.');
    if (dot == std::string::npos || dot == 0) return "";
    return last.substr(dot + 1);
}

std::string stringByDeletingLastPathComponent(std::string_view path) {
    std::string_view p = trimTrailingSlashes(path);
    if (p == "/") return "/";
    std::size_t slash = p.rfind('/');
    if (slash == std::string_view::npos) return "";
    if (slash == 0) return "/";
    return std::string(trimTrailingSlashes(p.substr(0, slash)));
}

std::string stringByDeletingPathExtension(std::string_view path) {
    std::string_view p = trimTrailingSlashes(path);
    std::size_t slash = p.rfind('/');
    std::size_t dot = p.rfind('.');
    std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    if (dot == std::string_view::npos || dot <= nameStart) return std::string(p);
    return std::string(p.substr(0, dot));
}

std::string stringByAppendingPathComponent(std::string_view path, std::string_view component) {
    while (!component.empty() && component.front() == '/')
        component.remove_prefix(1);
    std::string base(trimTrailingSlashes(path));
    if (component.empty()) return base;
    if (base.empty()) return std::string(component);
    if (base.back() != '/') base += '/';
    base.append(component);
    return std::string(trimTrailingSlashes(base));
}

std::string stringByAppendingPathExtension(std::string_view path, std::string_view ext) {
    std::string base(trimTrailingSlashes(path));
    if (ext.empty()) return base;
    return base + "." + std::string(ext);
}

std::string stringByExpandingTildeInPath(std::string_view path) {
    if (path.empty() || path.front() != '~') return std::string(path);
    if (path.size() > 1 && path[1] != '/') return std::string(path);
    const char* home = std::getenv("HOME");
    std::string h = home ? home : "";
    if (h.empty()) return std::string(path);
    return std::string(trimTrailingSlashes(h)) + std::string(path.substr(1));
}

std::vector<std::string> pathComponents(std::string_view path) {
    std::vector<std::string> parts;
    if (!path.empty() && path.front() == '/') parts.emplace_back("/");
    std::size_t pos = 0;
    while (pos < path.size()) {
        std::size_t at = path.find('/', pos);
        if (at == std::string_view::npos) at = path.size();
        if (at > pos) parts.emplace_back(path.substr(pos, at - pos));
        pos = at + 1;
    }
    return parts;
}

}  // namespace ns
