#include "platform/foundation/NSURL.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <string>

namespace {

bool isHex(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    return (std::tolower(static_cast<unsigned char>(c)) - 'a') + 10;
}

bool isUnreserved(unsigned char c) {
    return std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~';
}

/// Characters that may appear unescaped somewhere in a URL.
bool isURLCharacter(unsigned char c) {
    if (isUnreserved(c)) return true;
    switch (c) {
        case ':':
        case '/':
        case '?':
        case '#':
        case '[':
        case ']':
        case '@':  // gen-delims
        case '!':
        case '$':
        case '&':
        case '\'':
        case '(':
        case ')':
        case '*':
        case '+':
        case ',':
        case ';':
        case '=':  // sub-delims
            return true;
        default:
            return false;
    }
}

/// Every character is allowed and every "%" starts a two-digit escape.
bool hasValidCharacters(std::string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == '%') {
            if (i + 2 >= s.size()) return false;
            if (!isHex(s[i + 1]) || !isHex(s[i + 2])) return false;
            i += 2;
        } else if (!isURLCharacter(c)) {
            return false;
        }
    }
    return true;
}

std::string percentDecode(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && isHex(s[i + 1]) && isHex(s[i + 2])) {
            out.push_back(static_cast<char>(hexValue(s[i + 1]) * 16 + hexValue(s[i + 2])));
            i += 2;
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

/// Escapes what a file URL's path cannot hold as it is.
std::string percentEncodePath(std::string_view s) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (char ch : s) {
        unsigned char c = static_cast<unsigned char>(ch);
        bool keep = isUnreserved(c) || c == '/' || c == '!' || c == '$' || c == '&' || c == '\'' ||
                    c == '(' || c == ')' || c == '*' || c == '+' || c == ',' || c == ';' ||
                    c == '=' || c == ':' || c == '@';
        if (keep) {
            out.push_back(ch);
        } else {
            out.push_back('%');
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 0xF]);
        }
    }
    return out;
}

}  // namespace

std::optional<NSURL> NSURL::URLWithString(std::string_view string) {
    if (string.empty() || !hasValidCharacters(string)) return std::nullopt;

    // scheme = ALPHA *( ALPHA / DIGIT / "+" / "-" / "." ) ":"
    std::size_t colon = string.find(':');
    if (colon == std::string_view::npos || colon == 0) return std::nullopt;
    if (!std::isalpha(static_cast<unsigned char>(string[0]))) return std::nullopt;
    for (std::size_t i = 1; i < colon; ++i) {
        unsigned char c = static_cast<unsigned char>(string[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return std::nullopt;
    }

    NSURL url;
    url.string_ = std::string(string);
    url.scheme_ = std::string(string.substr(0, colon));
    std::string_view rest = string.substr(colon + 1);

    // fragment and query
    if (std::size_t hash = rest.find('#'); hash != std::string_view::npos) {
        if (rest.find('#', hash + 1) != std::string_view::npos) return std::nullopt;
        rest = rest.substr(0, hash);
    }
    if (std::size_t q = rest.find('?'); q != std::string_view::npos) {
        url.query_ = std::string(rest.substr(q + 1));
        rest = rest.substr(0, q);
    }

    // authority
    if (rest.starts_with("//")) {
        rest.remove_prefix(2);
        std::size_t slash = rest.find('/');
        std::string_view authority = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view{} : rest.substr(slash);
        if (std::size_t at = authority.rfind('@'); at != std::string_view::npos)
            authority.remove_prefix(at + 1);
        std::string_view portText;
        if (authority.starts_with("[")) {
            std::size_t close = authority.find(']');
            if (close == std::string_view::npos) return std::nullopt;
            url.host_ = std::string(authority.substr(1, close - 1));
            std::string_view after = authority.substr(close + 1);
            if (!after.empty()) {
                if (after[0] != ':') return std::nullopt;
                portText = after.substr(1);
            }
        } else {
            std::size_t portColon = authority.find(':');
            url.host_ = std::string(authority.substr(0, portColon));
            if (portColon != std::string_view::npos) portText = authority.substr(portColon + 1);
            if (url.host_.find_first_of("[]") != std::string::npos) return std::nullopt;
        }
        url.hasHost_ = !url.host_.empty();
        if (!portText.empty()) {
            long value = 0;
            for (char c : portText) {
                if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
                value = value * 10 + (c - '0');
                if (value > 65535) return std::nullopt;
            }
            url.port_ = static_cast<int>(value);
        }
    }
    url.rawPath_ = std::string(rest);
    return url;
}

NSURL NSURL::fileURLWithPath(std::string_view path) {
    std::string absolute(path);
    if (absolute.empty() || absolute[0] != '/') {
        std::string cwd = "/";
        if (char* buffer = getcwd(nullptr, 0)) {
            cwd = buffer;
            free(buffer);
        }
        absolute = absolute.empty() ? cwd : ns::stringByAppendingPathComponent(cwd, absolute);
    }
    struct stat st {};
    if (absolute.back() != '/' && stat(absolute.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        absolute.push_back('/');

    NSURL url;
    url.scheme_ = "file";
    url.rawPath_ = percentEncodePath(absolute);
    url.string_ = "file://" + url.rawPath_;
    return url;
}

NSStringOpt NSURL::host() const {
    if (!hasHost_) return std::nullopt;
    return host_;
}

std::string NSURL::path() const {
    std::string decoded = percentDecode(rawPath_);
    while (decoded.size() > 1 && decoded.back() == '/')
        decoded.pop_back();
    return decoded;
}

bool NSURL::isFileURL() const {
    return ns::lowercaseString(scheme_) == "file";
}
