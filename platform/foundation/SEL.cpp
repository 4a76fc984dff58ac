#include "platform/foundation/SEL.h"

#include <mutex>
#include <unordered_set>

namespace {

struct SelectorTable {
    std::mutex mutex;
    std::unordered_set<std::string> names;
};

SelectorTable& table() {
    static auto* t = new SelectorTable;  // never freed: selectors live for the process
    return *t;
}

const std::string& emptyName() {
    static const std::string empty;
    return empty;
}

}  // namespace

SEL::SEL(std::string_view name) {
    if (name.empty()) return;
    SelectorTable& t = table();
    std::lock_guard lock(t.mutex);
    name_ = &*t.names.emplace(name).first;
}

const std::string& SEL::name() const {
    return name_ ? *name_ : emptyName();
}
