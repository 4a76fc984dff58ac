#pragma once
// Cells: the part of a control that holds its value, state and text attributes, draws it and
// tracks the mouse in it. A control holds one cell; tables copy a column's cell for each row.

#include <any>
#include <string>

#include "platform/foundation/NSGeometry.h"
#include "platform/foundation/NSObject.h"
#include "platform/graphics/NSAttributedString.h"
#include "platform/graphics/NSParagraphStyle.h"

class NSColor;
class NSEvent;
class NSFont;
class NSImage;
class NSView;
class NSTextView;
class NSObject;

enum NSCellType : unsigned long {
    NSNullCellType = 0,
    NSTextCellType = 1,
    NSImageCellType = 2,
};

using NSControlStateValue = long;
inline constexpr NSControlStateValue NSControlStateValueMixed = -1;
inline constexpr NSControlStateValue NSControlStateValueOff = 0;
inline constexpr NSControlStateValue NSControlStateValueOn = 1;
inline constexpr NSControlStateValue NSMixedState = NSControlStateValueMixed;
inline constexpr NSControlStateValue NSOffState = NSControlStateValueOff;
inline constexpr NSControlStateValue NSOnState = NSControlStateValueOn;

/// What a point of a cell is for (hitTestForEvent); the bits combine.
using NSCellHitResult = unsigned long;
inline constexpr NSCellHitResult NSCellHitNone = 0;
inline constexpr NSCellHitResult NSCellHitContentArea = 1;
inline constexpr NSCellHitResult NSCellHitEditableTextArea = 2;
inline constexpr NSCellHitResult NSCellHitTrackableArea = 4;

enum NSControlSize : unsigned long {
    NSControlSizeRegular = 0,
    NSControlSizeSmall = 1,
    NSControlSizeMini = 2,
    NSRegularControlSize = 0,
    NSSmallControlSize = 1,
    NSMiniControlSize = 2,
};

enum NSFocusRingType : unsigned long {
    NSFocusRingTypeDefault = 0,
    NSFocusRingTypeNone = 1,
    NSFocusRingTypeExterior = 2,
};

/// How an image is fitted into the rectangle it is drawn in.
enum NSImageScaling : unsigned long {
    NSImageScaleProportionallyDown = 0,
    NSImageScaleAxesIndependently = 1,
    NSImageScaleNone = 2,
    NSImageScaleProportionallyUpOrDown = 3,
    NSScaleProportionally = 0,
    NSScaleToFit = 1,
    NSScaleNone = 2,
};

/// Where an image sits in the rectangle it is drawn in when it does not fill it.
enum NSImageAlignment : unsigned long {
    NSImageAlignCenter = 0,
    NSImageAlignTop = 1,
    NSImageAlignTopLeft = 2,
    NSImageAlignTopRight = 3,
    NSImageAlignLeft = 4,
    NSImageAlignBottom = 5,
    NSImageAlignBottomLeft = 6,
    NSImageAlignBottomRight = 7,
    NSImageAlignRight = 8,
};

/// What a button cell changes to show that it is pressed (highlightsBy) or on (showsStateBy).
using NSCellStyleMask = unsigned long;
inline constexpr NSCellStyleMask NSNoCellMask = 0;
inline constexpr NSCellStyleMask NSContentsCellMask = 1;
inline constexpr NSCellStyleMask NSPushInCellMask = 2;
inline constexpr NSCellStyleMask NSChangeGrayCellMask = 4;
inline constexpr NSCellStyleMask NSChangeBackgroundCellMask = 8;

// The newer spellings of the alignments.
inline constexpr NSTextAlignment NSTextAlignmentLeft = NSLeftTextAlignment;
inline constexpr NSTextAlignment NSTextAlignmentRight = NSRightTextAlignment;
inline constexpr NSTextAlignment NSTextAlignmentCenter = NSCenterTextAlignment;
inline constexpr NSTextAlignment NSTextAlignmentJustified = NSJustifiedTextAlignment;
inline constexpr NSTextAlignment NSTextAlignmentNatural = NSNaturalTextAlignment;

