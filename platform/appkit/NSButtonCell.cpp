#include "platform/appkit/NSButtonCell.h"

#include <algorithm>
#include <cmath>

#include "platform/appkit/NSControl.h"
#include "platform/appkit/NSImageCell.h"
#include "platform/appkit/NSView.h"
#include "platform/appkit/theme/ControlTheme.h"
#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSImage.h"
#include "platform/graphics/TextLayout.h"

namespace theme = platform::theme;

NSButtonCell::NSButtonCell() {
    setBordered(true);
    setAlignment(NSCenterTextAlignment);
    setLineBreakMode(NSLineBreakByTruncatingTail);
}

Ref<NSCell> NSButtonCell::clone() const {
    return Ref<NSCell>(new NSButtonCell(*this));
}

// --- Kind -----------------------------------------------------------------------------------

void NSButtonCell::setButtonType(NSButtonType type) {
    buttonType_ = type;
    switch (type) {
        case NSButtonTypeMomentaryLight:
            highlightsBy_ = NSChangeGrayCellMask | NSChangeBackgroundCellMask;
            showsStateBy_ = NSNoCellMask;
            break;
        case NSButtonTypePushOnPushOff:
            highlightsBy_ = NSPushInCellMask | NSChangeGrayCellMask;
            showsStateBy_ = NSChangeGrayCellMask | NSChangeBackgroundCellMask;
            break;
        case NSButtonTypeToggle:
            highlightsBy_ = NSPushInCellMask | NSContentsCellMask;
            showsStateBy_ = NSContentsCellMask;
            break;
        case NSButtonTypeSwitch:
        case NSButtonTypeRadio:
            highlightsBy_ = NSContentsCellMask;
            showsStateBy_ = NSContentsCellMask;
            setBordered(false);
            imagePosition_ = NSImageLeft;
            setAlignment(NSLeftTextAlignment);
            break;
        case NSButtonTypeMomentaryChange:
            highlightsBy_ = NSContentsCellMask;
            showsStateBy_ = NSNoCellMask;
            break;
        case NSButtonTypeOnOff:
            highlightsBy_ = NSChangeGrayCellMask;
            showsStateBy_ = NSChangeGrayCellMask;
            break;
        case NSButtonTypeMomentaryPushIn:
        default:
            highlightsBy_ = NSPushInCellMask | NSChangeGrayCellMask;
            showsStateBy_ = NSNoCellMask;
            break;
    }
}

bool NSButtonCell::togglesState() const {
    switch (buttonType_) {
        case NSButtonTypePushOnPushOff:
        case NSButtonTypeToggle:
        case NSButtonTypeSwitch:
        case NSButtonTypeRadio:
        case NSButtonTypeOnOff:
            return true;
        default:
            return false;
    }
}

bool NSButtonCell::isGlyphType() const {
    return buttonType_ == NSButtonTypeSwitch || buttonType_ == NSButtonTypeRadio;
}

bool NSButtonCell::showsAlternate() const {
    return (isHighlighted() && (highlightsBy_ & NSContentsCellMask)) ||
           (state() == NSControlStateValueOn && (showsStateBy_ & NSContentsCellMask));
}

void NSButtonCell::moveToNextStateOnClick() {
    if (!togglesState()) return;
    // A radio button is turned on by a click, never off.
    if (buttonType_ == NSButtonTypeRadio)
        setState(NSControlStateValueOn);
    else
        setNextState();
}

// --- Title and value ------------------------------------------------------------------------

void NSButtonCell::setTitle(const std::string& title) {
    title_ = title;
    attributedTitle_.reset();
}

Ref<NSAttributedString> NSButtonCell::attributedTitle() const {
    if (attributedTitle_)
        return platform::detail::withDefaultAttributes(*attributedTitle_, textAttributes());
    return NSAttributedString::make(title_, textAttributes());
}

void NSButtonCell::setAttributedTitle(const Ref<NSAttributedString>& title) {
    if (!title) {
        setTitle("");
        return;
    }
    title_ = title->string();
    attributedTitle_ = platform::detail::copyAttributedString(*title);
}

Ref<NSAttributedString> NSButtonCell::attributedAlternateTitle() const {
    return NSAttributedString::make(alternateTitle_, textAttributes());
}

void NSButtonCell::setObjectValue(const std::any& value) {
    if (const auto* s = std::any_cast<std::string>(&value)) {
        setState(std::atol(s->c_str()));
        return;
    }
    NSCell probe;
    probe.setObjectValue(value);
    setState(probe.integerValue());
}

std::string NSButtonCell::stringValue() const {
    return std::to_string(state());
}

// --- Geometry -------------------------------------------------------------------------------

NSCellImagePosition NSButtonCell::effectivePosition() const {
    switch (imagePosition_) {
        case NSImageLeading:
            return NSImageLeft;
        case NSImageTrailing:
            return NSImageRight;
        case NSNoImage:
            // A switch always shows its glyph; a button without a title shows its image.
            if (isGlyphType()) return NSImageLeft;
            if (image() && title_.empty()) return NSImageOnly;
            return NSNoImage;
        default:
            return imagePosition_;
    }
}

