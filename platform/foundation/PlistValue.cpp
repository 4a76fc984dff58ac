#include "platform/foundation/PlistValue.h"

#include <charconv>
#include <cmath>
#include <variant>

#include "platform/foundation/NSString.h"

struct PlistValue::Storage {
    std::variant<Dictionary, Array, std::string, NSData> payload;
};

template <class T>
std::shared_ptr<PlistValue::Storage> PlistValue::makeStorage(T&& value) {
    auto s = std::make_shared<Storage>();
    s->payload = std::forward<T>(value);
    return s;
}

PlistValue::PlistValue() : PlistValue(Dictionary{}) {}
PlistValue::PlistValue(Dictionary d)
    : kind_(Kind::Dictionary), storage_(makeStorage(std::move(d))) {}
PlistValue::PlistValue(Array a) : kind_(Kind::Array), storage_(makeStorage(std::move(a))) {}
PlistValue::PlistValue(std::string s) : kind_(Kind::String), storage_(makeStorage(std::move(s))) {}
PlistValue::PlistValue(std::string_view s) : PlistValue(std::string(s)) {}
PlistValue::PlistValue(const char* s) : PlistValue(std::string(s ? s : "")) {}
PlistValue::PlistValue(double v) : kind_(Kind::Real), real_(v) {}
PlistValue::PlistValue(bool v) : kind_(Kind::Boolean), bool_(v) {}
PlistValue::PlistValue(NSDate date) : kind_(Kind::Date), real_(date.timeIntervalSince1970()) {}
PlistValue::PlistValue(NSData data) : kind_(Kind::Data), storage_(makeStorage(std::move(data))) {}

PlistValue PlistValue::dateWithTimeIntervalSince1970(double seconds) {
    return PlistValue(NSDate::dateWithTimeIntervalSince1970(seconds));
}

// --- Copy-on-write -------------------------------------------------------------------------

void PlistValue::makeUnique() {
    if (storage_ && storage_.use_count() > 1) storage_ = std::make_shared<Storage>(*storage_);
}

PlistValue::Dictionary* PlistValue::mutableDictionary() {
    if (kind_ != Kind::Dictionary) return nullptr;
    makeUnique();
    return &std::get<Dictionary>(storage_->payload);
}

PlistValue::Array* PlistValue::mutableArray() {
    if (kind_ != Kind::Array) return nullptr;
    makeUnique();
    return &std::get<Array>(storage_->payload);
}

// --- Dictionary ----------------------------------------------------------------------------

const PlistValue::Dictionary* PlistValue::dictionaryValue() const {
    return kind_ == Kind::Dictionary ? &std::get<Dictionary>(storage_->payload) : nullptr;
}

const PlistValue::Array* PlistValue::arrayValue() const {
    return kind_ == Kind::Array ? &std::get<Array>(storage_->payload) : nullptr;
}

const NSData* PlistValue::dataValue() const {
    return kind_ == Kind::Data ? &std::get<NSData>(storage_->payload) : nullptr;
}

const PlistValue* PlistValue::objectForKey(std::string_view key) const {
    const Dictionary* d = dictionaryValue();
    if (!d) return nullptr;
    auto it = d->find(std::string(key));
    return it == d->end() ? nullptr : &it->second;
}

PlistValue* PlistValue::mutableObjectForKey(std::string_view key) {
    if (!objectForKey(key)) return nullptr;
    return &mutableDictionary()->find(std::string(key))->second;
}

void PlistValue::setObject(PlistValue value, std::string_view key) {
    if (Dictionary* d = mutableDictionary())
        d->insert_or_assign(std::string(key), std::move(value));
}

void PlistValue::removeObjectForKey(std::string_view key) {
    if (!objectForKey(key)) return;
    mutableDictionary()->erase(std::string(key));
}

std::vector<std::string> PlistValue::allKeys() const {
    std::vector<std::string> keys;
    if (const Dictionary* d = dictionaryValue()) {
        keys.reserve(d->size());
        for (const auto& [k, v] : *d)
            keys.push_back(k);
    }
    return keys;
}

std::optional<std::string> PlistValue::stringForKey(std::string_view key) const {
    const PlistValue* v = objectForKey(key);
    return v ? v->stringValue() : std::nullopt;
}

const PlistValue* PlistValue::dictionaryForKey(std::string_view key) const {
    const PlistValue* v = objectForKey(key);
    return v && v->isDictionary() ? v : nullptr;
}

const PlistValue* PlistValue::arrayForKey(std::string_view key) const {
    const PlistValue* v = objectForKey(key);
    return v && v->isArray() ? v : nullptr;
}

// --- Array ---------------------------------------------------------------------------------

std::size_t PlistValue::count() const {
    if (const Dictionary* d = dictionaryValue()) return d->size();
    if (const Array* a = arrayValue()) return a->size();
    if (const NSData* b = dataValue()) return b->size();
    return 0;
}

const PlistValue* PlistValue::objectAtIndex(std::size_t index) const {
    const Array* a = arrayValue();
    return a && index < a->size() ? &(*a)[index] : nullptr;
}

PlistValue* PlistValue::mutableObjectAtIndex(std::size_t index) {
    if (!objectAtIndex(index)) return nullptr;
    return &(*mutableArray())[index];
}

void PlistValue::addObject(PlistValue value) {
    if (Array* a = mutableArray()) a->push_back(std::move(value));
}

void PlistValue::removeObjectAtIndex(std::size_t index) {
    if (!objectAtIndex(index)) return;
    Array* a = mutableArray();
    a->erase(a->begin() + static_cast<std::ptrdiff_t>(index));
}

