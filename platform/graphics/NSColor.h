#pragma once
// Colours: RGBA components in 0..1 (device or calibrated RGB, white, or a named system
// colour that reads as RGBA). Standard and system colours are shared instances.

#include <string>

#include "platform/foundation/Ref.h"

class NSImage;

/// A component or coordinate (double, as on 64-bit platforms).
using CGFloat = double;

/// An immutable colour. Components are clamped to 0..1 (NaN reads as 0) and are never
/// premultiplied. Every colour answers its RGBA components, whatever its colour space.
class NSColor {
  private:
    struct Key {};  // only the factories construct

  public:
    enum class Space { DeviceRGB, CalibratedRGB, DeviceWhite, CalibratedWhite, Named, Pattern };

    /// Device RGB ("NSDeviceRGBColorSpace").
    static Ref<NSColor> colorWithDeviceRed(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha);
    /// Calibrated RGB ("NSCalibratedRGBColorSpace").
    static Ref<NSColor> colorWithCalibratedRed(CGFloat red, CGFloat green, CGFloat blue,
                                               CGFloat alpha);
    /// Device grey level ("NSDeviceWhiteColorSpace"); reads as red = green = blue = white.
    static Ref<NSColor> colorWithDeviceWhite(CGFloat white, CGFloat alpha);
    /// Calibrated grey level ("NSCalibratedWhiteColorSpace").
    static Ref<NSColor> colorWithCalibratedWhite(CGFloat white, CGFloat alpha);

    /// A colour that paints `image` tiled from the origin of the current coordinates; its
    /// components read as opaque black ("NSPatternColorSpace").
    static Ref<NSColor> colorWithPatternImage(Ref<NSImage> image);

    // Standard colours, calibrated as on the platform.
    static Ref<NSColor> clearColor();      ///< white 0, alpha 0
    static Ref<NSColor> whiteColor();      ///< white 1
    static Ref<NSColor> blackColor();      ///< white 0
    static Ref<NSColor> grayColor();       ///< white 0.5
    static Ref<NSColor> darkGrayColor();   ///< white 1/3
    static Ref<NSColor> lightGrayColor();  ///< white 2/3
    static Ref<NSColor> redColor();        ///< 1 0 0
    static Ref<NSColor> greenColor();      ///< 0 1 0
    static Ref<NSColor> blueColor();       ///< 0 0 1
    static Ref<NSColor> yellowColor();     ///< 1 1 0
    static Ref<NSColor> orangeColor();     ///< 1 0.5 0

    // System colours ("NSNamedColorSpace"), with the values of the dark look.
    static Ref<NSColor> controlTextColor();               ///< white, alpha 0.85
    static Ref<NSColor> textColor();                      ///< white
    static Ref<NSColor> selectedControlColor();           ///< #3F638B
    static Ref<NSColor> windowBackgroundColor();          ///< #323232
    static Ref<NSColor> controlColor();                   ///< white, alpha 0.25
    static Ref<NSColor> controlBackgroundColor();         ///< #1E1E1E
    static Ref<NSColor> alternateSelectedControlColor();  ///< #0058D0

    /// Built by the factories only.
    NSColor(Key, Space space, CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha,
            std::string name = {});

    CGFloat redComponent() const { return red_; }
    CGFloat greenComponent() const { return green_; }
    CGFloat blueComponent() const { return blue_; }
    CGFloat alphaComponent() const { return alpha_; }
    /// Copies the components into the pointers that are not null.
    void getRed(CGFloat* red, CGFloat* green, CGFloat* blue, CGFloat* alpha) const;
    /// The grey level of a grey colour (device or calibrated white); other colours answer the
    /// mean of their red, green and blue.
    CGFloat whiteComponent() const;
    /// 2 for grey colours (white and alpha), 4 for every other colour (red, green, blue and
    /// alpha).
    long numberOfComponents() const;

    /// The same colour (space, name, components) with `alpha` in place of its alpha.
    Ref<NSColor> colorWithAlphaComponent(CGFloat alpha) const;

    Space space() const { return space_; }
    /// "NSDeviceRGBColorSpace", "NSCalibratedRGBColorSpace", "NSDeviceWhiteColorSpace",
    /// "NSCalibratedWhiteColorSpace" or "NSNamedColorSpace".
    std::string colorSpaceName() const;
    /// The name of a system colour ("controlTextColor"); empty for other colours.
    const std::string& colorNameComponent() const { return name_; }
    /// "NSCalibratedRGBColorSpace 1 0 0 1", "NSDeviceWhiteColorSpace 0.5 1",
    /// "NSNamedColorSpace System controlTextColor".
    std::string description() const;

    /// The tiled image of a pattern colour; nullptr for other colours.
    const Ref<NSImage>& patternImage() const { return pattern_; }

    /// Makes this the current context's fill and stroke colour.
    void set() const;
    /// Makes this the current context's fill colour.
    void setFill() const;
    /// Makes this the current context's stroke colour.
    void setStroke() const;

    /// Equal when space, name, pattern image and every component are.
    bool operator==(const NSColor& other) const;

  private:
    Space space_;
    CGFloat red_, green_, blue_, alpha_;
    std::string name_;
    Ref<NSImage> pattern_;
};
