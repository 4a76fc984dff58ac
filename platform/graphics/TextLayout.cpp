#include "platform/graphics/TextLayout.h"

#include <pango/pangocairo.h>

#include <cmath>
#include <memory>
#include <vector>

#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSFont.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/graphics/NSParagraphStyle.h"
#include "platform/graphics/NSShadow.h"
#include "platform/graphics/detail/CairoGraphics.h"

using namespace platform::detail;

namespace {

struct GObjectUnref {
    void operator()(void* object) const {
        if (object) g_object_unref(object);
    }
};
using Layout = std::unique_ptr<PangoLayout, GObjectUnref>;

template <class T>
const T* attribute(const NSAttributes& attributes, const std::string& name) {
    auto it = attributes.find(name);
    return it == attributes.end() ? nullptr : std::any_cast<T>(&it->second);
}

long underlineOf(const NSAttributes& attributes) {
    if (const long* v = attribute<long>(attributes, NSUnderlineStyleAttributeName)) return *v;
    if (const int* v = attribute<int>(attributes, NSUnderlineStyleAttributeName)) return *v;
    if (auto* v = attribute<NSUnderlineStyle>(attributes, NSUnderlineStyleAttributeName)) return *v;
    return 0;
}

/// Byte offsets of each UTF-16 index of `text` (one past the end included).
std::vector<std::size_t> byteOffsets(const std::string& text) {
    std::vector<std::size_t> offsets;
    std::size_t i = 0;
    while (i < text.size()) {
        auto c = static_cast<unsigned char>(text[i]);
        std::size_t bytes = c < 0x80         ? 1
                            : (c >> 5) == 6  ? 2
                            : (c >> 4) == 14 ? 3
                            : (c >> 3) == 30 ? 4
                                             : 1;
        offsets.push_back(i);
        if (bytes == 4) offsets.push_back(i);  // a surrogate pair: two units
        i = std::min(text.size(), i + bytes);
    }
    offsets.push_back(text.size());
    return offsets;
}

guint16 channel(double v) {
    return static_cast<guint16>(std::lround(v * 65535));
}

/// The paragraph style of the first character (one style for the whole text).
Ref<NSParagraphStyle> paragraphStyleOf(const NSAttributedString& text) {
    if (text.length() == 0) return nullptr;
    std::any value = text.attributeAtIndex(NSParagraphStyleAttributeName, 0);
    const Ref<NSParagraphStyle>* style = std::any_cast<Ref<NSParagraphStyle>>(&value);
    return style ? *style : nullptr;
}

/// A scratch context for measuring, one per thread.
cairo_t* measuringContext() {
    struct Scratch {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
        cairo_t* cr = cairo_create(surface);
        ~Scratch() {
            cairo_destroy(cr);
            cairo_surface_destroy(surface);
        }
    };
    thread_local Scratch scratch;
    return scratch.cr;
}

struct Built {
    Layout layout;
    NSTextAlignment alignment = NSNaturalTextAlignment;
    bool alignByHand = false;  // lines are not wrapped: the layout has no width to align in
};

/// Lays `text` out for `cr`; `width` <= 0 lays it out without wrapping.
Built build(cairo_t* cr, const NSAttributedString& text, double width) {
    PangoContext* pango = pango_cairo_create_context(cr);
    pango_cairo_context_set_resolution(pango, 72);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    pango_cairo_context_set_font_options(pango, options);
    cairo_font_options_destroy(options);
    Built built;
    built.layout.reset(pango_layout_new(pango));
    g_object_unref(pango);
    PangoLayout* layout = built.layout.get();

    const std::string& string = text.string();
    pango_layout_set_text(layout, string.c_str(), static_cast<int>(string.size()));
    static const std::string defaultFont = NSFont::systemFontOfSize(12)->pangoDescription();
    PangoFontDescription* base = pango_font_description_from_string(defaultFont.c_str());
    pango_layout_set_font_description(layout, base);
    pango_font_description_free(base);

    std::vector<std::size_t> offsets = byteOffsets(string);
    PangoAttrList* list = pango_attr_list_new();
    auto insert = [&](PangoAttribute* a, NSRange range) {
        std::size_t last = offsets.size() - 1;
        a->start_index = static_cast<guint>(offsets[std::min(range.location, last)]);
        a->end_index = static_cast<guint>(offsets[std::min(NSMaxRange(range), last)]);
        pango_attr_list_insert(list, a);
    };
    for (const NSAttributedString::Run& run : text.runs()) {
        const NSAttributes& a = run.attributes;
        if (auto* font = attribute<Ref<NSFont>>(a, NSFontAttributeName); font && *font) {
            PangoFontDescription* d =
                pango_font_description_from_string((*font)->pangoDescription().c_str());
            insert(pango_attr_font_desc_new(d), run.range);
            pango_font_description_free(d);
        }
        auto* color = attribute<Ref<NSColor>>(a, NSForegroundColorAttributeName);
        Ref<NSColor> fg = color && *color ? *color : NSColor::blackColor();
        insert(pango_attr_foreground_new(channel(fg->redComponent()), channel(fg->greenComponent()),
                                         channel(fg->blueComponent())),
               run.range);
        if (fg->alphaComponent() < 1)
            insert(pango_attr_foreground_alpha_new(
                       std::max<guint16>(1, channel(fg->alphaComponent()))),
                   run.range);
        if (auto* bg = attribute<Ref<NSColor>>(a, NSBackgroundColorAttributeName); bg && *bg) {
            insert(pango_attr_background_new(channel((*bg)->redComponent()),
                                             channel((*bg)->greenComponent()),
                                             channel((*bg)->blueComponent())),
                   run.range);
            insert(pango_attr_background_alpha_new(
                       std::max<guint16>(1, channel((*bg)->alphaComponent()))),
                   run.range);
        }
        if (long underline = underlineOf(a)) {
            PangoUnderline u = (underline & 0xff) == NSUnderlineStyleDouble
                                   ? PANGO_UNDERLINE_DOUBLE
                                   : PANGO_UNDERLINE_SINGLE;
            insert(pango_attr_underline_new(u), run.range);
        }
    }
    pango_layout_set_attributes(layout, list);
    pango_attr_list_unref(list);

    NSLineBreakMode mode = NSLineBreakByWordWrapping;
    if (Ref<NSParagraphStyle> style = paragraphStyleOf(text)) {
        built.alignment = style->alignment();
        mode = style->lineBreakMode();
    }
    pango_layout_set_auto_dir(layout, built.alignment == NSNaturalTextAlignment);
    switch (built.alignment) {
        case NSRightTextAlignment:
            pango_layout_set_alignment(layout, PANGO_ALIGN_RIGHT);
            break;
        case NSCenterTextAlignment:
            pango_layout_set_alignment(layout, PANGO_ALIGN_CENTER);
            break;
        case NSJustifiedTextAlignment:
            pango_layout_set_justify(layout, true);
            [[fallthrough]];
        default:
            pango_layout_set_alignment(layout, PANGO_ALIGN_LEFT);
    }
    if (width > 0) {
        int pangoWidth = static_cast<int>(std::lround(width * PANGO_SCALE));
        switch (mode) {
            case NSLineBreakByCharWrapping:
                pango_layout_set_width(layout, pangoWidth);
                pango_layout_set_wrap(layout, PANGO_WRAP_CHAR);
                break;
            case NSLineBreakByClipping:
                built.alignByHand = true;
                break;
            case NSLineBreakByTruncatingHead:
            case NSLineBreakByTruncatingTail:
            case NSLineBreakByTruncatingMiddle:
                pango_layout_set_width(layout, pangoWidth);
                pango_layout_set_height(layout, -1);  // one line per paragraph
                pango_layout_set_ellipsize(
                    layout, mode == NSLineBreakByTruncatingHead   ? PANGO_ELLIPSIZE_START
                            : mode == NSLineBreakByTruncatingTail ? PANGO_ELLIPSIZE_END
                                                                  : PANGO_ELLIPSIZE_MIDDLE);
                break;
            default:
                pango_layout_set_width(layout, pangoWidth);
                pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
        }
    }
    return built;
}

NSSize logicalSize(PangoLayout* layout) {
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    return {static_cast<double>(logical.width) / PANGO_SCALE,
            static_cast<double>(logical.height) / PANGO_SCALE};
}

/// The shadow of the first character (one shadow for the whole text).
Ref<NSShadow> shadowOf(const NSAttributedString& text) {
    if (text.length() == 0) return nullptr;
    std::any value = text.attributeAtIndex(NSShadowAttributeName, 0);
    const Ref<NSShadow>* shadow = std::any_cast<Ref<NSShadow>>(&value);
    return shadow ? *shadow : nullptr;
}

/// Draws `text` from the top-left of `area` (in flipped terms): wrapped and clipped to it when
/// `inRect`, else on unwrapped lines from its origin.
void draw(const NSAttributedString& text, NSRect area, bool inRect) {
    auto context = NSGraphicsContext::currentContext();
    if (!context || text.length() == 0) return;
    cairo_t* cr = cairoOf(*context);
    Built built = build(cr, text, inRect ? area.size.width : 0);
    PangoLayout* layout = built.layout.get();
    NSSize size = logicalSize(layout);
    bool flipped = context->isFlipped();
    Ref<NSShadow> shadow = shadowOf(text);
    double dx = 0;
    if (built.alignByHand) {
        double spare = area.size.width - size.width;
        if (built.alignment == NSCenterTextAlignment) dx = spare / 2;
        if (built.alignment == NSRightTextAlignment) dx = spare;
    }
    drawWithShadow(
        *context,
        [&] {
            cairo_save(cr);
            if (inRect) {
                cairo_new_path(cr);
                cairo_rectangle(cr, area.origin.x, area.origin.y, area.size.width,
                                area.size.height);
                cairo_clip(cr);
            }
            if (flipped) {
                cairo_translate(cr, area.origin.x + dx, area.origin.y);
            } else {
                // Upright text in y-up coordinates: flip around the top of the text.
                double top = inRect ? NSMaxY(area) : area.origin.y + size.height;
                cairo_translate(cr, area.origin.x + dx, top);
                cairo_scale(cr, 1, -1);
            }
            cairo_set_source_rgb(cr, 0, 0, 0);
            cairo_set_operator(cr, cairoOperator(stateOf(*context).operation));
            cairo_move_to(cr, 0, 0);
            pango_cairo_update_layout(cr, layout);
            pango_cairo_show_layout(cr, layout);
            cairo_restore(cr);
        },
        shadow.get());
}

}  // namespace

