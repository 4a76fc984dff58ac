#include "platform/appkit/NSTrackingArea.h"

#include "platform/appkit/NSResponder.h"

Ref<NSTrackingArea> NSTrackingArea::make(NSRect rect, NSTrackingAreaOptions options,
                                         const Ref<NSResponder>& owner,
                                         std::map<std::string, std::string> userInfo) {
    auto area = std::make_shared<NSTrackingArea>();
    area->rect_ = rect;
    area->options_ = options;
    area->owner_ = owner;
    area->userInfo_ = std::move(userInfo);
    return area;
}
