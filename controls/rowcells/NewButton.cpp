#include "controls/rowcells/NewButton.h"

#include <cmath>

#include "controls/rowcells/NewButtonDelegate.h"
#include "platform/appkit/NSView.h"
#include "platform/foundation/NSLog.h"
#include "services/Palette.h"

NSRect NewButton::selectImageRectForBounds(NSRect bounds) const {
    if (!selectImageCell_) return NSZeroRect;
    return NSMakeRect(bounds.origin.x, bounds.origin.y + std::ceil((bounds.size.height - 16) / 2),
                      16, 16);
}

NSRect NewButton::iconImageRectForBounds(NSRect bounds) const {
    if (!iconImageCell_) return NSZeroRect;
    NSSize size = _iconImageSzie();
    return NSMakeRect(bounds.origin.x + 33,
                      bounds.origin.y + std::ceil((bounds.size.height - size.height) / 2),
                      size.width, size.height);
}

NSRect NewButton::imageRectForBounds(NSRect bounds) const {
    if (!label_) return NSZeroRect;
    NSSize size = _imageSize();
    double left = iconImageCell_ ? 67 : 10;
    return NSMakeRect(bounds.origin.x + left,
                      bounds.origin.y + (bounds.size.height - size.height) / 2, size.width,
                      size.height);
}

NSRect NewButton::clickAreaForBounds(NSRect bounds) {
    return NSMakeRect(bounds.origin.x, bounds.origin.y + 10, 20, 30);
}

void NewButton::awakeFromNib() {
    NSButtonCell::awakeFromNib();
    if (!selectImageCell_) return;
    selectImageCell_->setEnabled(true);
    selectImageCell_->setTarget(weak_from_this());
    selectImageCell_->setAction(SEL("aaa:"));
}

void NewButton::drawWithFrame(NSRect cellFrame, NSView* controlView) {
    if (iconImageCell_)
        iconImageCell_->drawWithFrame(iconImageRectForBounds(cellFrame), controlView);
    if (selectImageCell_)
        selectImageCell_->drawWithFrame(selectImageRectForBounds(cellFrame), controlView);
    if (label_) {
        label_->setTextColor(Palette::titleWhite());
        label_->drawWithFrame(imageRectForBounds(cellFrame), controlView);
        label_->setEditable(false);
    }
    NSButtonCell::drawWithFrame(cellFrame, controlView);
}

NewButtonDelegate* NewButton::answeringDelegate(Ref<NSObject>& keep) const {
    keep = delegate_.lock();
    return dynamic_cast<NewButtonDelegate*>(keep.get());
}

NSCellHitResult NewButton::hitTestForEvent(NSEvent& event, NSRect cellFrame, NSView* controlView) {
    const NSRect area = clickAreaForBounds(cellFrame);
    const NSCellHitResult base = NSButtonCell::hitTestForEvent(event, area, controlView);
    if (!controlView) return NSCellHitNone;
    NSPoint p = controlView->convertPoint(event.locationInWindow(), nullptr);
    if (!NSMouseInRect(p, area, controlView->isFlipped())) return NSCellHitNone;
    Ref<NSObject> keep;
    if (NewButtonDelegate* delegate = answeringDelegate(keep)) {
        NSLog("...........");
        delegate->clickButtonAction(this);
    }
    return base | NSCellHitTrackableArea;
}

void NewButton::aaa(NSObject*) {
    Ref<NSObject> keep;
    NewButtonDelegate* delegate = answeringDelegate(keep);
    if (!delegate) return;
    NSLog("..........111.");
    delegate->clickButtonAction(this);
}

void NewButton::changeVlaue(NSObject*) {}

Ref<NSCell> NewButton::clone() const {
    auto copy = std::make_shared<NewButton>(*this);
    copy->setImagePosition(NSImageLeft);
    return copy;
}

void NewButton::registerClass() {
    ClassRegistry::shared()
        .registerClass<NewButton, NSButtonCell>("NewButton")
        .action("aaa:", &NewButton::aaa)
        .action("changeVlaue:", &NewButton::changeVlaue)
        .outlet("label", &NewButton::setLabel)
        .outlet("iconImageCell", &NewButton::setIconImageCell)
        .outlet("selectImageCell", &NewButton::setSelectImageCell)
        .outlet("delegate", &NewButton::delegate_);
}