namespace ns {

void drawAtPoint(const NSAttributedString& text, NSPoint point) {
    draw(text, NSRect{point, {}}, false);
}

void drawInRect(const NSAttributedString& text, NSRect rect) {
    if (NSIsEmptyRect(rect)) return;
    draw(text, rect, true);
}

NSSize size(const NSAttributedString& text) {
    if (text.length() == 0) return NSZeroSize;
    Built built = build(measuringContext(), text, 0);
    return logicalSize(built.layout.get());
}

NSRect boundingRectWithSize(const NSAttributedString& text, NSSize size, unsigned long options) {
    if (text.length() == 0) return NSZeroRect;
    if (options & NSStringDrawingUsesLineFragmentOrigin) {
        Built built = build(measuringContext(), text, size.width);
        NSSize s = logicalSize(built.layout.get());
        return NSMakeRect(0, 0, s.width, s.height);
    }
    Built built = build(measuringContext(), text, 0);
    PangoLayout* layout = built.layout.get();
    PangoRectangle logical;
    pango_layout_line_get_extents(pango_layout_get_line_readonly(layout, 0), nullptr, &logical);
    double baseline = static_cast<double>(pango_layout_get_baseline(layout)) / PANGO_SCALE;
    double height = static_cast<double>(logical.height) / PANGO_SCALE;
    return NSMakeRect(0, baseline - height, static_cast<double>(logical.width) / PANGO_SCALE,
                      height);
}

void drawAtPoint(const std::string& text, NSPoint point, const NSAttributes& attributes) {
    drawAtPoint(NSAttributedString(text, attributes), point);
}

void drawInRect(const std::string& text, NSRect rect, const NSAttributes& attributes) {
    drawInRect(NSAttributedString(text, attributes), rect);
}

NSSize sizeWithAttributes(const std::string& text, const NSAttributes& attributes) {
    return size(NSAttributedString(text, attributes));
}

NSRect boundingRectWithSize(const std::string& text, NSSize size, unsigned long options,
                            const NSAttributes& attributes) {
    return boundingRectWithSize(NSAttributedString(text, attributes), size, options);
}

}  // namespace ns
