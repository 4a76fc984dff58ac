#include "appsManager/EUProgressView.h"

#include "platform/dispatch/Dispatch.h"
#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSColor.h"
#include "services/Palette.h"

namespace {
constexpr double kBarHeight = 8.0;
}

void EUProgressView::initWithFrame(NSRect frame) {
    NSView::initWithFrame(frame);
    pProgress1_ = NSProgressBar::make(NSMakeRect(0, 0, 0, kBarHeight));
    pProgress1_->setAutoresizingMask(NSViewWidthSizable | NSViewMaxXMargin);
    addSubview(pProgress1_);
}

void EUProgressView::changeProgressValue(float percent) {
    WeakRef<EUProgressView> weak =
        std::static_pointer_cast<EUProgressView>(weak_from_this().lock());
    dispatch_async(dispatch_get_main_queue(), [weak, percent] {
        auto self = weak.lock();
        if (!self || !self->pProgress1_) return;
        const float width = static_cast<float>(self->frame().size.width);
        float bar = static_cast<float>(width * (percent / 100.0));
        if (bar > width - 1) bar = width;
        self->pProgress1_->setFrame(NSMakeRect(0, 0, bar, kBarHeight));
        self->pProgress1_->setNeedsDisplay(true);
        self->setNeedsDisplay(true);
    });
}

void EUProgressView::drawRect(NSRect dirtyRect) {
    Palette::progressTrackTint()->setFill();
    NSBezierPath::bezierPathWithRoundedRect(dirtyRect, 3.0, 3.0)->fill();
}

void EUProgressView::registerClass() {
    ClassRegistry::shared().registerClass<EUProgressView, NSView>("EUProgressView");
}
