#include "controls/KBButton/KBButtonCell.h"

#include "controls/KBButton/TitleInColor.h"
#include "controls/kit/NSColor+ColorExtensions.h"
#include "platform/foundation/NSString.h"
#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSGradient.h"
#include "platform/graphics/NSGraphics.h"
#include "platform/graphics/NSGraphicsContext.h"

namespace {

/// Red, green and blue of the colour types, single precision as the table is kept.
struct TypeColor {
    float red, green, blue;
};

constexpr TypeColor kTypeColors[] = {
    {0.85f, 0.85f, 0.85f},  // 0 light grey
    {0.00f, 0.33f, 0.80f},  // 1 blue
    {0.18f, 0.59f, 0.71f},  // 2 teal
    {0.32f, 0.64f, 0.32f},  // 3 green
    {0.97f, 0.58f, 0.02f},  // 4 orange
    {0.74f, 0.21f, 0.18f},  // 5 red
    {0.13f, 0.13f, 0.13f},  // 6 near black
};

constexpr float kShade = 0.12f;
constexpr double kCornerRadius = 3;

}  // namespace

Ref<NSCell> KBButtonCell::clone() const {
    return std::make_shared<KBButtonCell>(*this);
}

Ref<NSColor> KBButtonCell::getColorForButtonType() const {
    const bool known = kbButtonType_ >= 0 && kbButtonType_ <= 6;
    const TypeColor& c = kTypeColors[known ? kbButtonType_ : 0];
    return NSColor::colorWithCalibratedRed(c.red, c.green, c.blue, 1.0);
}

void KBButtonCell::drawBezelWithFrame(NSRect frame, NSView*) {
    NSGraphicsContext::saveGraphicsState();
    const Ref<NSColor> color = getColorForButtonType();
    if (isHighlighted()) {
        NSBezierPath::bezierPathWithRoundedRect(frame, kCornerRadius, kCornerRadius)->addClip();
        darkenColorByValue(*color, kShade)->setFill();
        NSRectFillUsingOperation(frame, NSCompositingOperationSourceOver);
    } else {
        auto path = NSBezierPath::bezierPathWithRoundedRect(NSInsetRect(frame, 1, 1), kCornerRadius,
                                                            kCornerRadius);
        path->addClip();
        auto gradient =
            NSGradient::initWithStartingColor(lightenColorByValue(*color, kShade), color);
        gradient->drawInRect(path->bounds(), 90);
    }
    NSGraphicsContext::restoreGraphicsState();
}

NSRect KBButtonCell::drawTitle(const Ref<NSAttributedString>& title, NSRect frame,
                               NSView* controlView) {
    NSGraphicsContext::saveGraphicsState();
    const Ref<NSColor> textColor =
        isLightColor(*getColorForButtonType()) ? NSColor::blackColor() : NSColor::whiteColor();
    const Ref<NSAttributedString> shown = titleInColor(title, this->title(), textColor);
    const NSRect rect = NSButtonCell::drawTitle(shown, frame, controlView);
    NSGraphicsContext::restoreGraphicsState();
    return rect;
}

void KBButtonCell::registerClass() {
    ClassRegistry::shared()
        .registerClass<KBButtonCell, NSButtonCell>("KBButtonCell")
        .property("kbButtonType", &KBButtonCell::setKBButtonType);
}