class NSCell : public NSObject {
  public:
    /// A text cell with an empty value.
    static Ref<NSCell> make() { return std::make_shared<NSCell>(); }
    NSCell();
    ~NSCell() override;

    /// Makes this a text cell showing `text`.
    virtual void initTextCell(const std::string& text);
    /// Makes this an image cell showing `image`.
    virtual void initImageCell(const Ref<NSImage>& image);

    // Copying, as the platform copies cells.
    /// A new cell of this cell's dynamic class with every value copied (images, fonts and
    /// represented objects are shared; attributed values are copied). The copy has no control
    /// view until it is drawn or tracked in one.
    Ref<NSCell> copy() const;

    // Kind, state and flags.
    NSCellType type() const { return type_; }
    void setType(NSCellType type) { type_ = type; }
    /// NSControlStateValueOn, Off or Mixed.
    virtual NSControlStateValue state() const { return state_; }
    /// Any positive value means on; a negative one mixed when allowsMixedState, else on.
    virtual void setState(NSControlStateValue state);
    bool allowsMixedState() const { return allowsMixedState_; }
    void setAllowsMixedState(bool allows) { allowsMixedState_ = allows; }
    /// The state a click moves to: off to on, on to off; with mixed states on, off, mixed, on.
    NSControlStateValue nextState() const;
    void setNextState() { setState(nextState()); }

    bool isEnabled() const { return enabled_; }
    virtual void setEnabled(bool enabled) { enabled_ = enabled; }
    bool isBordered() const { return bordered_; }
    virtual void setBordered(bool bordered) { bordered_ = bordered; }
    bool isBezeled() const { return bezeled_; }
    virtual void setBezeled(bool bezeled) { bezeled_ = bezeled; }
    bool isHighlighted() const { return highlighted_; }
    virtual void setHighlighted(bool highlighted) { highlighted_ = highlighted; }
    bool isEditable() const { return editable_; }
    /// Stored only (the field editor reads it); an editable cell is also selectable.
    void setEditable(bool editable);
    bool isSelectable() const { return selectable_ || editable_; }
    void setSelectable(bool selectable) { selectable_ = selectable; }
    bool isScrollable() const { return scrollable_; }
    void setScrollable(bool scrollable) { scrollable_ = scrollable; }
    bool isContinuous() const { return continuous_; }
    void setContinuous(bool continuous) { continuous_ = continuous; }
    bool usesSingleLineMode() const { return usesSingleLineMode_; }
    /// Single-line cells draw one line, cut as the line-break mode says.
    void setUsesSingleLineMode(bool single) { usesSingleLineMode_ = single; }
    bool truncatesLastVisibleLine() const { return truncatesLastVisibleLine_; }
    void setTruncatesLastVisibleLine(bool truncates) { truncatesLastVisibleLine_ = truncates; }
    NSControlSize controlSize() const { return controlSize_; }
    void setControlSize(NSControlSize size) { controlSize_ = size; }
    NSFocusRingType focusRingType() const { return focusRingType_; }
    void setFocusRingType(NSFocusRingType type) { focusRingType_ = type; }

    // Text attributes.
    /// The font of the text (the system font of 13 points unless set).
    const Ref<NSFont>& font() const { return font_; }
    /// nullptr restores the system font.
    virtual void setFont(const Ref<NSFont>& font);
    NSTextAlignment alignment() const { return alignment_; }
    void setAlignment(NSTextAlignment alignment) { alignment_ = alignment; }
    NSLineBreakMode lineBreakMode() const { return lineBreakMode_; }
    void setLineBreakMode(NSLineBreakMode mode) { lineBreakMode_ = mode; }
    bool wraps() const;
    /// Wrapping means word wrapping; not wrapping means clipping.
    void setWraps(bool wraps) {
        lineBreakMode_ = wraps ? NSLineBreakByWordWrapping : NSLineBreakByClipping;
    }
    /// The attributes plain text is drawn with: font, colour, alignment and line-break mode.
    virtual NSAttributes textAttributes() const;

