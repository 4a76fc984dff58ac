#pragma once
// Platform-internal access to the Cairo objects behind the drawing kit. Only platform code
// includes this header; the application never sees a Cairo type.

#include <cairo.h>

#include <functional>

#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSGraphicsContext.h"

class NSImage;
class NSShadow;

namespace platform::detail {

/// The part of the graphics state that Cairo does not keep.
struct GraphicsState {
    Ref<NSColor> fill;    ///< nullptr: black
    Ref<NSColor> stroke;  ///< nullptr: black
    Ref<NSShadow> shadow;
    NSCompositingOperation operation = NSCompositingOperationSourceOver;
    NSImageInterpolation interpolation = NSImageInterpolationDefault;
    double alpha = 1;
    bool flipped = false;
};

/// The Cairo context that `context` draws with.
cairo_t* cairoOf(const NSGraphicsContext& context);
/// The current platform state of `context`.
GraphicsState& stateOf(const NSGraphicsContext& context);
/// A context that draws with `cr` (referenced, not copied) whose current coordinates are
/// flipped or not as given; the transform of `cr` at this call is what `NSAffineTransform::set`
/// starts from.
Ref<NSGraphicsContext> contextForCairo(cairo_t* cr, bool flipped);

/// Sets the transform of `context` back to the one it was made with (for NSAffineTransform::set).
void resetToBaseTransform(const NSGraphicsContext& context);

/// The Cairo operator for a compositing operation.
cairo_operator_t cairoOperator(NSCompositingOperation operation);
/// Makes `color` the source of `cr` (pattern colours tile their image); nullptr is black.
void setSourceColor(cairo_t* cr, const Ref<NSColor>& color);

/// Draws the coverage of one drawing onto the Cairo context it is given (for shadow masks).
using ShapePainter = std::function<void(cairo_t*)>;

/// Runs `draw` (which draws with the context's Cairo context) so that `shadow` (or, when
/// null, the shadow of the current state) is composited beneath what it draws, and, when the
/// context's alpha is below 1, composites the result source-over at that alpha.
/// Without `shape` the shadow is cast by what `draw` leaves inside the clip. With it, `shape`
/// paints the same drawing onto an unclipped mask with the current transform, so that parts
/// lying outside the clip cast shadow into it too, as a path does.
void drawWithShadow(const NSGraphicsContext& context, const std::function<void()>& draw,
                    const NSShadow* shadow = nullptr, const ShapePainter& shape = {});

/// A bitmap of `image` at `scale` pixels per point (a new reference; nullptr when the image has
/// nothing to draw).
cairo_surface_t* imageSurface(NSImage& image, double scale = 1);

}  // namespace platform::detail
