#pragma once
// The property-list value: dictionary, array, string, integer, real, boolean, date or data,
// with the accessors of NSDictionary, NSArray, NSString and NSNumber that the application uses.

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/foundation/NSData.h"
#include "platform/foundation/NSDate.h"

/// A property-list value. Containers, strings and data are shared between copies and copied
/// on the first change (copy-on-write), so copying and moving are cheap. A pointer returned by
/// `objectForKey` / `objectAtIndex` stays valid until this value is changed or destroyed.
/// Like the platform's own collections, one value may be read from many threads at once but
/// changed only while no other thread uses it.
class PlistValue {
  public:
    enum class Kind { Dictionary, Array, String, Integer, Real, Boolean, Date, Data };
    using Dictionary = std::map<std::string, PlistValue>;
    using Array = std::vector<PlistValue>;

    /// An empty dictionary (as `[NSMutableDictionary dictionary]`).
    PlistValue();
    PlistValue(Dictionary d);
    PlistValue(Array a);
    PlistValue(std::string s);
    PlistValue(std::string_view s);
    PlistValue(const char* s);
    /// Integers of any width; unsigned values above INT64_MAX keep their value (see
    /// `isUnsignedInteger`).
    template <class T>
    requires(std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char>)
        PlistValue(T v)
        : kind_(Kind::Integer) {
        if constexpr (std::is_signed_v<T>) {
            int_ = static_cast<int64_t>(v);
        } else {
            int_ = static_cast<int64_t>(static_cast<uint64_t>(v));
            unsigned_ = static_cast<uint64_t>(v) > static_cast<uint64_t>(INT64_MAX);
        }
    }
    PlistValue(double v);
    PlistValue(float v) : PlistValue(static_cast<double>(v)) {}
    PlistValue(bool v);
    PlistValue(NSDate date);
    PlistValue(NSData data);

    static PlistValue dictionary() { return PlistValue(Dictionary{}); }
    static PlistValue array() { return PlistValue(Array{}); }
    /// A date from seconds since 1970-01-01 00:00:00 UTC.
    static PlistValue dateWithTimeIntervalSince1970(double seconds);

    // --- Kind ----------------------------------------------------------------------------
    Kind kind() const { return kind_; }
    bool isDictionary() const { return kind_ == Kind::Dictionary; }
    bool isArray() const { return kind_ == Kind::Array; }
    bool isString() const { return kind_ == Kind::String; }
    bool isInteger() const { return kind_ == Kind::Integer; }
    bool isReal() const { return kind_ == Kind::Real; }
    bool isBoolean() const { return kind_ == Kind::Boolean; }
    /// Integer, real or boolean: what the platform holds in an NSNumber.
    bool isNumber() const { return isInteger() || isReal() || isBoolean(); }
    bool isDate() const { return kind_ == Kind::Date; }
    bool isData() const { return kind_ == Kind::Data; }
    /// An integer above INT64_MAX (read from a file or made from a uint64_t).
    bool isUnsignedInteger() const { return kind_ == Kind::Integer && unsigned_; }

    // --- Dictionary ----------------------------------------------------------------------
    /// The value for `key`, nullptr (nil) when absent or when this is not a dictionary.
    const PlistValue* objectForKey(std::string_view key) const;
    /// The value for `key`, changeable in place; nullptr when absent or not a dictionary.
    PlistValue* mutableObjectForKey(std::string_view key);
    /// Sets `key` to `value`; does nothing unless this is a dictionary.
    void setObject(PlistValue value, std::string_view key);
    /// Removes `key`; does nothing when absent or when this is not a dictionary.
    void removeObjectForKey(std::string_view key);
    /// The keys in sorted order; empty unless this is a dictionary.
    std::vector<std::string> allKeys() const;
    /// The string for `key` when it is a string, else nil.
    std::optional<std::string> stringForKey(std::string_view key) const;
    /// The value for `key` only when it is a dictionary.
    const PlistValue* dictionaryForKey(std::string_view key) const;
    /// The value for `key` only when it is an array.
    const PlistValue* arrayForKey(std::string_view key) const;

    // --- Array ---------------------------------------------------------------------------
    /// Entries of a dictionary or array, bytes of data, else 0.
    std::size_t count() const;
    /// The element at `index`, nullptr when out of range or not an array.
    const PlistValue* objectAtIndex(std::size_t index) const;
    PlistValue* mutableObjectAtIndex(std::size_t index);
    /// Appends `value`; does nothing unless this is an array.
    void addObject(PlistValue value);
    /// Removes the element at `index`; does nothing when out of range or not an array.
    void removeObjectAtIndex(std::size_t index);

    // --- Contents ------------------------------------------------------------------------
    /// The whole dictionary / array, nullptr for other kinds (for iteration).
    const Dictionary* dictionaryValue() const;
    const Array* arrayValue() const;
    /// The bytes of data, nullptr for other kinds.
    const NSData* dataValue() const;
    /// The string of a string value; nil for every other kind.
    std::optional<std::string> stringValue() const;
    /// The date of a date value; nil for every other kind.
    std::optional<NSDate> dateValue() const;

    // --- Numbers, as NSNumber and NSString answer them -------------------------------------
    /// Integer as is (an unsigned value above INT64_MAX wraps, as on the platform); real
    /// truncated toward zero (saturating, NaN gives 0); boolean 0/1; string through
    /// `ns::integerValue` ("120" gives 120); other kinds 0.
    long long integerValue() const;
    /// As `integerValue`, but an unsigned value above INT64_MAX reads exactly.
    unsigned long long unsignedIntegerValue() const;
    /// Number as double; string through `ns::doubleValue`; other kinds 0.
    double doubleValue() const;
    /// Number non-zero; string through `ns::boolValue` ("YES", "true", "1"); other kinds NO.
    bool boolValue() const;

    /// The platform's description: strings as they are, numbers in decimal, containers in
    /// the old-style property-list form ("{\n    key = value;\n}", "(\n    a,\n    b\n)").
    std::string description() const;

    /// Same kind and equal contents (dictionaries and arrays compared deeply).
    bool operator==(const PlistValue& other) const;

  private:
    struct Storage;  // the shared payload of containers, strings and data
    template <class T>
    static std::shared_ptr<Storage> makeStorage(T&& value);  // defined and used in the .cpp
    void makeUnique();
    Dictionary* mutableDictionary();
    Array* mutableArray();

    Kind kind_ = Kind::Dictionary;
    bool unsigned_ = false;
    bool bool_ = false;
    int64_t int_ = 0;
    double real_ = 0;  // reals, and dates as seconds since 1970
    std::shared_ptr<Storage> storage_;
};