    // The value.
    /// The value: empty, a std::string, a number (int, long, double, float, bool), a
    /// Ref<NSAttributedString> or another object (Ref<NSObject>).
    virtual std::any objectValue() const { return objectValue_; }
    virtual void setObjectValue(const std::any& value);
    /// The value as text: numbers in their shortest form, objects by their description.
    virtual std::string stringValue() const;
    virtual void setStringValue(const std::string& text);
    /// The value as a number: numbers as they are, text by its leading number (0 without one).
    int intValue() const { return static_cast<int>(integerValue()); }
    long integerValue() const;
    float floatValue() const { return static_cast<float>(doubleValue()); }
    double doubleValue() const;
    void setIntValue(int value) { setObjectValue(std::any(static_cast<long>(value))); }
    void setIntegerValue(long value) { setObjectValue(std::any(value)); }
    void setFloatValue(float value) { setObjectValue(std::any(static_cast<double>(value))); }
    void setDoubleValue(double value) { setObjectValue(std::any(value)); }
    /// The value as attributed text; plain values get textAttributes(), and attributes missing
    /// from an attributed value are filled in from them.
    virtual Ref<NSAttributedString> attributedStringValue() const;
    virtual void setAttributedStringValue(const Ref<NSAttributedString>& text);
    /// A plain cell's title is its string value.
    virtual std::string title() const { return stringValue(); }
    virtual void setTitle(const std::string& title) { setStringValue(title); }

    /// The image of an image cell (or a button's image).
    const Ref<NSImage>& image() const { return image_; }
    virtual void setImage(const Ref<NSImage>& image);
    /// An object the application attaches to the cell (retained).
    const Ref<NSObject>& representedObject() const { return representedObject_; }
    void setRepresentedObject(const Ref<NSObject>& object) { representedObject_ = object; }

    // Target, action and tag: plain cells keep none (action cells do).
    virtual WeakRef<NSObject> target() const { return {}; }
    virtual void setTarget(WeakRef<NSObject> /*target*/) {}
    virtual SEL action() const { return SEL(); }
    virtual void setAction(SEL /*action*/) {}
    /// -1 for cells that keep no tag.
    virtual long tag() const { return -1; }
    virtual void setTag(long /*tag*/) {}

    /// The view the cell draws in (raw; set by the control, and by drawing and tracking).
    NSView* controlView() const { return controlView_; }
    void setControlView(NSView* view) { controlView_ = view; }

    // Geometry, in the coordinates of the control view.
    /// The size the cell needs for its content.
    virtual NSSize cellSize() const;
    /// The size the cell needs within `bounds` (text wraps at its width).
    virtual NSSize cellSizeForBounds(NSRect bounds) const;
    /// `bounds` less the border or bezel.
    virtual NSRect drawingRectForBounds(NSRect bounds) const;
    /// Where the text is drawn.
    virtual NSRect titleRectForBounds(NSRect bounds) const;
    /// Where the image is drawn.
    virtual NSRect imageRectForBounds(NSRect bounds) const;

    // Drawing, in the control view's coordinates, during its drawRect.
    /// Draws the border or bezel, then the interior.
    virtual void drawWithFrame(NSRect cellFrame, NSView* controlView);
    /// Draws the content: the text of a text cell, the image of an image cell.
    virtual void drawInteriorWithFrame(NSRect cellFrame, NSView* controlView);
    /// Sets the highlight and marks `cellFrame` of the view for redrawing.
    virtual void highlight(bool flag, NSRect cellFrame, NSView* controlView);

