#include "platform/graphics/NSColor.h"

#include <cmath>
#include <memory>

#include "platform/foundation/NSString.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/graphics/NSImage.h"
#include "platform/graphics/detail/CairoGraphics.h"

namespace {

CGFloat clampComponent(CGFloat v) {
    if (std::isnan(v) || v < 0) return 0;
    return v > 1 ? 1 : v;
}

}  // namespace

NSColor::NSColor(Key, Space space, CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha,
                 std::string name)
    : space_(space),
      red_(clampComponent(red)),
      green_(clampComponent(green)),
      blue_(clampComponent(blue)),
      alpha_(clampComponent(alpha)),
      name_(std::move(name)) {}

Ref<NSColor> NSColor::colorWithDeviceRed(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha) {
    return std::make_shared<NSColor>(Key{}, Space::DeviceRGB, red, green, blue, alpha);
}

Ref<NSColor> NSColor::colorWithCalibratedRed(CGFloat red, CGFloat green, CGFloat blue,
                                             CGFloat alpha) {
    return std::make_shared<NSColor>(Key{}, Space::CalibratedRGB, red, green, blue, alpha);
}

Ref<NSColor> NSColor::colorWithDeviceWhite(CGFloat white, CGFloat alpha) {
    return std::make_shared<NSColor>(Key{}, Space::DeviceWhite, white, white, white, alpha);
}

Ref<NSColor> NSColor::colorWithCalibratedWhite(CGFloat white, CGFloat alpha) {
    return std::make_shared<NSColor>(Key{}, Space::CalibratedWhite, white, white, white, alpha);
}

Ref<NSColor> NSColor::colorWithPatternImage(Ref<NSImage> image) {
    auto color = std::make_shared<NSColor>(Key{}, Space::Pattern, 0, 0, 0, 1);
    color->pattern_ = std::move(image);
    return color;
}

// Shared instances, made on first use (thread-safe static initialisation).
#define NSCOLOR_SHARED(method, expr)        \
    Ref<NSColor> NSColor::method() {        \
        static const Ref<NSColor> c = expr; \
        return c;                           \
    }

NSCOLOR_SHARED(clearColor, colorWithCalibratedWhite(0, 0))
NSCOLOR_SHARED(whiteColor, colorWithCalibratedWhite(1, 1))
NSCOLOR_SHARED(blackColor, colorWithCalibratedWhite(0, 1))
NSCOLOR_SHARED(grayColor, colorWithCalibratedWhite(0.5, 1))
NSCOLOR_SHARED(darkGrayColor, colorWithCalibratedWhite(1.0 / 3.0, 1))
NSCOLOR_SHARED(lightGrayColor, colorWithCalibratedWhite(2.0 / 3.0, 1))
NSCOLOR_SHARED(redColor, colorWithCalibratedRed(1, 0, 0, 1))
NSCOLOR_SHARED(greenColor, colorWithCalibratedRed(0, 1, 0, 1))
NSCOLOR_SHARED(blueColor, colorWithCalibratedRed(0, 0, 1, 1))
NSCOLOR_SHARED(yellowColor, colorWithCalibratedRed(1, 1, 0, 1))
NSCOLOR_SHARED(orangeColor, colorWithCalibratedRed(1, 0.5, 0, 1))

#define NSCOLOR_SYSTEM(method, r, g, b, a) \
    NSCOLOR_SHARED(method, std::make_shared<NSColor>(Key{}, Space::Named, r, g, b, a, #method))

NSCOLOR_SYSTEM(controlTextColor, 1, 1, 1, 0.85)
NSCOLOR_SYSTEM(textColor, 1, 1, 1, 1)
NSCOLOR_SYSTEM(selectedControlColor, 0x3F / 255.0, 0x63 / 255.0, 0x8B / 255.0, 1)
NSCOLOR_SYSTEM(windowBackgroundColor, 0x32 / 255.0, 0x32 / 255.0, 0x32 / 255.0, 1)
NSCOLOR_SYSTEM(controlColor, 1, 1, 1, 0.25)
NSCOLOR_SYSTEM(controlBackgroundColor, 0x1E / 255.0, 0x1E / 255.0, 0x1E / 255.0, 1)
NSCOLOR_SYSTEM(alternateSelectedControlColor, 0x00 / 255.0, 0x58 / 255.0, 0xD0 / 255.0, 1)

#undef NSCOLOR_SYSTEM
#undef NSCOLOR_SHARED

void NSColor::getRed(CGFloat* red, CGFloat* green, CGFloat* blue, CGFloat* alpha) const {
    if (red) *red = red_;
    if (green) *green = green_;
    if (blue) *blue = blue_;
    if (alpha) *alpha = alpha_;
}

CGFloat NSColor::whiteComponent() const {
    if (space_ == Space::DeviceWhite || space_ == Space::CalibratedWhite) return red_;
    return (red_ + green_ + blue_) / 3;
}

long NSColor::numberOfComponents() const {
    return space_ == Space::DeviceWhite || space_ == Space::CalibratedWhite ? 2 : 4;
}

Ref<NSColor> NSColor::colorWithAlphaComponent(CGFloat alpha) const {
    auto color = std::make_shared<NSColor>(Key{}, space_, red_, green_, blue_, alpha, name_);
    color->pattern_ = pattern_;
    return color;
}

namespace {

Ref<NSColor> copyOf(const NSColor& color) {
    Ref<NSColor> copy = color.colorWithAlphaComponent(color.alphaComponent());
    return copy;
}

}  // namespace

void NSColor::set() const {
    if (auto context = NSGraphicsContext::currentContext()) {
        auto& state = platform::detail::stateOf(*context);
        state.fill = state.stroke = copyOf(*this);
    }
}

void NSColor::setFill() const {
    if (auto context = NSGraphicsContext::currentContext())
        platform::detail::stateOf(*context).fill = copyOf(*this);
}

void NSColor::setStroke() const {
    if (auto context = NSGraphicsContext::currentContext())
        platform::detail::stateOf(*context).stroke = copyOf(*this);
}

std::string NSColor::colorSpaceName() const {
    switch (space_) {
        case Space::DeviceRGB:
            return "NSDeviceRGBColorSpace";
        case Space::CalibratedRGB:
            return "NSCalibratedRGBColorSpace";
        case Space::DeviceWhite:
            return "NSDeviceWhiteColorSpace";
        case Space::CalibratedWhite:
            return "NSCalibratedWhiteColorSpace";
        case Space::Named:
            return "NSNamedColorSpace";
        case Space::Pattern:
            return "NSPatternColorSpace";
    }
    return "NSDeviceRGBColorSpace";
}

std::string NSColor::description() const {
    switch (space_) {
        case Space::Named:
            return "NSNamedColorSpace System " + name_;
        case Space::Pattern:
            return "NSPatternColorSpace";
        case Space::DeviceWhite:
        case Space::CalibratedWhite:
            return ns::stringWithFormat("%@ %g %g", colorSpaceName(), red_, alpha_);
        default:
            return ns::stringWithFormat("%@ %g %g %g %g", colorSpaceName(), red_, green_, blue_,
                                        alpha_);
    }
}

bool NSColor::operator==(const NSColor& other) const {
    return space_ == other.space_ && name_ == other.name_ && pattern_ == other.pattern_ &&
           red_ == other.red_ && green_ == other.green_ && blue_ == other.blue_ &&
           alpha_ == other.alpha_;
}
