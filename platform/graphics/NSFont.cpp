#include "platform/graphics/NSFont.h"

#include <pango/pango.h>

#include <cmath>
#include <memory>

#include "platform/foundation/NSString.h"

namespace {

constexpr CGFloat kUserFontSize = 12;
constexpr CGFloat kSystemFontSize = 13;
constexpr CGFloat kLargestSize = 10000;  // keeps Pango's fixed-point sizes in range

CGFloat sizeOr(CGFloat size, CGFloat fallback) {
    if (!(size > 0)) return fallback;  // also NaN
    return size > kLargestSize ? kLargestSize : size;
}

}  // namespace

NSFont::NSFont(Key, platform::detail::FontFace face, CGFloat size)
    : face_(std::move(face)), size_(size) {}

Ref<NSFont> NSFont::fontWithName(std::string_view name, CGFloat size) {
    return std::make_shared<NSFont>(Key{}, platform::detail::FontResolver::resolve(name),
                                    sizeOr(size, kUserFontSize));
}

Ref<NSFont> NSFont::systemFontOfSize(CGFloat size) {
    return std::make_shared<NSFont>(Key{}, platform::detail::FontResolver::systemFace(false),
                                    sizeOr(size, kSystemFontSize));
}

Ref<NSFont> NSFont::boldSystemFontOfSize(CGFloat size) {
    return std::make_shared<NSFont>(Key{}, platform::detail::FontResolver::systemFace(true),
                                    sizeOr(size, kSystemFontSize));
}

std::string NSFont::description() const {
    return ns::stringWithFormat("%@ %.2f pt.", face_.postscriptName, size_);
}

std::string NSFont::pangoDescription() const {
    std::unique_ptr<PangoFontDescription, decltype(&pango_font_description_free)> description(
        pango_font_description_from_string(face_.pangoDescription.c_str()),
        pango_font_description_free);
    if (!description) return face_.pangoDescription;
    pango_font_description_set_size(description.get(),
                                    static_cast<gint>(std::lround(size_ * PANGO_SCALE)));
    std::unique_ptr<char, decltype(&g_free)> text(
        pango_font_description_to_string(description.get()), g_free);
    return text ? std::string(text.get()) : face_.pangoDescription;
}
