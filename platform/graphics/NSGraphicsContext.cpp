#include "platform/graphics/NSGraphicsContext.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/graphics/NSAffineTransform.h"
#include "platform/graphics/NSImage.h"
#include "platform/graphics/NSShadow.h"
#include "platform/graphics/detail/CairoGraphics.h"

using platform::detail::GraphicsState;

struct NSGraphicsContext::Impl {
    cairo_t* cr = nullptr;
    cairo_surface_t* bitmap = nullptr;  // owned by bitmap contexts
    cairo_matrix_t base{};
    GraphicsState state;
    std::vector<GraphicsState> saved;

    ~Impl() {
        if (cr) cairo_destroy(cr);
        if (bitmap) cairo_surface_destroy(bitmap);
    }
};

namespace {

struct ThreadContexts {
    Ref<NSGraphicsContext> current;
    std::vector<Ref<NSGraphicsContext>> saved;
};

ThreadContexts& threadContexts() {
    thread_local ThreadContexts contexts;
    return contexts;
}

}  // namespace

NSGraphicsContext::NSGraphicsContext(Impl* impl) : impl_(impl) {}
NSGraphicsContext::~NSGraphicsContext() {
    delete impl_;
}

Ref<NSGraphicsContext> NSGraphicsContext::contextWithBitmap(int width, int height, bool flipped) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    auto* impl = new Impl;
    impl->bitmap = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    impl->cr = cairo_create(impl->bitmap);
    if (!flipped) {
        cairo_translate(impl->cr, 0, height);
        cairo_scale(impl->cr, 1, -1);
    }
    cairo_get_matrix(impl->cr, &impl->base);
    impl->state.flipped = flipped;
    return std::make_shared<NSGraphicsContext>(impl);
}

Ref<NSGraphicsContext> platform::detail::contextForCairo(cairo_t* cr, bool flipped) {
    auto* impl = new NSGraphicsContext::Impl;
    impl->cr = cairo_reference(cr);
    cairo_get_matrix(cr, &impl->base);
    impl->state.flipped = flipped;
    return std::make_shared<NSGraphicsContext>(impl);
}

Ref<NSGraphicsContext> NSGraphicsContext::currentContext() {
    return threadContexts().current;
}

void NSGraphicsContext::setCurrentContext(const Ref<NSGraphicsContext>& context) {
    threadContexts().current = context;
}

void NSGraphicsContext::saveGraphicsState() {
    ThreadContexts& t = threadContexts();
    if (t.current) t.current->saveState();
    t.saved.push_back(t.current);
}

void NSGraphicsContext::restoreGraphicsState() {
    ThreadContexts& t = threadContexts();
    if (t.saved.empty()) return;
    t.current = std::move(t.saved.back());
    t.saved.pop_back();
    if (t.current) t.current->restoreState();
}

void NSGraphicsContext::saveState() {
    cairo_save(impl_->cr);
    impl_->saved.push_back(impl_->state);
}

void NSGraphicsContext::restoreState() {
    if (impl_->saved.empty()) return;
    cairo_restore(impl_->cr);
    impl_->state = std::move(impl_->saved.back());
    impl_->saved.pop_back();
}

bool NSGraphicsContext::isFlipped() const {
    return impl_->state.flipped;
}
void NSGraphicsContext::setFlipped(bool flipped) {
    impl_->state.flipped = flipped;
}

NSImageInterpolation NSGraphicsContext::imageInterpolation() const {
    return impl_->state.interpolation;
}
void NSGraphicsContext::setImageInterpolation(NSImageInterpolation interpolation) {
    impl_->state.interpolation = interpolation;
}

