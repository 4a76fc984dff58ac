#pragma once
// Interned selector names: two selectors are equal when their names are, and comparing
// them is a pointer comparison.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

class SEL {
  public:
    /// The null selector.
    SEL() = default;
    /// Interns `name` ("closeWindow:"); the empty name gives the null selector.
    explicit SEL(std::string_view name);

    /// The selector's name; "" for the null selector.
    const std::string& name() const;
    explicit operator bool() const { return name_ != nullptr; }
    bool operator==(const SEL& other) const { return name_ == other.name_; }
    bool operator<(const SEL& other) const { return name_ < other.name_; }
    std::size_t hash() const { return std::hash<const void*>()(name_); }

  private:
    const std::string* name_ = nullptr;
};

template <>
struct std::hash<SEL> {
    std::size_t operator()(const SEL& s) const noexcept { return s.hash(); }
};

/// The platform's @selector(name) and NSSelectorFromString.
inline SEL NSSelectorFromString(std::string_view name) {
    return SEL(name);
}
inline const std::string& NSStringFromSelector(SEL s) {
    return s.name();
}
