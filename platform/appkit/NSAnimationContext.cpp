#include "platform/appkit/NSAnimationContext.h"

#include <vector>

#include "platform/appkit/AnimationDriver.h"

namespace {

/// The default context at the bottom, then the open groups.
std::vector<std::unique_ptr<NSAnimationContext>>& contextStack() {
    static std::vector<std::unique_ptr<NSAnimationContext>> stack = [] {
        std::vector<std::unique_ptr<NSAnimationContext>> s;
        s.push_back(std::make_unique<NSAnimationContext>());
        return s;
    }();
    return stack;
}

}  // namespace

NSAnimationContext::NSAnimationContext() = default;

NSAnimationContext& NSAnimationContext::currentContext() {
    return *contextStack().back();
}

void NSAnimationContext::beginGrouping() {
    auto context = std::make_unique<NSAnimationContext>();
    context->group_ = std::make_shared<platform::detail::AnimationGroup>();
    contextStack().push_back(std::move(context));
}

void NSAnimationContext::endGrouping() {
    auto& stack = contextStack();
    if (stack.size() < 2) return;
    std::shared_ptr<platform::detail::AnimationGroup> group = stack.back()->group_;
    stack.pop_back();
    group->close();
}

void NSAnimationContext::runAnimationGroup(const std::function<void(NSAnimationContext&)>& changes,
                                           std::function<void()> completionHandler) {
    beginGrouping();
    NSAnimationContext& context = currentContext();
    context.group_->setCompletionHandler(std::move(completionHandler));
    if (changes) changes(context);
    endGrouping();
}

void NSAnimationContext::setCompletionHandler(std::function<void()> handler) {
    if (group_) group_->setCompletionHandler(std::move(handler));
}
