#pragma once
// Drawing and measuring text with attributes (font, colour, paragraph style, underline,
// shadow), laid out by Pango at one point per unit.

#include <string>

#include "platform/foundation/NSGeometry.h"
#include "platform/graphics/NSAttributedString.h"

enum NSStringDrawingOptions : unsigned long {
    /// The rectangle's origin is the top-left of the first line and lines wrap at its width;
    /// without it the text is one line measured from its baseline.
    NSStringDrawingUsesLineFragmentOrigin = 1 << 0,
    NSStringDrawingUsesFontLeading = 1 << 1,
    NSStringDrawingUsesDeviceMetrics = 1 << 3,
    NSStringDrawingTruncatesLastVisibleLine = 1 << 5,
};

enum NSUnderlineStyle : long {
    NSUnderlineStyleNone = 0x00,
    NSUnderlineStyleSingle = 0x01,
    NSUnderlineStyleThick = 0x02,
    NSUnderlineStyleDouble = 0x09,
};

namespace ns {

/// Draws the text on lines of its own (no wrapping) from `point`: the top-left of the text in
/// flipped coordinates, its bottom-left otherwise. Text is upright either way.
void drawAtPoint(const NSAttributedString& text, NSPoint point);
/// Draws the text inside `rect` (clipped to it), from its top, wrapped at its width or
/// truncated as the paragraph style's line-break mode says, aligned as the style says.
void drawInRect(const NSAttributedString& text, NSRect rect);
/// The size of the text laid out without wrapping.
NSSize size(const NSAttributedString& text);
/// The rectangle the text needs: with NSStringDrawingUsesLineFragmentOrigin, wrapped at
/// `size.width` (when positive) from (0, 0); otherwise one line around the baseline at y = 0.
NSRect boundingRectWithSize(const NSAttributedString& text, NSSize size, unsigned long options);

/// The same for plain text with one set of attributes (no font: the system font of size 12;
/// no colour: black).
void drawAtPoint(const std::string& text, NSPoint point, const NSAttributes& attributes);
void drawInRect(const std::string& text, NSRect rect, const NSAttributes& attributes);
NSSize sizeWithAttributes(const std::string& text, const NSAttributes& attributes);
NSRect boundingRectWithSize(const std::string& text, NSSize size, unsigned long options,
                            const NSAttributes& attributes);

}  // namespace ns