// --- Scalars -------------------------------------------------------------------------------

std::optional<std::string> PlistValue::stringValue() const {
    if (kind_ != Kind::String) return std::nullopt;
    return std::get<std::string>(storage_->payload);
}

std::optional<NSDate> PlistValue::dateValue() const {
    if (kind_ != Kind::Date) return std::nullopt;
    return NSDate::dateWithTimeIntervalSince1970(real_);
}

namespace {

long long truncateToInteger(double d) {
    if (std::isnan(d)) return 0;
    if (d >= 9223372036854775807.0) return INT64_MAX;
    if (d <= -9223372036854775808.0) return INT64_MIN;
    return static_cast<long long>(d);
}

}  // namespace

long long PlistValue::integerValue() const {
    switch (kind_) {
        case Kind::Integer:
            return int_;
        case Kind::Real:
            return truncateToInteger(real_);
        case Kind::Boolean:
            return bool_ ? 1 : 0;
        case Kind::String:
            return ns::integerValue(std::get<std::string>(storage_->payload));
        default:
            return 0;
    }
}

unsigned long long PlistValue::unsignedIntegerValue() const {
    if (kind_ == Kind::Integer) return static_cast<uint64_t>(int_);
    if (kind_ == Kind::Real && real_ >= 9223372036854775808.0) {
        return real_ >= 18446744073709551615.0 ? UINT64_MAX : static_cast<uint64_t>(real_);
    }
    return static_cast<unsigned long long>(integerValue());
}

double PlistValue::doubleValue() const {
    switch (kind_) {
        case Kind::Integer:
            return unsigned_ ? static_cast<double>(static_cast<uint64_t>(int_))
                             : static_cast<double>(int_);
        case Kind::Real:
            return real_;
        case Kind::Boolean:
            return bool_ ? 1 : 0;
        case Kind::String:
            return ns::doubleValue(std::get<std::string>(storage_->payload));
        default:
            return 0;
    }
}

bool PlistValue::boolValue() const {
    switch (kind_) {
        case Kind::Integer:
            return int_ != 0;
        case Kind::Real:
            return real_ != 0;
        case Kind::Boolean:
            return bool_;
        case Kind::String:
            return ns::boolValue(std::get<std::string>(storage_->payload));
        default:
            return false;
    }
}

// --- Equality ------------------------------------------------------------------------------

bool PlistValue::operator==(const PlistValue& other) const {
    if (kind_ != other.kind_) return false;
    switch (kind_) {
        case Kind::Integer:
            return int_ == other.int_ && unsigned_ == other.unsigned_;
        case Kind::Real:
        case Kind::Date:
            return real_ == other.real_;
        case Kind::Boolean:
            return bool_ == other.bool_;
        default:
            return storage_ == other.storage_ || storage_->payload == other.storage_->payload;
    }
}

// --- Description ---------------------------------------------------------------------------

namespace {

std::string formatReal(double d) {
    if (std::isnan(d)) return "nan";
    if (std::isinf(d)) return d > 0 ? "inf" : "-inf";
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, d);
    return std::string(buf, res.ptr);
}

/// Old-style property-list quoting: bare when made only of ASCII letters, digits and "_$:./".
std::string quoted(const std::string& s) {
    bool bare = !s.empty();
    for (unsigned char c : s) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                  c == '_' || c == '$' || c == ':' || c == '.' || c == '/';
        if (!ok) bare = false;
    }
    if (bare) return s;
    std::string out = "\"";
    for (char c : s) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                out += c;
        }
    }
    return out + "\"";
}

void describe(const PlistValue& v, int indent, bool top, std::string& out) {
    const std::string pad(static_cast<std::size_t>(indent) * 4, ' ');
    const std::string inner(static_cast<std::size_t>(indent + 1) * 4, ' ');
    switch (v.kind()) {
        case PlistValue::Kind::Dictionary: {
            out += "{\n";
            for (const auto& [k, e] : *v.dictionaryValue()) {
                out += inner + quoted(k) + " = ";
                describe(e, indent + 1, false, out);
                out += ";\n";
            }
            out += pad + "}";
            break;
        }
        case PlistValue::Kind::Array: {
            out += "(\n";
            const auto& a = *v.arrayValue();
            for (std::size_t i = 0; i < a.size(); ++i) {
                out += inner;
                describe(a[i], indent + 1, false, out);
                out += i + 1 < a.size() ? ",\n" : "\n";
            }
            out += pad + ")";
            break;
        }
        case PlistValue::Kind::String: {
            std::string s = *v.stringValue();
            out += top ? s : quoted(s);
            break;
        }
        case PlistValue::Kind::Integer:
            out += v.isUnsignedInteger() ? std::to_string(v.unsignedIntegerValue())
                                         : std::to_string(v.integerValue());
            break;
        case PlistValue::Kind::Real:
            out += formatReal(v.doubleValue());
            break;
        case PlistValue::Kind::Boolean:
            out += v.boolValue() ? "1" : "0";
            break;
        case PlistValue::Kind::Date:
            out += v.dateValue()->description();
            break;
        case PlistValue::Kind::Data: {
            static const char* hex = "0123456789abcdef";
            out += "<";
            const NSData& d = *v.dataValue();
            for (std::size_t i = 0; i < d.size(); ++i) {
                if (i && i % 4 == 0) out += ' ';
                out += hex[d[i] >> 4];
                out += hex[d[i] & 15];
            }
            out += ">";
            break;
        }
    }
}

}  // namespace

std::string PlistValue::description() const {
    std::string out;
    describe(*this, 0, true, out);
    return out;
}
