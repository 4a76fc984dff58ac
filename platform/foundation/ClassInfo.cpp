#include "platform/foundation/ClassInfo.h"

#include <charconv>
#include <cmath>
#include <vector>

bool ClassInfo::isSubclassOf(const ClassInfo& other) const {
    for (const ClassInfo* c = this; c; c = c->superclass_)
        if (c == &other) return true;
    return false;
}

const ClassInfo::Method* ClassInfo::findMethod(SEL sel) const {
    for (const ClassInfo* c = this; c; c = c->superclass_) {
        auto it = c->methods_.find(sel);
        if (it != c->methods_.end()) return &it->second;
    }
    return nullptr;
}

const ClassInfo::OutletSetter* ClassInfo::findOutlet(const std::string& name) const {
    for (const ClassInfo* c = this; c; c = c->superclass_) {
        auto it = c->outlets_.find(name);
        if (it != c->outlets_.end()) return &it->second;
    }
    return nullptr;
}

const ClassInfo::PropertySetter* ClassInfo::findProperty(const std::string& name) const {
    for (const ClassInfo* c = this; c; c = c->superclass_) {
        auto it = c->properties_.find(name);
        if (it != c->properties_.end()) return &it->second;
    }
    return nullptr;
}

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

/// Parses the whole of `text` as one number of type N.
template <class N>
bool parseNumber(std::string_view text, N& out) {
    text = trimmed(text);
    if (text.empty()) return false;
    if (text.front() == '+') {  // from_chars refuses a leading plus
        text.remove_prefix(1);
        if (text.empty() || text.front() == '-') return false;
    }
    N value{};
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) return false;
    if constexpr (std::is_floating_point_v<N>)
        if (!std::isfinite(value)) return false;
    out = value;
    return true;
}

/// Splits `text` at blanks into exactly `count` numbers.
bool parseNumbers(std::string_view text, std::size_t count, double* out) {
    std::vector<double> values;
    text = trimmed(text);
    while (!text.empty()) {
        std::size_t n = 0;
        while (n < text.size() && !isBlank(text[n]))
            ++n;
        double v = 0;
        if (!parseNumber(text.substr(0, n), v)) return false;
        values.push_back(v);
        text = trimmed(text.substr(n));
    }
    if (values.size() != count) return false;
    for (std::size_t i = 0; i < count; ++i)
        out[i] = values[i];
    return true;
}

}  // namespace

namespace platform {

bool parsePropertyText(std::string_view text, std::string& out) {
    out = std::string(text);
    return true;
}

bool parsePropertyText(std::string_view text, bool& out) {
    text = trimmed(text);
    if (text == "YES" || text == "true" || text == "1") {
        out = true;
        return true;
    }
    if (text == "NO" || text == "false" || text == "0") {
        out = false;
        return true;
    }
    return false;
}

bool parsePropertyText(std::string_view text, int& out) {
    return parseNumber(text, out);
}

bool parsePropertyText(std::string_view text, long& out) {
    return parseNumber(text, out);
}

bool parsePropertyText(std::string_view text, double& out) {
    return parseNumber(text, out);
}

bool parsePropertyText(std::string_view text, float& out) {
    return parseNumber(text, out);
}

bool parsePropertyText(std::string_view text, NSPoint& out) {
    double v[2];
    if (!parseNumbers(text, 2, v)) return false;
    out = NSMakePoint(v[0], v[1]);
    return true;
}

bool parsePropertyText(std::string_view text, NSSize& out) {
    double v[2];
    if (!parseNumbers(text, 2, v)) return false;
    out = NSMakeSize(v[0], v[1]);
    return true;
}

bool parsePropertyText(std::string_view text, NSRect& out) {
    double v[4];
    if (!parseNumbers(text, 4, v)) return false;
    out = NSMakeRect(v[0], v[1], v[2], v[3]);
    return true;
}

}  // namespace platform