NSSize NSButtonCell::imageSizeForLayout() const {
    if (image()) return image()->size();
    if (isGlyphType()) return {theme::kCheckBoxSize, theme::kCheckBoxSize};
    return {};
}

NSRect NSButtonCell::drawingRectForBounds(NSRect bounds) const {
    if (isBordered() && !isGlyphType()) return NSInsetRect(bounds, 4, 2);
    return bounds;
}

NSButtonCell::Layout NSButtonCell::layoutForBounds(NSRect bounds) const {
    NSRect r = drawingRectForBounds(bounds);
    NSCellImagePosition position = effectivePosition();
    bool hasTitle = !title_.empty();
    NSSize image = imageSizeForLayout();
    if (image.width <= 0 || image.height <= 0) position = NSNoImage;
    if (position == NSNoImage) return {NSZeroRect, r};
    if (position == NSImageOnly) return {r, NSZeroRect};
    // Without a title an image takes the whole cell; a glyph keeps its place at the edge.
    if (position == NSImageOverlaps || (!hasTitle && !isGlyphType()))
        return {r, hasTitle ? r : NSZeroRect};

    // Shrink the image to fit the cell as its scaling allows.
    double fit = std::min(r.size.width / image.width, r.size.height / image.height);
    if (imageScaling_ != NSImageScaleNone && fit < 1)
        image = {image.width * fit, image.height * fit};
    const double gap = theme::kImageTitleGap;
    bool flipped = controlView() && controlView()->isFlipped();
    switch (position) {
        case NSImageLeft:
        case NSImageRight: {
            double w = std::min(image.width, r.size.width);
            double rest = std::max(0.0, r.size.width - w - gap);
            // Push buttons centre the image and title together; switches start at the edge.
            double text = std::min(rest, ns::size(*attributedTitle()).width);
            double start = r.origin.x;
            if (!isGlyphType() && alignment() == NSCenterTextAlignment)
                start += std::max(0.0, (r.size.width - w - gap - text) / 2);
            NSRect imageRect{{start, r.origin.y}, {w, r.size.height}};
            NSRect titleRect{{start + w + gap, r.origin.y},
                             {NSMaxX(r) - (start + w + gap), r.size.height}};
            if (!isGlyphType() && alignment() == NSCenterTextAlignment) titleRect.size.width = text;
            if (position == NSImageRight) {
                // Mirror both about the centre of the drawing rectangle.
                double axis = NSMidX(r) * 2;
                imageRect.origin.x = axis - NSMaxX(imageRect);
                titleRect.origin.x = axis - NSMaxX(titleRect);
            }
            return {imageRect, titleRect};
        }
        case NSImageAbove:
        case NSImageBelow: {
            double h = std::min(image.height, r.size.height);
            double rest = std::max(0.0, r.size.height - h - gap);
            bool imageAtLowY = (position == NSImageBelow) != flipped;
            NSRect imageRect{{r.origin.x, imageAtLowY ? r.origin.y : NSMaxY(r) - h},
                             {r.size.width, h}};
            NSRect titleRect{{r.origin.x, imageAtLowY ? NSMaxY(r) - rest : r.origin.y},
                             {r.size.width, rest}};
            return {imageRect, titleRect};
        }
        default:
            return {r, r};
    }
}

NSRect NSButtonCell::titleRectForBounds(NSRect bounds) const {
    return layoutForBounds(bounds).title;
}

NSRect NSButtonCell::imageRectForBounds(NSRect bounds) const {
    return layoutForBounds(bounds).image;
}

NSSize NSButtonCell::cellSizeForBounds(NSRect) const {
    NSSize title = title_.empty() ? NSSize{} : ns::size(*attributedTitle());
    if (!title_.empty()) title.width += 4;
    NSSize image = imageSizeForLayout();
    NSCellImagePosition position = effectivePosition();
    if (image.width <= 0 || image.height <= 0) position = NSNoImage;
    const double gap = theme::kImageTitleGap;
    NSSize content;
    switch (position) {
        case NSNoImage:
            content = title;
            break;
        case NSImageOnly:
            content = image;
            break;
        case NSImageOverlaps:
            content = {std::max(image.width, title.width), std::max(image.height, title.height)};
            break;
        case NSImageAbove:
        case NSImageBelow:
            content = {std::max(image.width, title.width),
                       image.height + (title_.empty() ? 0 : gap + title.height)};
            break;
        default:
            content = {image.width + (title_.empty() ? 0 : gap + title.width),
                       std::max(image.height, title.height)};
            break;
    }
    if (isBordered() && !isGlyphType()) {
        content.width += 2 * theme::kBezelPaddingX;
        content.height += 2 * theme::kBezelPaddingY;
    }
    return {std::ceil(content.width), std::ceil(content.height)};
}

// --- Drawing --------------------------------------------------------------------------------

