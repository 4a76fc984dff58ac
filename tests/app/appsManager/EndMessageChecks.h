#pragma once
// Shared by the end-dialog tests: checks an end sentence character by character, its parts that
// stand out in their colour and the regular font at 16 points, the rest in the label's own font
// and light colour, all of it centred.

#include <gtest/gtest.h>

#include <any>
#include <string>
#include <vector>

#include "platform/foundation/NSString.h"
#include "platform/graphics/NSAttributedString.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSFont.h"
#include "platform/graphics/NSParagraphStyle.h"

namespace endmessage {

/// A part expected to stand out: where it starts (UTF-16 units), its text and its colour
/// (0 to 255).
struct Part {
    std::size_t start;
    std::string text;
    int red, green, blue;
};

/// The green of freed space and the colour of the number of items that stayed.
inline Part sizePart(std::size_t start, std::string text) {
    return {start, std::move(text), 48, 207, 110};
}
inline Part failurePart(std::size_t start, std::string text) {
    return {start, std::move(text), 255, 107, 94};
}

inline void expectStyled(const NSAttributedString& text, const std::vector<Part>& parts,
                         const Ref<NSFont>& partFont, const Ref<NSFont>& own) {
    std::size_t covered = 0;
    for (const NSAttributedString::Run& run : text.runs()) {
        covered += run.range.length;
        for (std::size_t i = run.range.location; i < run.range.location + run.range.length; ++i) {
            SCOPED_TRACE("index " + std::to_string(i));
            const Part* in = nullptr;
            for (const Part& p : parts)
                if (i >= p.start && i < p.start + ns::length(p.text)) in = &p;
            auto style = std::any_cast<Ref<NSParagraphStyle>>(
                run.attributes.at(NSParagraphStyleAttributeName));
            EXPECT_EQ(style->alignment(), NSCenterTextAlignment);
            auto font = std::any_cast<Ref<NSFont>>(run.attributes.at(NSFontAttributeName));
            auto colour =
                std::any_cast<Ref<NSColor>>(run.attributes.at(NSForegroundColorAttributeName));
            if (in) {
                EXPECT_EQ(font->pointSize(), 16);
                EXPECT_EQ(font->fontName(), partFont->fontName());
                EXPECT_NEAR(colour->redComponent(), in->red / 255.0, 1e-6);
                EXPECT_NEAR(colour->greenComponent(), in->green / 255.0, 1e-6);
                EXPECT_NEAR(colour->blueComponent(), in->blue / 255.0, 1e-6);
                EXPECT_EQ(colour->alphaComponent(), 1);
            } else {
                EXPECT_EQ(font->pointSize(), own->pointSize());
                EXPECT_EQ(font->fontName(), own->fontName());
                EXPECT_GT(colour->blueComponent(), 0.9);  // the label's own light text
            }
        }
    }
    EXPECT_EQ(covered, text.length());
}

}  // namespace endmessage
