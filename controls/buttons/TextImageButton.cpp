#include "controls/buttons/TextImageButton.h"

#include "platform/appkit/CALayer.h"
#include "platform/graphics/NSFont.h"
#include "services/Palette.h"
#include "services/TCPublicUtilities.h"

namespace {

std::string nameOf(const Ref<NSImage>& image) {
    return image ? image->name() : std::string();
}

/// The stored face at `size`; the system font when no face was stored.
Ref<NSFont> storedFont(const std::optional<std::string>& name, float size) {
    return name ? NSFont::fontWithName(*name, size) : NSFont::systemFontOfSize(size);
}

}  // namespace

void TextImageButton::initWithFrame(NSRect frame) {
    NSButton::initWithFrame(frame);
    isDisabled_ = true;
}

void TextImageButton::setImageFromFileNormalName(const std::string& normal,
                                                 const std::string& active,
                                                 const std::string& hover,
                                                 const std::string& disable) {
    loadStateImages(normal, active, hover, disable);
    setImageRect(NSMakeRect(0, 0, frame().size.width, frame().size.height));
    trackBounds();
}

void TextImageButton::setTextWithName(const std::string& text, float fontSize) {
    const double labelHeight = fontSize < 16 ? 17 : 18;
    if (!textField_) {
        const bool regular = fontSize == 16 || nameOf(normalImage()) == "btn_pril_normal";
        NSRect b = bounds();
        textField_ = NSTextField::make(NSMakeRect(
            b.origin.x, (b.size.height - labelHeight) * 0.5 - 1, b.size.width, labelHeight));
        textField_->setFont(storedFont(regular ? TCPublicUtilities::getRegularFontName()
                                               : TCPublicUtilities::getLightFontName(),
                                       fontSize));
        textField_->setBackgroundColor(NSColor::clearColor());
        textField_->setAlignment(NSCenterTextAlignment);
        textField_->setBordered(false);
        textField_->setBezeled(false);
        textField_->setEditable(false);
        // A selectable label would take the clicks on the middle of the button.
        textField_->setSelectable(false);
        addSubview(textField_);
    }
    textField_->setStringValue(text);
    setFocusRingType(NSFocusRingTypeNone);
    setWantsLayer(true);
    if (layer()) {
        layer()->setCornerRadius(4.0);
        layer()->setMasksToBounds(true);
    }
}

void TextImageButton::setButtonEnabled(bool enabled) {
    isDisabled_ = enabled;
    display();
}

Ref<NSColor> TextImageButton::baseTextColor() const {
    const std::string name = nameOf(normalImage());
    if (name == "btn_poppri") return Palette::primaryButtonGreen();
    if (name == "btn_pril_normal" || name == "btn_main") return Palette::labelWhite();
    return Palette::labelWhiteDim();
}

void TextImageButton::setLabelColor(const Ref<NSColor>& color) {
    if (textField_) textField_->setTextColor(color);
}

void TextImageButton::drawImage(const Ref<NSImage>& image) {
    image->drawInRect(dstRect(), NSZeroRect, NSCompositingOperationSourceOver, 1.0, true, {});
}

void TextImageButton::drawRect(NSRect dirtyRect) {
    setLabelColor(baseTextColor());
    if (!normalImage()) {
        NSButton::drawRect(dirtyRect);
        return;
    }
    if (!isEnabled() || !isDisabled_) {
        if (disableImage()) drawImage(disableImage());
        setLabelColor(Palette::labelWhiteDisabled());
    } else if (isTracking()) {
        if (!activeImage()) return;
        drawImage(activeImage());
        setLabelColor(Palette::labelWhitePressed());
    } else if (isFocus()) {
        if (!hoverImage()) return;
        drawImage(hoverImage());
        setLabelColor(Palette::labelWhite());
    } else {
        drawImage(normalImage());
    }
}

void TextImageButton::registerClass() {
    ClassRegistry::shared().registerClass<TextImageButton, NSButton>("TextImageButton");
}
