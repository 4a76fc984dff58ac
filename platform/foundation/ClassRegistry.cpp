#include "platform/foundation/ClassRegistry.h"

#include "platform/foundation/NSObject.h"

ClassRegistry& ClassRegistry::shared() {
    static auto* registry = new ClassRegistry;  // lives for the process
    return *registry;
}

ClassInfo& ClassRegistry::add(std::string name, std::type_index type,
                              std::optional<std::type_index> super) {
    std::lock_guard lock(mutex_);
    auto findType = [this](std::type_index t) -> ClassInfo* {
        auto found = byType_.find(t);
        return found == byType_.end() ? nullptr : found->second;
    };
    auto it = byName_.find(name);
    if (it != byName_.end()) {
        ClassInfo& existing = *it->second;
        if (!existing.superclass() && super) existing.setSuperclass(findType(*super));
        return existing;
    }
    auto info = std::make_unique<ClassInfo>(name, type, super ? findType(*super) : nullptr);
    ClassInfo* raw = info.get();
    byName_.emplace(std::move(name), std::move(info));
    byType_[type] = raw;
    // Classes registered before their superclass get their link now.
    if (super && !raw->superclass()) pendingSuper_.emplace_back(raw, *super);
    for (auto p = pendingSuper_.begin(); p != pendingSuper_.end();) {
        if (p->second == type) {
            p->first->setSuperclass(raw);
            p = pendingSuper_.erase(p);
        } else {
            ++p;
        }
    }
    return *raw;
}

const ClassInfo* ClassRegistry::classNamed(std::string_view name) const {
    std::lock_guard lock(mutex_);
    auto it = byName_.find(std::string(name));
    return it == byName_.end() ? nullptr : it->second.get();
}

const ClassInfo* ClassRegistry::classOf(const std::type_info& type) const {
    std::lock_guard lock(mutex_);
    auto it = byType_.find(type);
    return it == byType_.end() ? nullptr : it->second;
}

Ref<NSObject> ClassRegistry::createInstance(std::string_view name) const {
    const ClassInfo* info = classNamed(name);
    return info ? info->createInstance() : nullptr;
}
