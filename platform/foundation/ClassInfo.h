#pragma once
// What the runtime knows of one registered class: its name, superclass, factory, and the
// tables of methods (actions, delayed performs, stored selectors), outlets and properties
// (set from text, as interface files do) by name.

#include <any>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <typeindex>

#include "platform/foundation/NSGeometry.h"

#include "platform/foundation/Ref.h"
#include "platform/foundation/SEL.h"

class NSObject;

/// The argument of a performed selector: empty, a Ref<NSObject>, a std::string or a value.
using SelectorArg = std::any;

class ClassInfo {
  public:
    using Method = std::function<void(NSObject&, const SelectorArg&)>;
    using OutletSetter = std::function<bool(NSObject&, const Ref<NSObject>&)>;
    using Factory = std::function<Ref<NSObject>()>;
    /// Sets a property from its text form; false when the text is not a valid value.
    using PropertySetter = std::function<bool(NSObject&, const std::string&)>;

    ClassInfo(std::string name, std::type_index type, const ClassInfo* superclass)
        : name_(std::move(name)), type_(type), superclass_(superclass) {}

    const std::string& name() const { return name_; }
    std::type_index type() const { return type_; }
    const ClassInfo* superclass() const { return superclass_; }
    /// Links the superclass (the registry does, when it is registered after this class).
    void setSuperclass(const ClassInfo* superclass) { superclass_ = superclass; }
    /// Whether this class is `other` or inherits from it.
    bool isSubclassOf(const ClassInfo& other) const;

    /// A new instance, or nullptr for a class that cannot be created by name.
    Ref<NSObject> createInstance() const { return factory_ ? factory_() : nullptr; }
    void setFactory(Factory f) { factory_ = std::move(f); }

    /// The method for `sel` in this class or its superclasses, or nullptr.
    const Method* findMethod(SEL sel) const;
    void addMethod(SEL sel, Method m) { methods_[sel] = std::move(m); }

    /// The setter of outlet `name` in this class or its superclasses, or nullptr.
    const OutletSetter* findOutlet(const std::string& name) const;
    void addOutlet(std::string name, OutletSetter s) { outlets_[std::move(name)] = std::move(s); }

    /// The setter of property `name` in this class or its superclasses, or nullptr.
    const PropertySetter* findProperty(const std::string& name) const;
    void addProperty(std::string name, PropertySetter s) {
        properties_[std::move(name)] = std::move(s);
    }

  private:
    std::string name_;
    std::type_index type_;
    const ClassInfo* superclass_;
    Factory factory_;
    std::map<SEL, Method> methods_;
    std::map<std::string, OutletSetter> outlets_;
    std::map<std::string, PropertySetter> properties_;
};

/// Text forms of property values, as interface files write them. Each answers false (leaving
/// `out` alone) unless the whole text, surrounding blanks aside, is one valid value.
namespace platform {
/// Any text, as is.
bool parsePropertyText(std::string_view text, std::string& out);
/// "YES"/"NO", "true"/"false", "1"/"0".
bool parsePropertyText(std::string_view text, bool& out);
/// Decimal integers, within the type's range.
bool parsePropertyText(std::string_view text, int& out);
bool parsePropertyText(std::string_view text, long& out);
/// Decimal numbers ("12", "-0.5", "1e3"); no NaN or infinity.
bool parsePropertyText(std::string_view text, double& out);
bool parsePropertyText(std::string_view text, float& out);
/// "x y": numbers separated by blanks.
bool parsePropertyText(std::string_view text, NSPoint& out);
/// "width height".
bool parsePropertyText(std::string_view text, NSSize& out);
/// "x y width height".
bool parsePropertyText(std::string_view text, NSRect& out);
}  // namespace platform
