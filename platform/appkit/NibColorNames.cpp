#include "platform/appkit/NibColorNames.h"

#include <map>
#include <mutex>

#include "platform/graphics/NSColor.h"

namespace {

struct Table {
    std::mutex lock;
    std::map<std::string, Ref<NSColor>, std::less<>> colors;
};

Table& table() {
    static Table shared;
    return shared;
}

}  // namespace

void NibColorNames::registerColor(const std::string& name, Ref<NSColor> color) {
    Table& t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    t.colors[name] = std::move(color);
}

Ref<NSColor> NibColorNames::colorNamed(std::string_view name) {
    Table& t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.colors.find(name);
    return it == t.colors.end() ? nullptr : it->second;
}
