#include "controls/sidebar/LeftTypeButton.h"

#include "platform/appkit/NSImageView.h"
#include "platform/appkit/NSTextField.h"
#include "platform/foundation/NSString.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSFont.h"
#include "platform/graphics/NSImage.h"
#include "services/Palette.h"
#include "services/TCPublicUtilities.h"

namespace {
Ref<NSFont> fontNamed(const std::optional<std::string>& name, double size) {
    return NSFont::fontWithName(name.value_or(""), size);
}
}  // namespace

NSRect LeftTypeButton::getImageFrameForViewFrma(NSRect rect) {
    return NSMakeRect(10, rect.origin.y + 7, 32, 32);
}

NSRect LeftTypeButton::getTitleFrameForViewFrma(NSRect rect) {
    return NSMakeRect(50, rect.origin.y + 15, 150, 19);
}

void LeftTypeButton::setNormarlImage(const Ref<NSImage>& normal, const Ref<NSImage>& hover,
                                     const std::string& title) {
    normarlImage_ = normal;
    hoverImage_ = hover;
    titleStr_ = title;

    auto backdrop = NSImageView::make(bounds());
    backdrop->setImage(NSImage::imageNamed("tab_on"));
    backdrop->setImageScaling(NSImageScaleAxesIndependently);
    addSubview(backdrop);
    selectImageView_ = backdrop.get();

    if (!iconImageView_) {
        auto icon = NSImageView::make(getImageFrameForViewFrma(bounds()));
        icon->setImageScaling(NSImageScaleAxesIndependently);
        addSubview(icon);
        iconImageView_ = icon.get();
    }

    auto label = NSTextField::make(getTitleFrameForViewFrma(bounds()));
    label->setStringValue(title);
    label->setFont(fontNamed(TCPublicUtilities::getLightFontName(), 14));
    label->setBackgroundColor(NSColor::controlColor());
    label->setBordered(false);
    label->setEditable(false);
    addSubview(label);
    titleLabel_ = label.get();
    setNeedsDisplay(true);
}

void LeftTypeButton::drawRect(NSRect dirtyRect) {
    NSView::drawRect(dirtyRect);
    if (selectImageView_) selectImageView_->setHidden(!isSelect_);
    if (iconImageView_) iconImageView_->setImage(isSelect_ ? hoverImage_ : normarlImage_);
    if (titleLabel_) {
        titleLabel_->setFont(isSelect_ ? fontNamed(TCPublicUtilities::getRegularFontName(), 14)
                                       : fontNamed(TCPublicUtilities::getLightFontName(), 14));
        titleLabel_->setTextColor(isSelect_ ? Palette::selectionGreen()
                                            : Palette::sidebarLabelWhite());
    }
}

NSView* LeftTypeButton::hitTest(NSPoint point) {
    return NSView::hitTest(point) ? this : nullptr;
}

void LeftTypeButton::mouseDown(NSEvent&) {
    if (!delegate_) return;
    Ref<NSObject> delegate = delegate_;
    delegate->performSelector(buttonAction_, ns::stringWithFormat("%d", buttonTag_));
}

void LeftTypeButton::registerClass() {
    ClassRegistry::shared().registerClass<LeftTypeButton, NSView>("LeftTypeButton");
}
