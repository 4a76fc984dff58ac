#pragma once
// The process-wide registry of classes: creation by name (interface files, principal class),
// and the method and outlet tables behind respondsToSelector / performSelector / outlets.
//
//   ClassRegistry::shared().registerClass<ZRAppDelegate, NSObject>("ZRAppDelegate")
//       .action("selectUninstallView:", &ZRAppDelegate::selectUninstallView)
//       .outlet("window", &ZRAppDelegate::setWindow);
//   ClassRegistry::shared().registerClass<NSButton, NSControl>("NSButton")
//       .property("title", &NSButton::setTitle)      // text forms: see parsePropertyText
//       .property("image", [](NSButton& b, const std::string& name) { ...; return true; });

#include <any>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeindex>
#include <unordered_map>
#include <vector>

#include "platform/foundation/ClassInfo.h"

namespace platform::detail {

template <class T>
struct IsObjectRef : std::false_type {};
template <class T>
struct IsObjectRef<std::shared_ptr<T>> : std::is_base_of<NSObject, T> {};

/// Reads a selector argument as the parameter type a method declares.
template <class P>
std::remove_cvref_t<P> selectorArgAs(const SelectorArg& arg) {
    using D = std::remove_cvref_t<P>;
    if constexpr (std::is_same_v<D, SelectorArg>) {
        return arg;
    } else if constexpr (IsObjectRef<D>::value) {
        if (const auto* obj = std::any_cast<Ref<NSObject>>(&arg))
            return std::dynamic_pointer_cast<typename D::element_type>(*obj);
        return nullptr;
    } else if constexpr (std::is_pointer_v<D> &&
                         std::is_base_of_v<NSObject, std::remove_cv_t<std::remove_pointer_t<D>>>) {
        // A raw sender: the object the argument holds, when it has the right class.
        if (const auto* obj = std::any_cast<Ref<NSObject>>(&arg))
            return dynamic_cast<D>(obj->get());
        if (const auto* raw = std::any_cast<D>(&arg)) return *raw;
        return nullptr;
    } else if constexpr (std::is_same_v<D, std::string>) {
        if (const auto* s = std::any_cast<std::string>(&arg)) return *s;
        if (const auto* c = std::any_cast<const char*>(&arg)) return std::string(*c);
        return std::string();
    } else {
        if (const auto* v = std::any_cast<D>(&arg)) return *v;
        return D{};
    }
}

}  // namespace platform::detail

template <class T>
class ClassBuilder {
  public:
    explicit ClassBuilder(ClassInfo& info) : info_(info) {}

    /// Registers a method that takes no argument.
    ClassBuilder& method(std::string_view selector, void (T::*m)()) {
        info_.addMethod(SEL(selector),
                        [m](NSObject& self, const SelectorArg&) { (static_cast<T&>(self).*m)(); });
        return *this;
    }

    /// Registers a method of one argument; actions take their sender, `id` style.
    template <class P>
    ClassBuilder& method(std::string_view selector, void (T::*m)(P)) {
        info_.addMethod(SEL(selector), [m](NSObject& self, const SelectorArg& arg) {
            (static_cast<T&>(self).*m)(platform::detail::selectorArgAs<P>(arg));
        });
        return *this;
    }

    /// Same as `method`; reads better for target/action methods.
    template <class M>
    ClassBuilder& action(std::string_view selector, M m) {
        return method(selector, m);
    }

    /// Registers an outlet set through `setter`; a value of the wrong class is refused.
    template <class V>
    ClassBuilder& outlet(std::string_view name, void (T::*setter)(const Ref<V>&)) {
        info_.addOutlet(std::string(name), [setter](NSObject& self, const Ref<NSObject>& value) {
            Ref<V> typed = std::dynamic_pointer_cast<V>(value);
            if (value && !typed) return false;
            (static_cast<T&>(self).*setter)(typed);
            return true;
        });
        return *this;
    }

