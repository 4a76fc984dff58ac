// Catches the text cells with an image strip drawing their image at its own size or outside
// the cell, sizing or editing without the room the image takes, or misplacing their text; and
// a vertically centred text cell that does not centre, shrinks text that does not fit, or
// gives the field editor a rectangle other than the centred one.
#include <gtest/gtest.h>

#include <cmath>

#include "app/controls/rowcells/RowCellTestWindow.h"
#include "controls/rowcells/ImageAndTextCell.h"
#include "controls/rowcells/RSVerticallyCenteredTextFieldCell.h"
#include "controls/rowcells/showSelectImageCell.h"
#include "platform/appkit/NSTextField.h"
#include "platform/appkit/NSTextView.h"
#include "platform/graphics/TextLayout.h"

using namespace rowcelltest;

namespace {

struct StripKind {
    const char* name;
    std::function<Ref<ImageStripTextCell>()> make;
    double strip, side;
};

const StripKind kStripKinds[] = {
    {"ImageAndTextCell", [] { return ImageAndTextCell::make(); }, 33, 30},
    {"showSelectImageCell", [] { return showSelectImageCell::make(); }, 18, 15},
};

Ref<ImageStripTextCell> stripCell(const StripKind& kind, bool withImage) {
    auto cell = kind.make();
    cell->setStringValue("Label");
    if (withImage) cell->setImage(solidImage(NSMakeSize(32, 32), NSColor::redColor()));
    return cell;
}

TEST(ImageStripCells, SizeAndPlaceTheImageByItsOwnSize) {
    const NSRect frame = NSMakeRect(10, 20, 200, 41);
    for (const StripKind& kind : kStripKinds) {
        SCOPED_TRACE(kind.name);
        auto plain = NSTextFieldCell::make();
        plain->setStringValue("Label");
        const NSSize text = plain->cellSize();
        auto with = stripCell(kind, true);
        auto without = stripCell(kind, false);
        EXPECT_EQ(with->imageFrameForCellFrame(frame), NSMakeRect(13, 25, 32, 32));
        EXPECT_EQ(without->imageFrameForCellFrame(frame), NSZeroRect);
        EXPECT_EQ(with->cellSize(), NSMakeSize(text.width + 35, text.height));
        EXPECT_EQ(without->cellSize(), NSMakeSize(text.width + 3, text.height));
        // The text is centred vertically in the bounds.
        const double textHeight = ns::size(*with->attributedStringValue()).height;
        EXPECT_DOUBLE_EQ(with->titleRectForBounds(frame).origin.y,
                         20 - 0.5 + (41 - textHeight) / 2);
        // Copies share the image.
        auto copy = std::dynamic_pointer_cast<ImageStripTextCell>(with->copy());
        ASSERT_TRUE(copy);
        EXPECT_EQ(copy->image(), with->image());
    }
}

class ImageStripDrawing : public RowCellWindow {};

TEST_F(ImageStripDrawing, DrawsTheImageAtTheStripSideWhateverItsOwnSize) {
    const NSRect frame = NSMakeRect(10, 48, 200, 40);
    for (const StripKind& kind : kStripKinds) {
        for (bool flipped : {true, false}) {
            SCOPED_TRACE(std::string(kind.name) + (flipped ? " flipped" : " not flipped"));
            auto cell = stripCell(kind, true);
            auto host = addHost(cell, frame, flipped);
            const double D = kind.side;
            const double fromTop = std::ceil((40 - D) / 2);
            // In the host's own coordinates: the image's top row and its left column.
            const double top = flipped ? frame.origin.y + fromTop : NSMaxY(frame) - fromTop;
            const double down = flipped ? 1 : -1;
            auto at = [&](double dx, double dy) {
                return pixelIn(*host, frame.origin.x + dx, top + down * dy);
            };
            EXPECT_TRUE(near(at(3.5, 0.5), 255, 0, 0));
            EXPECT_TRUE(near(at(3 + D - 0.5, D - 0.5), 255, 0, 0));
            EXPECT_TRUE(near(at(3 + D + 0.5, D / 2), 0, 0, 0));  // D wide, not 32
            EXPECT_TRUE(near(at(3 + D / 2, D + 0.5), 0, 0, 0));  // D high, not 32
            EXPECT_TRUE(near(at(2.5, D / 2), 0, 0, 0));
            EXPECT_TRUE(near(at(3 + D / 2, -0.5), 0, 0, 0));
            host->removeFromSuperview();
        }
    }
}

TEST_F(ImageStripDrawing, FillsTheStripWithTheBackgroundColourWhenItDrawsOne) {
    const NSRect frame = NSMakeRect(10, 48, 200, 40);
    for (const StripKind& kind : kStripKinds) {
        SCOPED_TRACE(kind.name);
        auto cell = stripCell(kind, true);
        cell->setBackgroundColor(NSColor::greenColor());
        cell->setDrawsBackground(true);
        auto host = addHost(cell, frame);
        EXPECT_TRUE(near(pixelIn(*host, 11.5, 50.5), 0, 255, 0));  // the strip
        EXPECT_TRUE(near(pixelIn(*host, 10 + kind.strip - 0.5, 86.5), 0, 255, 0));
        EXPECT_TRUE(near(pixelIn(*host, 10 + kind.strip + 150, 50.5), 0, 255, 0));  // the rest
        // Without an image the whole frame is the text cell's.
        cell->setImage(nullptr);
        cell->setDrawsBackground(false);
        EXPECT_TRUE(near(pixelIn(*host, 11.5, 50.5), 0, 0, 0));
        host->removeFromSuperview();
    }
}

TEST_F(ImageStripDrawing, EditsRightOfTheImage) {
    auto host = addHost(nullptr, NSZeroRect);
    NSTextView* editor = window->fieldEditor(true, nullptr);
    ASSERT_NE(editor, nullptr);
    const NSRect frame = NSMakeRect(10, 48, 200, 40);
    for (const StripKind& kind : kStripKinds) {
        for (bool withImage : {true, false}) {
            SCOPED_TRACE(std::string(kind.name) + (withImage ? " with image" : " without"));
            auto cell = stripCell(kind, withImage);
            cell->setEditable(true);
            const double cut = withImage ? 35 : 3;
            const NSRect expected =
                cell->titleRectForBounds(NSMakeRect(10 + cut, 48, 200 - cut, 40));
            cell->selectWithFrame(frame, host.get(), editor, nullptr, 0, 5);
            EXPECT_EQ(editor->frame(), expected);
            EXPECT_EQ(editor->string(), "Label");
            cell->endEditing(editor);
            cell->editWithFrame(frame, host.get(), editor, nullptr, nullptr);
            EXPECT_EQ(editor->frame(), expected);
            cell->endEditing(editor);
        }
    }
}

Ref<RSVerticallyCenteredTextFieldCell> centredCell(const std::string& text) {
    auto cell = RSVerticallyCenteredTextFieldCell::make();
    cell->setStringValue(text);
    cell->setEditable(true);
    return cell;
}

TEST(RSVerticallyCenteredTextFieldCell, CentresTheTextWhenItFits) {
    struct Case {
        const char* name;
        NSRect bounds;
        bool bezeled;
        bool fits;
    };
    const Case cases[] = {
        {"plain", NSMakeRect(0, 0, 200, 40), false, true},
        {"moved", NSMakeRect(30, 100, 120, 61), false, true},
        {"bezeled", NSMakeRect(0, 0, 200, 40), true, true},
        {"text taller than the rectangle", NSMakeRect(0, 0, 200, 6), false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto cell = centredCell("Centred");
        auto plain = NSTextFieldCell::make();
        plain->setStringValue("Centred");
        cell->setBezeled(c.bezeled);
        plain->setBezeled(c.bezeled);
        const NSRect platform = plain->drawingRectForBounds(c.bounds);
        const double textHeight = plain->cellSizeForBounds(c.bounds).height;
        const NSRect r = cell->drawingRectForBounds(c.bounds);
        if (!c.fits) {
            EXPECT_EQ(r, platform);
            continue;
        }
        const double spare = platform.size.height - textHeight;
        ASSERT_GT(spare, 0);
        EXPECT_DOUBLE_EQ(r.origin.x, platform.origin.x);
        EXPECT_DOUBLE_EQ(r.size.width, platform.size.width);
        EXPECT_NEAR(r.size.height, textHeight, 1e-4);
        EXPECT_NEAR(r.origin.y, platform.origin.y + spare / 2, 1e-4);
    }
}

class CentredTextDrawing : public RowCellWindow {};

TEST_F(CentredTextDrawing, TheTextSitsInTheMiddleOfItsFrame) {
    const NSRect frame = NSMakeRect(10, 40, 200, 80);
    auto cell = centredCell("HHHH");
    cell->setTextColor(NSColor::whiteColor());
    auto host = addHost(cell, frame);
    auto surface = pt::renderWindow(*window);
    ASSERT_TRUE(surface);
    double top = -1, bottom = -1;
    for (int dy = 0; dy < 80; ++dy)
        for (int dx = 0; dx < 60; ++dx)
            if (pixelOf(surface, *host, 10 + dx + 0.5, 40 + dy + 0.5).r > 150) {
                if (top < 0) top = dy;
                bottom = dy;
            }
    ASSERT_GE(top, 0);
    EXPECT_NEAR((top + bottom) / 2, 40, 6) << top << " " << bottom;
}

TEST_F(CentredTextDrawing, TheFieldEditorSitsOnTheCentredRectangle) {
    auto field = NSTextField::make(NSMakeRect(20, 20, 200, 40));
    auto cell = centredCell("Find");
    field->setCell(cell);
    window->contentView()->addSubview(field);
    const NSRect centred = cell->drawingRectForBounds(field->bounds());
    ASSERT_LT(centred.size.height, 40);
    ASSERT_TRUE(window->makeFirstResponder(field.get()));
    NSTextView* editor = field->currentEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->frame(), NSInsetRect(centred, 2, 0));
    EXPECT_EQ(editor->string(), "Find");
    EXPECT_FALSE(cell->isEditingOrSelecting());
    // Drawing outside editing is centred again.
    EXPECT_EQ(cell->drawingRectForBounds(field->bounds()), centred);
}

}  // namespace
