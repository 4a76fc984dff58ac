#pragma once
// What the runtime knows of one registered class: its name, superclass, factory, and the
// tables of methods (actions, delayed performs, stored selectors) and outlets by name.

#include <any>
#include <functional>
#include <map>
#include <string>
#include <typeindex>

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

    ClassInfo(std::string name, std::type_index type, const ClassInfo* superclass)
        : name_(std::move(name)), type_(type), superclass_(superclass) {}

    const std::string& name() const { return name_; }
    std::type_index type() const { return type_; }
    const ClassInfo* superclass() const { return superclass_; }
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

  private:
    std::string name_;
    std::type_index type_;
    const ClassInfo* superclass_;
    Factory factory_;
    std::map<SEL, Method> methods_;
    std::map<std::string, OutletSetter> outlets_;
};
