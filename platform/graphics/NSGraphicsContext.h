#pragma once
// The drawing destination: a Cairo context with the platform's graphics state (fill and stroke
// colours, shadow, compositing operation, alpha) and a per-thread current context.

#include <cstdint>
#include <string>

#include "platform/foundation/NSGeometry.h"
#include "platform/foundation/Ref.h"

class NSAffineTransform;

/// How drawing combines with what is already there (the platform's values).
enum NSCompositingOperation : unsigned long {
    NSCompositingOperationClear = 0,
    NSCompositingOperationCopy = 1,
    NSCompositingOperationSourceOver = 2,
    NSCompositingOperationSourceIn = 3,
    NSCompositingOperationSourceOut = 4,
    NSCompositingOperationSourceAtop = 5,
    NSCompositingOperationDestinationOver = 6,
    NSCompositingOperationDestinationIn = 7,
    NSCompositingOperationDestinationOut = 8,
    NSCompositingOperationDestinationAtop = 9,
    NSCompositingOperationXOR = 10,
    NSCompositingOperationPlusDarker = 11,
    NSCompositingOperationHighlight = 12,  ///< drawn as source-over
    NSCompositingOperationPlusLighter = 13,
    // The older spellings.
    NSCompositeClear = 0,
    NSCompositeCopy = 1,
    NSCompositeSourceOver = 2,
    NSCompositeSourceIn = 3,
    NSCompositeSourceOut = 4,
    NSCompositeSourceAtop = 5,
    NSCompositeDestinationOver = 6,
    NSCompositeDestinationIn = 7,
    NSCompositeDestinationOut = 8,
    NSCompositeDestinationAtop = 9,
    NSCompositeXOR = 10,
    NSCompositePlusDarker = 11,
    NSCompositePlusLighter = 13,
};

/// How images are resampled when drawn scaled.
enum NSImageInterpolation : unsigned long {
    NSImageInterpolationDefault = 0,
    NSImageInterpolationNone = 1,
    NSImageInterpolationLow = 2,
    NSImageInterpolationHigh = 3,
};

class NSGraphicsContext {
  public:
    struct Impl;

    /// An un-premultiplied pixel.
    struct Pixel {
        std::uint8_t r = 0, g = 0, b = 0, a = 0;
        bool operator==(const Pixel&) const = default;
    };

    /// A transparent ARGB32 bitmap of `width` x `height` points (one pixel per point). Unless
    /// `flipped`, the context's y axis points up with y = 0 at the bottom edge, as on the
    /// platform; flipped contexts have y = 0 at the top.
    static Ref<NSGraphicsContext> contextWithBitmap(int width, int height, bool flipped = false);

    /// The context that drawing goes to on this thread; nullptr when there is none.
    static Ref<NSGraphicsContext> currentContext();
    /// Makes `context` current on this thread (nullptr: none).
    static void setCurrentContext(const Ref<NSGraphicsContext>& context);
    /// Saves the current context's state and remembers which context is current.
    static void saveGraphicsState();
    /// Makes the context remembered by the matching saveGraphicsState() current again and
    /// restores its state.
    static void restoreGraphicsState();

    explicit NSGraphicsContext(Impl* impl);
    ~NSGraphicsContext();
    NSGraphicsContext(const NSGraphicsContext&) = delete;
    NSGraphicsContext& operator=(const NSGraphicsContext&) = delete;

    // The instance forms of -saveGraphicsState / -restoreGraphicsState (C++ cannot overload a
    // static and a member function of the same signature).
    /// Pushes a copy of the state: transform, clip, colours, shadow, operation, alpha.
    void saveState();
    /// Pops the state pushed last; does nothing when none is saved.
    void restoreState();

    /// Whether y points down in the current coordinates.
    bool isFlipped() const;
    /// For the view renderer: records whether the coordinates it set up are flipped. The
    /// transform is not changed.
    void setFlipped(bool flipped);

    NSImageInterpolation imageInterpolation() const;
    void setImageInterpolation(NSImageInterpolation interpolation);
    /// Antialiasing of fills, strokes and text (on by default).
    bool shouldAntialias() const;
    void setShouldAntialias(bool antialias);
    /// The operation used by fills, strokes and text (source-over by default).
    NSCompositingOperation compositingOperation() const;
    void setCompositingOperation(NSCompositingOperation operation);
    /// A factor (0..1) on the alpha of everything drawn in this context (fills, strokes,
    /// gradients, text, images and their shadows); below 1 each drawing is laid on source-over,
    /// whatever the compositing operation.
    double alpha() const;
    void setAlpha(double alpha);

    /// Moves the origin of the current coordinates.
    void translate(double dx, double dy);
    /// Scales the current coordinates.
    void scale(double sx, double sy);
    /// Applies `transform` to the current coordinates.
    void concat(const NSAffineTransform& transform);

    /// Bitmap contexts: the size in pixels (0 for other contexts).
    int pixelsWide() const;
    int pixelsHigh() const;
    /// Bitmap contexts: the pixel at column `x`, row `y` counted in pixels from the TOP-LEFT
    /// corner of the bitmap whatever the flipping (transparent outside the bitmap).
    Pixel pixelAt(int x, int y) const;
    /// Bitmap contexts: writes the bitmap as a PNG file; false on failure.
    bool writePNG(const std::string& path) const;

    Impl& impl() const { return *impl_; }

  private:
    Impl* impl_;
};
