#pragma once
// Linear colour gradients between colour stops, drawn into rectangles, paths or between points.

#include <utility>
#include <vector>

#include "platform/foundation/NSGeometry.h"
#include "platform/foundation/Ref.h"
#include "platform/graphics/NSColor.h"

class NSBezierPath;

enum NSGradientDrawingOptions : unsigned long {
    NSGradientDrawsBeforeStartingLocation = 1 << 0,
    NSGradientDrawsAfterEndingLocation = 1 << 1,
};

class NSGradient {
  public:
    /// From `start` at location 0 to `end` at location 1.
    static Ref<NSGradient> initWithStartingColor(const Ref<NSColor>& start,
                                                 const Ref<NSColor>& end);
    /// Colours spaced evenly from 0 to 1 (one colour: a solid gradient); nullptr when empty.
    static Ref<NSGradient> initWithColors(const std::vector<Ref<NSColor>>& colors);
    /// Colours at the given locations (0..1); nullptr when empty.
    static Ref<NSGradient> initWithColorsAndLocations(
        const std::vector<std::pair<Ref<NSColor>, double>>& stops);

    /// Fills `rect` with the gradient running along `angle` degrees (0: from the left edge to the
    /// right edge, 90: from minimum y to maximum y, i.e. bottom to top unless flipped).
    void drawInRect(NSRect rect, double angle) const;
    /// Fills `path` (clipped to it) with the gradient across the path's bounds at `angle`.
    void drawInBezierPath(const NSBezierPath& path, double angle) const;
    /// Draws the gradient from `start` to `end` across the current clip; beyond the ends only
    /// where `options` asks.
    void drawFromPoint(NSPoint start, NSPoint end, unsigned long options) const;

    std::size_t numberOfColorStops() const { return stops_.size(); }
    /// The colour and location of stop `index`.
    std::pair<Ref<NSColor>, double> colorStop(std::size_t index) const { return stops_.at(index); }

    explicit NSGradient(std::vector<std::pair<Ref<NSColor>, double>> stops);

  private:
    void drawAlong(NSPoint start, NSPoint end, bool extend) const;

    std::vector<std::pair<Ref<NSColor>, double>> stops_;
};