    /// Registers an outlet stored straight into a member.
    template <class V>
    ClassBuilder& outlet(std::string_view name, Ref<V> T::*field) {
        info_.addOutlet(std::string(name), [field](NSObject& self, const Ref<NSObject>& value) {
            Ref<V> typed = std::dynamic_pointer_cast<V>(value);
            if (value && !typed) return false;
            static_cast<T&>(self).*field = typed;
            return true;
        });
        return *this;
    }

    /// A weak outlet (delegates, targets) stored straight into a member.
    template <class V>
    ClassBuilder& outlet(std::string_view name, WeakRef<V> T::*field) {
        info_.addOutlet(std::string(name), [field](NSObject& self, const Ref<NSObject>& value) {
            Ref<V> typed = std::dynamic_pointer_cast<V>(value);
            if (value && !typed) return false;
            static_cast<T&>(self).*field = typed;
            return true;
        });
        return *this;
    }

    /// Registers a property set from text through `setter`, which takes a std::string, bool,
    /// int, long, float, double, NSPoint, NSSize or NSRect (by value or const reference); the
    /// text forms are those of platform::parsePropertyText.
    template <class P>
    ClassBuilder& property(std::string_view name, void (T::*setter)(P)) {
        info_.addProperty(std::string(name), [setter](NSObject& self, const std::string& text) {
            std::remove_cvref_t<P> value{};
            if (!platform::parsePropertyText(text, value)) return false;
            (static_cast<T&>(self).*setter)(value);
            return true;
        });
        return *this;
    }

    /// Registers a property with its own parser (colours, fonts, images by name); the hook
    /// answers false when the text is not a valid value.
    ClassBuilder& property(std::string_view name,
                           std::function<bool(T&, const std::string&)> setter) {
        info_.addProperty(std::string(name),
                          [setter = std::move(setter)](NSObject& self, const std::string& text) {
                              return setter(static_cast<T&>(self), text);
                          });
        return *this;
    }

    const ClassInfo& info() const { return info_; }

  private:
    ClassInfo& info_;
};

class ClassRegistry {
  public:
    /// The process-wide registry.
    static ClassRegistry& shared();

    /// Registers (or finds again) class T named `name` as a subclass of Super; T is created
    /// by name when it is default-constructible. Registering twice returns the same entry.
    /// Super may be registered later: the link is made when it is.
    template <class T, class Super>
    ClassBuilder<T> registerClass(std::string_view name) {
        static_assert(std::is_base_of_v<Super, T>);
        std::optional<std::type_index> super;
        if constexpr (!std::is_same_v<T, Super>) super = std::type_index(typeid(Super));
        ClassInfo& info = add(std::string(name), typeid(T), super);
        if constexpr (std::is_default_constructible_v<T> && !std::is_abstract_v<T>)
            info.setFactory(
                [] { return std::static_pointer_cast<NSObject>(std::make_shared<T>()); });
        return ClassBuilder<T>(info);
    }

    /// The class registered under `name`, or nullptr.
    const ClassInfo* classNamed(std::string_view name) const;
    /// The registered class of a C++ type (the dynamic type of an object), or nullptr.
    const ClassInfo* classOf(const std::type_info& type) const;
    /// A new instance of the class named `name`, or nullptr.
    Ref<NSObject> createInstance(std::string_view name) const;

  private:
    ClassInfo& add(std::string name, std::type_index type, std::optional<std::type_index> super);

    mutable std::mutex mutex_;
    std::unordered_map<std::string, std::unique_ptr<ClassInfo>> byName_;
    std::unordered_map<std::type_index, ClassInfo*> byType_;
    /// Classes whose superclass type is not registered yet.
    std::vector<std::pair<ClassInfo*, std::type_index>> pendingSuper_;
};

/// The platform's NSClassFromString.
inline const ClassInfo* NSClassFromString(std::string_view name) {
    return ClassRegistry::shared().classNamed(name);
}
