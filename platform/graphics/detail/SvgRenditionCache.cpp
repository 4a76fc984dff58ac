#include "platform/graphics/detail/SvgRenditionCache.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace platform::detail {

namespace {

std::atomic<unsigned long> renderings{0};
std::atomic<std::size_t> keptBytes{0};

std::size_t bytesOf(const cairo_surface_t* surface) {
    auto* s = const_cast<cairo_surface_t*>(surface);
    return static_cast<std::size_t>(cairo_image_surface_get_stride(s)) *
           static_cast<std::size_t>(cairo_image_surface_get_height(s));
}

/// Lays `rendition` onto `cr` at whole device pixels. The clip is left out: the transparent
/// surface drawn on is composited through it afterwards, as vectors rendered there are, and
/// applying it twice would thin the edge pixels of a clip that cuts through pixels.
void paint(cairo_t* cr, cairo_surface_t* rendition, double x, double y) {
    cairo_save(cr);
    cairo_reset_clip(cr);
    cairo_identity_matrix(cr);
    cairo_set_source_surface(cr, rendition, x, y);
    cairo_paint(cr);
    cairo_restore(cr);
}

}  // namespace

unsigned long svgDocumentRenderings() {
    return renderings.load();
}

void renderSvgDocument(cairo_t* cr, RsvgHandle* svg, NSSize natural) {
    ++renderings;
    RsvgRectangle viewport{0, 0, natural.width, natural.height};
    GError* error = nullptr;
    if (!rsvg_handle_render_document(svg, cr, &viewport, &error) && error) g_error_free(error);
}

bool SvgRenditionCache::draw(cairo_t* cr, RsvgHandle* svg, NSSize natural) {
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    if (m.xy != 0 || m.yx != 0 || m.xx == 0 || m.yy == 0) return false;
    double scaleX = 1, scaleY = 1;
    cairo_surface_get_device_scale(cairo_get_group_target(cr), &scaleX, &scaleY);
    if (scaleX != 1 || scaleY != 1) return false;
    // The document's pixels: its viewport's box in device space, out to whole pixels.
    const double left = std::min(m.x0, m.x0 + m.xx * natural.width);
    const double right = std::max(m.x0, m.x0 + m.xx * natural.width);
    const double top = std::min(m.y0, m.y0 + m.yy * natural.height);
    const double bottom = std::max(m.y0, m.y0 + m.yy * natural.height);
    if (!std::isfinite(left + right + top + bottom)) return false;
    const double originX = std::floor(left), originY = std::floor(top);
    const double width = std::ceil(right) - originX, height = std::ceil(bottom) - originY;
    if (width <= 0 || height <= 0) return true;
    if (width * height > double(kMaxPixels)) return false;
    // The same transform onto the rendering, whose pixels line up with the device's.
    const double x0 = m.x0 - originX, y0 = m.y0 - originY;
    auto found = std::find_if(renditions_.begin(), renditions_.end(), [&](const Rendition& r) {
        return r.xx == m.xx && r.yy == m.yy && r.x0 == x0 && r.y0 == y0;
    });
    if (found == renditions_.end()) {
        cairo_surface_t* surface =
            cairo_image_surface_create(CAIRO_FORMAT_ARGB32, int(width), int(height));
        if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(surface);
            return false;
        }
        cairo_t* target = cairo_create(surface);
        cairo_matrix_t onto;
        cairo_matrix_init(&onto, m.xx, 0, 0, m.yy, x0, y0);
        cairo_set_matrix(target, &onto);
        renderSvgDocument(target, svg, natural);
        cairo_destroy(target);
        cairo_surface_flush(surface);
        const std::size_t bytes = bytesOf(surface);
        if (renditions_.size() >= kPerDocument) {
            auto oldest = std::min_element(
                renditions_.begin(), renditions_.end(),
                [](const Rendition& a, const Rendition& b) { return a.lastUse < b.lastUse; });
            keptBytes -= bytesOf(oldest->surface);
            cairo_surface_destroy(oldest->surface);
            renditions_.erase(oldest);
        }
        if (keptBytes + bytes > kBudgetBytes) {
            // Over the shared budget: draw this one and keep nothing new.
            paint(cr, surface, originX, originY);
            cairo_surface_destroy(surface);
            return true;
        }
        keptBytes += bytes;
        renditions_.push_back(Rendition{m.xx, m.yy, x0, y0, int(width), int(height), surface, 0});
        found = renditions_.end() - 1;
    }
    found->lastUse = ++uses_;
    paint(cr, found->surface, originX, originY);
    return true;
}

void SvgRenditionCache::clear() {
    for (const Rendition& r : renditions_) {
        keptBytes -= bytesOf(r.surface);
        cairo_surface_destroy(r.surface);
    }
    renditions_.clear();
}

}  // namespace platform::detail
