#include "windows/TCWindowButtonGroup.h"

#include <map>

const NSNotificationName TCWindowButtonGroupDidUpdateRolloverStateNotification =
    "TCWindowButtonGroupDidUpdateRolloverStateNotification";

const std::string TCWindowButtonGroup::kDefaultIdentifier =
    "com.quorvane.TCImageWindow.defaultWindowButtonGroup";

namespace {

std::map<std::string, Ref<TCWindowButtonGroup>>& registry() {
    static std::map<std::string, Ref<TCWindowButtonGroup>> groups;
    return groups;
}

}  // namespace

Ref<TCWindowButtonGroup> TCWindowButtonGroup::groupWithIdentifier(
    const std::optional<std::string>& identifier) {
    const std::string& key = identifier ? *identifier : kDefaultIdentifier;
    auto& groups = registry();
    auto found = groups.find(key);
    if (found != groups.end()) return found->second;
    auto group = make(key);
    groups.emplace(key, group);
    return group;
}

void TCWindowButtonGroup::initWithIdentifier(const std::string& identifier) {
    identifier_ = identifier;
    numberOfCaptures_ = 0;
}

void TCWindowButtonGroup::setNumberOfCaptures(std::int64_t count) {
    if (count < 0 || count == numberOfCaptures_) return;
    numberOfCaptures_ = count;
    NSNotificationCenter::defaultCenter().postNotificationName(
        TCWindowButtonGroupDidUpdateRolloverStateNotification, this);
}

void TCWindowButtonGroup::didCaptureMousePointer() {
    setNumberOfCaptures(numberOfCaptures_ + 1);
}

void TCWindowButtonGroup::didReleaseMousePointer() {
    setNumberOfCaptures(numberOfCaptures_ - 1);
}

void TCWindowButtonGroup::resetMouseCaptures() {
    setNumberOfCaptures(0);
}

void TCWindowButtonGroup::registerClass() {
    ClassRegistry::shared()
        .registerClass<TCWindowButtonGroup, NSObject>("TCWindowButtonGroup")
        .method("didCaptureMousePointer", &TCWindowButtonGroup::didCaptureMousePointer)
        .method("didReleaseMousePointer", &TCWindowButtonGroup::didReleaseMousePointer)
        .method("resetMouseCaptures", &TCWindowButtonGroup::resetMouseCaptures);
}
