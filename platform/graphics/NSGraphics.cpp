#include "platform/graphics/NSGraphics.h"

#include <algorithm>

#include "platform/graphics/NSColor.h"
#include "platform/graphics/detail/CairoGraphics.h"

namespace {

using namespace platform::detail;

void fillRects(const std::vector<NSRect>& rects, const Ref<NSColor>& color,
               NSCompositingOperation operation) {
    auto context = NSGraphicsContext::currentContext();
    if (!context) return;
    cairo_t* cr = cairoOf(*context);
    drawWithShadow(*context, [&] {
        cairo_save(cr);
        cairo_new_path(cr);
        for (const NSRect& r : rects)
            if (!NSIsEmptyRect(r))
                cairo_rectangle(cr, r.origin.x, r.origin.y, r.size.width, r.size.height);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
        setSourceColor(cr, color);
        cairo_set_operator(cr, cairoOperator(operation));
        cairo_fill(cr);
        cairo_restore(cr);
    });
}

Ref<NSColor> fillColor() {
    auto context = NSGraphicsContext::currentContext();
    return context ? stateOf(*context).fill : nullptr;
}

}  // namespace

void NSRectFill(NSRect rect) {
    NSRectFillUsingOperation(rect, NSCompositingOperationCopy);
}

void NSRectFillUsingOperation(NSRect rect, NSCompositingOperation operation) {
    fillRects({rect}, fillColor(), operation);
}

void NSFrameRect(NSRect rect) {
    NSFrameRectWithWidth(rect, 1);
}

void NSFrameRectWithWidth(NSRect rect, double width) {
    if (NSIsEmptyRect(rect) || width <= 0) return;
    double w = std::min(width, rect.size.width / 2), h = std::min(width, rect.size.height / 2);
    double x0 = NSMinX(rect), y0 = NSMinY(rect), x1 = NSMaxX(rect), y1 = NSMaxY(rect);
    fillRects({NSMakeRect(x0, y0, rect.size.width, h), NSMakeRect(x0, y1 - h, rect.size.width, h),
               NSMakeRect(x0, y0 + h, w, rect.size.height - 2 * h),
               NSMakeRect(x1 - w, y0 + h, w, rect.size.height - 2 * h)},
              fillColor(), NSCompositingOperationCopy);
}

void NSEraseRect(NSRect rect) {
    fillRects({rect}, NSColor::whiteColor(), NSCompositingOperationCopy);
}
