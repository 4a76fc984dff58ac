#include "platform/foundation/ClassInfo.h"

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
