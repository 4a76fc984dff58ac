#include "appsManager/SortButton.h"

#include "appsManager/SortButtonDelegate.h"
#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSFont.h"
#include "platform/graphics/NSImage.h"
#include "services/Palette.h"
#include "services/TCPublicUtilities.h"

namespace {

/// The stored light face at `size`; the system font when none is stored.
Ref<NSFont> lightFont(double size) {
    auto name = TCPublicUtilities::getLightFontName();
    Ref<NSFont> font = name ? NSFont::fontWithName(*name, size) : nullptr;
    return font ? font : NSFont::systemFontOfSize(size);
}

}  // namespace

void SortButton::awakeFromNib() {
    NSView::awakeFromNib();
    addTrackingRect(bounds(), this, nullptr, false);
}

void SortButton::setButtonString(const std::string& text) {
    if (!textField_) {
        selImageV_ = NSImageView::make(NSMakeRect(4, 4, 8, 8));
        addSubview(selImageV_);
        textField_ = NSTextField::make(NSMakeRect(16, 1, 80, 16));
        textField_->setFont(lightFont(12));
        textField_->setBackgroundColor(NSColor::clearColor());
        textField_->setDrawsBackground(false);
        textField_->setAlignment(NSLeftTextAlignment);
        textField_->setBordered(false);
        textField_->setBezeled(false);
        textField_->setEditable(false);
        // A selectable label would keep the clicks on the text from the entry.
        textField_->setSelectable(false);
        addSubview(textField_);
    }
    textField_->setStringValue(text);
}

void SortButton::setSelectStart(bool select) {
    isSelect_ = select;
    setNeedsDisplay(true);
}

void SortButton::mouseDown(NSEvent&) {
    Ref<NSObject> keep = delegate_.lock();
    if (auto* answering = dynamic_cast<SortButtonDelegate*>(keep.get()))
        answering->selectButtonWithTag(static_cast<std::int32_t>(tag()));
    setNeedsDisplay(true);
}

void SortButton::drawRect(NSRect dirtyRect) {
    NSView::drawRect(dirtyRect);
    Ref<NSColor> labelColor = Palette::labelWhiteDim();
    Ref<NSImage> mark;
    Ref<NSColor> fill = NSColor::clearColor();
    if (isSelect_) {
        fill = Palette::sortSelectionGreen();
        labelColor = Palette::labelWhite();
        mark = NSImage::imageNamed("ic_sel");
    }
    if (textField_) textField_->setTextColor(labelColor);
    if (selImageV_) selImageV_->setImage(mark);
    // Painted over what lies behind, so that a plain entry shows the pop-up's background.
    fill->setFill();
    NSBezierPath::fillRect(dirtyRect);
}

void SortButton::registerClass() {
    ClassRegistry::shared().registerClass<SortButton, NSView>("SortButton");
}
