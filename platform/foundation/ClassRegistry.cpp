#include "platform/foundation/ClassRegistry.h"

#include "platform/foundation/NSObject.h"

ClassRegistry& ClassRegistry::shared() {
    static auto* registry = new ClassRegistry;  // lives for the process
    return *registry;
}

ClassInfo& ClassRegistry::add(std::string name, std::type_index type, const ClassInfo* super) {
    std::lock_guard lock(mutex_);
    auto it = byName_.find(name);
    if (it != byName_.end()) return *it->second;
    auto info = std::make_unique<ClassInfo>(name, type, super);
    ClassInfo* raw = info.get();
    byName_.emplace(std::move(name), std::move(info));
    byType_[type] = raw;
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