void NSButtonCell::drawWithFrame(NSRect cellFrame, NSView* controlView) {
    if (controlView) setControlView(controlView);
    if (transparent_) return;
    if (isBordered() && !isGlyphType()) {
        drawBezelWithFrame(cellFrame, controlView);
    } else {
        if (backgroundColor_) {
            backgroundColor_->setFill();
            NSBezierPath::fillRect(cellFrame);
        }
        if (isHighlighted() && !isGlyphType() &&
            (highlightsBy_ & (NSChangeGrayCellMask | NSChangeBackgroundCellMask)))
            theme::drawBorderlessHighlight(cellFrame);
    }
    drawInteriorWithFrame(cellFrame, controlView);
}

void NSButtonCell::drawBezelWithFrame(NSRect frame, NSView*) {
    theme::BezelLook look;
    look.pressed =
        isHighlighted() &&
        (highlightsBy_ & (NSPushInCellMask | NSChangeGrayCellMask | NSChangeBackgroundCellMask));
    look.on =
        state() == NSControlStateValueOn &&
        (showsStateBy_ & (NSPushInCellMask | NSChangeGrayCellMask | NSChangeBackgroundCellMask));
    look.enabled = isEnabled();
    theme::drawButtonBezel(frame, bezelStyle_, look);
}

void NSButtonCell::drawInteriorWithFrame(NSRect cellFrame, NSView* controlView) {
    if (controlView) setControlView(controlView);
    Layout layout = layoutForBounds(cellFrame);
    bool alternate = showsAlternate();
    if (!NSIsEmptyRect(layout.image)) {
        Ref<NSImage> shown = alternate && alternateImage_ ? alternateImage_ : image();
        if (shown) {
            drawImage(shown, layout.image, controlView);
        } else if (isGlyphType()) {
            bool flipped = controlView && controlView->isFlipped();
            NSRect box = NSImageCell::rectForImage({theme::kCheckBoxSize, theme::kCheckBoxSize},
                                                   layout.image, NSImageScaleProportionallyDown,
                                                   NSImageAlignCenter, flipped);
            theme::BezelLook look{isHighlighted(), state() == NSControlStateValueOn, isEnabled()};
            if (buttonType_ == NSButtonTypeRadio)
                theme::drawRadioButton(box, state() == NSControlStateValueOn, look);
            else
                theme::drawCheckBox(box, state(), look);
        }
    }
    if (!title_.empty() && !NSIsEmptyRect(layout.title)) {
        bool useAlternate = alternate && !alternateTitle_.empty();
        drawTitle(useAlternate ? attributedAlternateTitle() : attributedTitle(), layout.title,
                  controlView);
    }
}

void NSButtonCell::drawImage(const Ref<NSImage>& image, NSRect frame, NSView* controlView) {
    if (!image) return;
    bool flipped = controlView && controlView->isFlipped();
    NSRect rect =
        NSImageCell::rectForImage(image->size(), frame, imageScaling_, NSImageAlignCenter, flipped);
    if (NSIsEmptyRect(rect)) return;
    double fraction = !isEnabled() && imageDimsWhenDisabled_ ? 0.5 : 1;
    image->drawInRect(rect, NSZeroRect, NSCompositingOperationSourceOver, fraction, true);
}

NSRect NSButtonCell::drawTitle(const Ref<NSAttributedString>& title, NSRect frame, NSView*) {
    if (!title || title->length() == 0 || NSIsEmptyRect(frame)) return NSZeroRect;
    NSSize size = ns::size(*title);
    double height = std::min(size.height, frame.size.height);
    NSRect rect{{frame.origin.x, frame.origin.y + (frame.size.height - height) / 2},
                {frame.size.width, height}};
    drawText(title, rect);
    return rect;
}

// --- Mouse ----------------------------------------------------------------------------------

NSCellHitResult NSButtonCell::hitTestForEvent(NSEvent& event, NSRect cellFrame,
                                              NSView* controlView) {
    if (!isEnabled() || !controlView) return NSCellHitNone;
    NSPoint p = controlView->convertPoint(event.locationInWindow(), nullptr);
    return controlView->mouse(p, cellFrame) ? NSCellHitTrackableArea : NSCellHitNone;
}

bool NSButtonCell::trackMouse(NSEvent& event, NSRect cellFrame, NSView* controlView,
                              bool untilMouseUp) {
    Ref<NSObject> keep = weak_from_this().lock();
    bool releasedInside = NSActionCell::trackMouse(event, cellFrame, controlView, untilMouseUp);
    if (!releasedInside || !isEnabled()) return releasedInside;
    moveToNextStateOnClick();
    if (auto* control = dynamic_cast<NSControl*>(controlView))
        control->sendAction(action(), target());
    return true;
}

void NSButtonCell::performClick(NSObject*) {
    if (!isEnabled()) return;
    moveToNextStateOnClick();
    if (auto* control = dynamic_cast<NSControl*>(controlView()))
        control->sendAction(action(), target());
}
