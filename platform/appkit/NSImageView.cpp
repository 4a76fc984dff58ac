#include "platform/appkit/NSImageView.h"

#include "platform/graphics/NSImage.h"

namespace {
NSImageCell& cellOf(const NSImageView& view) {
    if (NSImageCell* cell = view.cell()) return *cell;
    static NSImageCell scratch;  // only when another kind of cell was set
    return scratch;
}
}  // namespace

Ref<NSImageView> NSImageView::imageViewWithImage(const Ref<NSImage>& image) {
    NSSize size = image ? image->size() : NSZeroSize;
    auto view = make(NSMakeRect(0, 0, size.width, size.height));
    view->setImage(image);
    return view;
}

Ref<NSCell> NSImageView::makeCell() const {
    return NSImageCell::make();
}

NSImageCell* NSImageView::cell() const {
    return dynamic_cast<NSImageCell*>(NSControl::cell());
}

Ref<NSImage> NSImageView::image() const {
    return NSControl::cell()->image();
}

void NSImageView::setImage(const Ref<NSImage>& image) {
    if (NSControl::cell()->image() == image) return;
    NSControl::cell()->setImage(image);
    updateCell(NSControl::cell());
}

NSImageScaling NSImageView::imageScaling() const {
    return cellOf(*this).imageScaling();
}

void NSImageView::setImageScaling(NSImageScaling scaling) {
    cellOf(*this).setImageScaling(scaling);
    updateCell(NSControl::cell());
}

NSImageAlignment NSImageView::imageAlignment() const {
    return cellOf(*this).imageAlignment();
}

void NSImageView::setImageAlignment(NSImageAlignment alignment) {
    cellOf(*this).setImageAlignment(alignment);
    updateCell(NSControl::cell());
}

NSImageFrameStyle NSImageView::imageFrameStyle() const {
    return cellOf(*this).imageFrameStyle();
}

void NSImageView::setImageFrameStyle(NSImageFrameStyle style) {
    cellOf(*this).setImageFrameStyle(style);
}

void NSImageView::mouseDown(NSEvent& event) {
    if (!editable_) {
        NSResponder::mouseDown(event);
        return;
    }
    NSControl::mouseDown(event);
}
