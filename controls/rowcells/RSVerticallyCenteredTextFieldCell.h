#pragma once
// A text cell whose text is centred vertically in its frame; while the field editor edits it,
// the editor sits on the centred rectangle.

#include "platform/appkit/NSTextFieldCell.h"

class RSVerticallyCenteredTextFieldCell : public NSTextFieldCell {
  public:
    static Ref<RSVerticallyCenteredTextFieldCell> make() {
        return std::make_shared<RSVerticallyCenteredTextFieldCell>();
    }
    RSVerticallyCenteredTextFieldCell() = default;
    RSVerticallyCenteredTextFieldCell(const RSVerticallyCenteredTextFieldCell&) = default;

    /// The text cell's drawing rectangle shrunk to the text's height and centred in it (left
    /// as it is when the text does not fit, and while the cell hands it to the field editor).
    NSRect drawingRectForBounds(NSRect bounds) const override;
    /// Hands the centred rectangle to the field editor.
    void editWithFrame(NSRect rect, NSView* controlView, NSTextView* editor, NSObject* delegate,
                       NSEvent* event) override;
    void selectWithFrame(NSRect rect, NSView* controlView, NSTextView* editor, NSObject* delegate,
                         long start, long length) override;

    /// Whether the cell is handing its rectangle to the field editor right now.
    bool isEditingOrSelecting() const { return mIsEditingOrSelecting; }

    static void registerClass();

  protected:
    Ref<NSCell> clone() const override {
        return std::make_shared<RSVerticallyCenteredTextFieldCell>(*this);
    }

  private:
    bool mIsEditingOrSelecting = false;
    // Set while the text's size is measured: measuring asks for the drawing rectangle again.
    mutable bool measuring_ = false;
};