bool NSGraphicsContext::shouldAntialias() const {
    return cairo_get_antialias(impl_->cr) != CAIRO_ANTIALIAS_NONE;
}
void NSGraphicsContext::setShouldAntialias(bool antialias) {
    cairo_set_antialias(impl_->cr, antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
}

NSCompositingOperation NSGraphicsContext::compositingOperation() const {
    return impl_->state.operation;
}
void NSGraphicsContext::setCompositingOperation(NSCompositingOperation operation) {
    impl_->state.operation = operation;
}

double NSGraphicsContext::alpha() const {
    return impl_->state.alpha;
}
void NSGraphicsContext::setAlpha(double alpha) {
    impl_->state.alpha = std::isnan(alpha) ? 0 : std::clamp(alpha, 0.0, 1.0);
}

void NSGraphicsContext::translate(double dx, double dy) {
    cairo_translate(impl_->cr, dx, dy);
}
void NSGraphicsContext::scale(double sx, double sy) {
    cairo_scale(impl_->cr, sx, sy);
}
void NSGraphicsContext::concat(const NSAffineTransform& transform) {
    NSAffineTransformStruct m = transform.transformStruct();
    cairo_matrix_t matrix;
    cairo_matrix_init(&matrix, m.m11, m.m12, m.m21, m.m22, m.tX, m.tY);
    cairo_transform(impl_->cr, &matrix);
}

int NSGraphicsContext::pixelsWide() const {
    return impl_->bitmap ? cairo_image_surface_get_width(impl_->bitmap) : 0;
}
int NSGraphicsContext::pixelsHigh() const {
    return impl_->bitmap ? cairo_image_surface_get_height(impl_->bitmap) : 0;
}

NSGraphicsContext::Pixel NSGraphicsContext::pixelAt(int x, int y) const {
    if (!impl_->bitmap || x < 0 || y < 0 || x >= pixelsWide() || y >= pixelsHigh()) return {};
    cairo_surface_flush(impl_->bitmap);
    const unsigned char* row =
        cairo_image_surface_get_data(impl_->bitmap) +
        static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(impl_->bitmap);
    std::uint32_t argb = reinterpret_cast<const std::uint32_t*>(row)[x];
    Pixel p;
    p.a = static_cast<std::uint8_t>(argb >> 24);
    if (p.a == 0) return p;
    auto unpremultiply = [&](std::uint32_t c) {
        return static_cast<std::uint8_t>(std::min<std::uint32_t>(255, (c * 255 + p.a / 2) / p.a));
    };
    p.r = unpremultiply((argb >> 16) & 0xff);
    p.g = unpremultiply((argb >> 8) & 0xff);
    p.b = unpremultiply(argb & 0xff);
    return p;
}

bool NSGraphicsContext::writePNG(const std::string& path) const {
    if (!impl_->bitmap) return false;
    cairo_surface_flush(impl_->bitmap);
    return cairo_surface_write_to_png(impl_->bitmap, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

cairo_t* platform::detail::cairoOf(const NSGraphicsContext& context) {
    return context.impl().cr;
}

GraphicsState& platform::detail::stateOf(const NSGraphicsContext& context) {
    return context.impl().state;
}

void platform::detail::resetToBaseTransform(const NSGraphicsContext& context) {
    cairo_set_matrix(context.impl().cr, &context.impl().base);
}

cairo_operator_t platform::detail::cairoOperator(NSCompositingOperation operation) {
    switch (operation) {
        case NSCompositingOperationClear:
            return CAIRO_OPERATOR_CLEAR;
        case NSCompositingOperationCopy:
            return CAIRO_OPERATOR_SOURCE;
        case NSCompositingOperationSourceIn:
            return CAIRO_OPERATOR_IN;
        case NSCompositingOperationSourceOut:
            return CAIRO_OPERATOR_OUT;
        case NSCompositingOperationSourceAtop:
            return CAIRO_OPERATOR_ATOP;
        case NSCompositingOperationDestinationOver:
            return CAIRO_OPERATOR_DEST_OVER;
        case NSCompositingOperationDestinationIn:
            return CAIRO_OPERATOR_DEST_IN;
        case NSCompositingOperationDestinationOut:
            return CAIRO_OPERATOR_DEST_OUT;
        case NSCompositingOperationDestinationAtop:
            return CAIRO_OPERATOR_DEST_ATOP;
        case NSCompositingOperationXOR:
            return CAIRO_OPERATOR_XOR;
        case NSCompositingOperationPlusDarker:
            return CAIRO_OPERATOR_DARKEN;  // the nearest Cairo has
        case NSCompositingOperationPlusLighter:
            return CAIRO_OPERATOR_ADD;
        default:
            return CAIRO_OPERATOR_OVER;
    }
}

void platform::detail::setSourceColor(cairo_t* cr, const Ref<NSColor>& color) {
    if (!color) {
        cairo_set_source_rgb(cr, 0, 0, 0);
        return;
    }
    if (const Ref<NSImage>& image = color->patternImage()) {
        if (cairo_surface_t* tile = imageSurface(*image)) {
            cairo_pattern_t* pattern = cairo_pattern_create_for_surface(tile);
            cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
            // The tile's rows run top-down; where user space has y pointing up (unflipped
            // coordinates), the tile is turned over so that the image stands upright.
            cairo_matrix_t ctm;
            cairo_get_matrix(cr, &ctm);
            if (ctm.yy < 0) {
                cairo_matrix_t flip;
                cairo_matrix_init(&flip, 1, 0, 0, -1, 0, image->size().height);
                cairo_pattern_set_matrix(pattern, &flip);
            }
            cairo_set_source(cr, pattern);
            cairo_pattern_destroy(pattern);
            cairo_surface_destroy(tile);
            return;
        }
        cairo_set_source_rgba(cr, 0, 0, 0, 0);
        return;
    }
    cairo_set_source_rgba(cr, color->redComponent(), color->greenComponent(),
                          color->blueComponent(), color->alphaComponent());
}

namespace {

/// One pass of a horizontal or vertical running-sum blur over an A8 buffer.
void boxBlur(std::vector<float>& data, int width, int height, int radius, bool horizontal) {
    if (radius <= 0) return;
    std::vector<float> line(static_cast<std::size_t>(horizontal ? width : height));
    int count = horizontal ? height : width;
    int length = horizontal ? width : height;
    auto at = [&](int i, int j) -> float& {
        return horizontal ? data[static_cast<std::size_t>(i) * width + j]
                          : data[static_cast<std::size_t>(j) * width + i];
    };
    float norm = 1.0f / static_cast<float>(2 * radius + 1);
    for (int i = 0; i < count; ++i) {
        float sum = 0;
        for (int k = -radius; k <= radius; ++k)
            if (k >= 0 && k < length) sum += at(i, k);
        for (int j = 0; j < length; ++j) {
            line[static_cast<std::size_t>(j)] = sum * norm;
            int out = j - radius, in = j + radius + 1;
            if (out >= 0) sum -= at(i, out);
            if (in < length) sum += at(i, in);
        }
        for (int j = 0; j < length; ++j)
            at(i, j) = line[static_cast<std::size_t>(j)];
    }
}

}  // namespace

namespace {

/// Draws `draw` with `shadow` (which casts something) beneath it.
void drawShadowed(cairo_t* cr, const std::function<void()>& draw, const NSShadow& shadow,
                  const platform::detail::ShapePainter& shape) {
    using platform::detail::setSourceColor;
    cairo_push_group(cr);
    draw();
    cairo_pattern_t* content = cairo_pop_group(cr);

    // The region that can receive shadow, in device pixels: the clip, grown by the blur.
    double x1, y1, x2, y2;
    cairo_clip_extents(cr, &x1, &y1, &x2, &y2);
    double xs[4] = {x1, x2, x1, x2}, ys[4] = {y1, y1, y2, y2};
    double dx0 = 1e300, dy0 = 1e300, dx1 = -1e300, dy1 = -1e300;
    for (int i = 0; i < 4; ++i) {
        cairo_user_to_device(cr, &xs[i], &ys[i]);
        dx0 = std::min(dx0, xs[i]), dy0 = std::min(dy0, ys[i]);
        dx1 = std::max(dx1, xs[i]), dy1 = std::max(dy1, ys[i]);
    }
    double blur = std::max(0.0, shadow.shadowBlurRadius());
    NSSize offset = shadow.shadowOffset();
    // The offset is in base coordinates, y up, whatever the current transform.
    double ox = offset.width, oy = -offset.height;
    int margin = static_cast<int>(std::ceil(blur)) + 1;
    int left = static_cast<int>(std::floor(dx0 - std::abs(ox))) - margin;
    int top = static_cast<int>(std::floor(dy0 - std::abs(oy))) - margin;
    int width = static_cast<int>(std::ceil(dx1 + std::abs(ox))) + margin - left;
    int height = static_cast<int>(std::ceil(dy1 + std::abs(oy))) + margin - top;
    constexpr int kLargest = 8192;
    if (width > 0 && height > 0 && width <= kLargest && height <= kLargest) {
        cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, width, height);
        cairo_t* mc = cairo_create(mask);
        cairo_matrix_t m;
        cairo_get_matrix(cr, &m);
        m.x0 -= left;
        m.y0 -= top;
        cairo_set_matrix(mc, &m);
        if (shape) {
            cairo_set_antialias(mc, cairo_get_antialias(cr));
            shape(mc);
        } else {
            cairo_set_source(mc, content);
            cairo_paint(mc);
        }
        cairo_destroy(mc);
        cairo_surface_flush(mask);

        // Three box passes approximate a Gaussian whose spread is half the blur radius.
        int box = static_cast<int>(std::lround(blur / 2.0));
        if (box > 0) {
            int stride = cairo_image_surface_get_stride(mask);
            unsigned char* bytes = cairo_image_surface_get_data(mask);
            std::vector<float> a(static_cast<std::size_t>(width) * height);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    a[static_cast<std::size_t>(y) * width + x] = bytes[y * stride + x];
            for (int pass = 0; pass < 3; ++pass) {
                boxBlur(a, width, height, box, true);
                boxBlur(a, width, height, box, false);
            }
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    bytes[y * stride + x] = static_cast<unsigned char>(std::clamp(
                        std::lround(a[static_cast<std::size_t>(y) * width + x]), 0L, 255L));
            cairo_surface_mark_dirty(mask);
        }
        cairo_save(cr);
        cairo_identity_matrix(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        setSourceColor(cr, shadow.shadowColor());
        cairo_mask_surface(cr, mask, left + ox, top + oy);
        cairo_restore(cr);
        cairo_surface_destroy(mask);
    }
    cairo_save(cr);
    cairo_set_source(cr, content);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_pattern_destroy(content);
}

}  // namespace

void platform::detail::drawWithShadow(const NSGraphicsContext& context,
                                      const std::function<void()>& draw, const NSShadow* shadow,
                                      const ShapePainter& shape) {
    if (!shadow) shadow = stateOf(context).shadow.get();
    if (shadow && (!shadow->shadowColor() || shadow->shadowColor()->alphaComponent() <= 0))
        shadow = nullptr;
    cairo_t* cr = cairoOf(context);
    const double alpha = stateOf(context).alpha;
    if (alpha >= 1) {
        if (shadow)
            drawShadowed(cr, draw, *shadow, shape);
        else
            draw();
        return;
    }
    // Below full alpha the drawing and its shadow are made apart, then laid on at that alpha.
    cairo_push_group(cr);
    if (shadow)
        drawShadowed(cr, draw, *shadow, shape);
    else
        draw();
    cairo_pop_group_to_source(cr);
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_paint_with_alpha(cr, alpha);
    cairo_restore(cr);
}