    // The mouse.
    /// What the event's point is over: NSCellHitContentArea inside the frame (with
    /// NSCellHitEditableTextArea for selectable text), NSCellHitNone outside.
    virtual NSCellHitResult hitTestForEvent(NSEvent& event, NSRect cellFrame, NSView* controlView);
    /// Tracking begins at `point`; true asks for continueTracking on every drag.
    virtual bool startTrackingAt(NSPoint point, NSView* controlView);
    /// The mouse moved from `last` to `current`; false ends tracking.
    virtual bool continueTracking(NSPoint last, NSPoint current, NSView* controlView);
    /// Tracking ended at `stop`; `mouseIsUp` when the button was released.
    virtual void stopTracking(NSPoint last, NSPoint stop, NSView* controlView, bool mouseIsUp);
    /// Follows the mouse from the mouse-down `event` until the button is released (or, unless
    /// `untilMouseUp`, until it leaves `cellFrame`), pulling the drags and the mouse-up
    /// through the application in the event-tracking mode and highlighting the cell while the
    /// mouse is inside. True when the button was released inside `cellFrame`.
    virtual bool trackMouse(NSEvent& event, NSRect cellFrame, NSView* controlView,
                            bool untilMouseUp);
    /// Whether the control should track until mouse-up even outside the cell (buttons do).
    virtual bool prefersTrackingUntilMouseUp() const { return false; }
    // Editing through a field editor.
    /// Starts editing in `rect` of `controlView` with `editor`: the editor is placed at
    /// titleRectForBounds(rect), gets the cell's text and text attributes, becomes a subview
    /// of `controlView` and tells `delegate` (when it is a text delegate) of its changes; the
    /// caret goes where `event` points (at the end without one). The caller makes the editor
    /// first responder.
    virtual void editWithFrame(NSRect rect, NSView* controlView, NSTextView* editor,
                               NSObject* delegate, NSEvent* event);
    /// As editWithFrame, with `length` UTF-16 units from `start` selected instead of a caret.
    virtual void selectWithFrame(NSRect rect, NSView* controlView, NSTextView* editor,
                                 NSObject* delegate, long start, long length);
    /// Ends editing in `editor`: it leaves its superview and stops telling its delegate.
    virtual void endEditing(NSTextView* editor);

    /// Acts as a click would: moves to the next state and sends the action (action cells).
    virtual void performClick(NSObject* sender);

  protected:
    /// Copies every value but the control view (the subclasses' copy constructors chain here).
    NSCell(const NSCell& other);
    /// The copy hook behind copy(): a subclass returns a new object of its own class made
    /// with its copy constructor, e.g. `return std::make_shared<MyCell>(*this);`, and adjusts
    /// the copy there when it must (as copyWithZone: does).
    virtual Ref<NSCell> clone() const;
    /// Draws `text` in `rect` of the current context with the line-break rule of this cell.
    void drawText(const Ref<NSAttributedString>& text, NSRect rect) const;

  private:
    NSCellType type_ = NSTextCellType;
    NSControlStateValue state_ = NSControlStateValueOff;
    bool allowsMixedState_ = false;
    bool enabled_ = true;
    bool bordered_ = false;
    bool bezeled_ = false;
    bool highlighted_ = false;
    bool editable_ = false;
    bool selectable_ = false;
    bool scrollable_ = false;
    bool continuous_ = false;
    bool usesSingleLineMode_ = false;
    bool truncatesLastVisibleLine_ = false;
    NSControlSize controlSize_ = NSControlSizeRegular;
    NSFocusRingType focusRingType_ = NSFocusRingTypeDefault;
    Ref<NSFont> font_;
    NSTextAlignment alignment_ = NSNaturalTextAlignment;
    NSLineBreakMode lineBreakMode_ = NSLineBreakByWordWrapping;
    std::any objectValue_;
    Ref<NSImage> image_;
    Ref<NSObject> representedObject_;
    NSView* controlView_ = nullptr;
};

namespace platform::detail {
/// `text` with every attribute that it lacks somewhere taken from `defaults`.
Ref<NSAttributedString> withDefaultAttributes(const NSAttributedString& text,
                                              const NSAttributes& defaults);
/// A copy of `text` that shares nothing mutable with it.
Ref<NSAttributedString> copyAttributedString(const NSAttributedString& text);
/// Whether a target was ever set on `target` (a freed target still counts as set).
bool wasTargetSet(const WeakRef<NSObject>& target);
}  // namespace platform::detail
