#pragma once
// Renderings of one SVG document, kept per device pixel size and placement, so that drawing
// the document again the same way copies its pixels instead of rendering its vectors again.
// A document keeps a few; all documents together keep at most a fixed budget of pixels.
// Not thread-safe: its owner (an image) guards it.

#include <cairo.h>
#include <librsvg/rsvg.h>

#include <cstddef>
#include <vector>

#include "platform/foundation/NSGeometry.h"

namespace platform::detail {

class SvgRenditionCache {
  public:
    /// Renderings kept per document.
    static constexpr std::size_t kPerDocument = 4;
    /// The largest rendering kept, in pixels; larger ones are rendered every time.
    static constexpr long kMaxPixels = 1024L * 1024;
    /// The bytes of renderings kept by all documents together.
    static constexpr std::size_t kBudgetBytes = 32u * 1024 * 1024;

    SvgRenditionCache() = default;
    SvgRenditionCache(const SvgRenditionCache&) = delete;
    SvgRenditionCache& operator=(const SvgRenditionCache&) = delete;
    ~SvgRenditionCache() { clear(); }

    /// Draws the document `svg` (its viewport 0, 0, `natural` in the current user space of
    /// `cr`, which must draw onto a transparent surface) exactly as rendering it there would;
    /// false, drawing nothing, when the transform rotates or shears, the surface has a device
    /// scale or the rendering is too large to keep: the caller then renders it itself.
    bool draw(cairo_t* cr, RsvgHandle* svg, NSSize natural);
    /// Drops every rendering kept (the document changed or is freed).
    void clear();
    /// The renderings kept now.
    std::size_t size() const { return renditions_.size(); }

  private:
    struct Rendition {
        double xx, yy, x0, y0;  // the transform onto the rendering's pixels
        int width, height;
        cairo_surface_t* surface;
        unsigned long lastUse;
    };
    std::vector<Rendition> renditions_;
    unsigned long uses_ = 0;
};

/// How many times an SVG document has been rendered from its vectors in this process.
unsigned long svgDocumentRenderings();
/// Renders `svg` into `cr` (its viewport 0, 0, `natural`), counting the rendering.
void renderSvgDocument(cairo_t* cr, RsvgHandle* svg, NSSize natural);

}  // namespace platform::detail
