#pragma once
// Button cells: a title and an image laid out by image position over an optional bezel, a
// state that clicks move on for the toggling types, and a tracking loop that sends the action
// when the mouse is released inside.

#include <string>

#include "platform/appkit/NSActionCell.h"
#include "platform/appkit/NSEvent.h"

enum NSButtonType : unsigned long {
    NSButtonTypeMomentaryLight = 0,
    NSButtonTypePushOnPushOff = 1,
    NSButtonTypeToggle = 2,
    NSButtonTypeSwitch = 3,
    NSButtonTypeRadio = 4,
    NSButtonTypeMomentaryChange = 5,
    NSButtonTypeOnOff = 6,
    NSButtonTypeMomentaryPushIn = 7,
    // The older spellings.
    NSMomentaryLightButton = 0,
    NSMomentaryPushButton = 0,
    NSPushOnPushOffButton = 1,
    NSToggleButton = 2,
    NSSwitchButton = 3,
    NSRadioButton = 4,
    NSMomentaryChangeButton = 5,
    NSOnOffButton = 6,
    NSMomentaryPushInButton = 7,
};

enum NSBezelStyle : unsigned long {
    NSBezelStyleRounded = 1,
    NSBezelStyleRegularSquare = 2,
    NSBezelStyleThickSquare = 3,
    NSBezelStyleThickerSquare = 4,
    NSBezelStyleDisclosure = 5,
    NSBezelStyleShadowlessSquare = 6,
    NSBezelStyleCircular = 7,
    NSBezelStyleTexturedSquare = 8,
    NSBezelStyleHelpButton = 9,
    NSBezelStyleSmallSquare = 10,
    NSBezelStyleTexturedRounded = 11,
    NSBezelStyleRoundRect = 12,
    NSBezelStyleRecessed = 13,
    NSBezelStyleRoundedDisclosure = 14,
    NSBezelStyleInline = 15,
    // The older spellings.
    NSRoundedBezelStyle = 1,
    NSRegularSquareBezelStyle = 2,
    NSThickSquareBezelStyle = 3,
    NSThickerSquareBezelStyle = 4,
    NSDisclosureBezelStyle = 5,
    NSShadowlessSquareBezelStyle = 6,
    NSCircularBezelStyle = 7,
    NSTexturedSquareBezelStyle = 8,
    NSHelpButtonBezelStyle = 9,
    NSSmallSquareBezelStyle = 10,
    NSTexturedRoundedBezelStyle = 11,
    NSRoundRectBezelStyle = 12,
    NSRecessedBezelStyle = 13,
    NSRoundedDisclosureBezelStyle = 14,
    NSInlineBezelStyle = 15,
};

/// Where a button's image sits relative to its title.
enum NSCellImagePosition : unsigned long {
    NSNoImage = 0,
    NSImageOnly = 1,
    NSImageLeft = 2,
    NSImageRight = 3,
    NSImageBelow = 4,
    NSImageAbove = 5,
    NSImageOverlaps = 6,
    NSImageLeading = 7,
    NSImageTrailing = 8,
};

class NSButtonCell : public NSActionCell {
  public:
    static Ref<NSButtonCell> make() { return std::make_shared<NSButtonCell>(); }
    /// A bordered momentary push-in button cell with an empty title and the rounded bezel.
    NSButtonCell();

    // Kind and look.
    NSButtonType buttonType() const { return buttonType_; }
    /// Sets the type with the highlight and state masks that go with it; switches and radio
    /// buttons lose their bezel and show their glyph left of the title.
    virtual void setButtonType(NSButtonType type);
    NSBezelStyle bezelStyle() const { return bezelStyle_; }
    void setBezelStyle(NSBezelStyle style) { bezelStyle_ = style; }
    bool isTransparent() const { return transparent_; }
    /// A transparent button draws nothing but still tracks and acts.
    void setTransparent(bool transparent) { transparent_ = transparent; }
    /// What changes while the button is pressed (NSCellStyleMask bits).
    NSCellStyleMask highlightsBy() const { return highlightsBy_; }
    void setHighlightsBy(NSCellStyleMask mask) { highlightsBy_ = mask; }
    /// What changes while the button is on.
    NSCellStyleMask showsStateBy() const { return showsStateBy_; }
    void setShowsStateBy(NSCellStyleMask mask) { showsStateBy_ = mask; }
    bool showsBorderOnlyWhileMouseInside() const { return showsBorderOnlyWhileMouseInside_; }
    void setShowsBorderOnlyWhileMouseInside(bool shows) {
        showsBorderOnlyWhileMouseInside_ = shows;
    }
    const Ref<NSColor>& backgroundColor() const { return backgroundColor_; }
    /// Filled under the content of a borderless button (nullptr: none).
    void setBackgroundColor(const Ref<NSColor>& color) { backgroundColor_ = color; }

    // Title and images.
    std::string title() const override { return title_; }
    void setTitle(const std::string& title) override;
    /// The title with the cell's font, colour and alignment, or the attributed title set.
    Ref<NSAttributedString> attributedTitle() const;
    void setAttributedTitle(const Ref<NSAttributedString>& title);
    const std::string& alternateTitle() const { return alternateTitle_; }
    void setAlternateTitle(const std::string& title) { alternateTitle_ = title; }
    Ref<NSAttributedString> attributedAlternateTitle() const;
    /// Shown in place of the image while pressed (highlightsBy contents) or on (showsStateBy
    /// contents).
    const Ref<NSImage>& alternateImage() const { return alternateImage_; }
    void setAlternateImage(const Ref<NSImage>& image) { alternateImage_ = image; }
    NSCellImagePosition imagePosition() const { return imagePosition_; }
    void setImagePosition(NSCellImagePosition position) { imagePosition_ = position; }
    NSImageScaling imageScaling() const { return imageScaling_; }
    void setImageScaling(NSImageScaling scaling) { imageScaling_ = scaling; }
    bool imageDimsWhenDisabled() const { return imageDimsWhenDisabled_; }
    void setImageDimsWhenDisabled(bool dims) { imageDimsWhenDisabled_ = dims; }

    // Key equivalent.
    const std::string& keyEquivalent() const { return keyEquivalent_; }
    /// The characters that click the button ("\r" for Return); "" for none.
    void setKeyEquivalent(const std::string& key) { keyEquivalent_ = key; }
    NSEventModifierFlags keyEquivalentModifierMask() const { return keyModifiers_; }
    void setKeyEquivalentModifierMask(NSEventModifierFlags mask) { keyModifiers_ = mask; }

    // The value of a button is its state.
    std::any objectValue() const override { return std::any(state()); }
    void setObjectValue(const std::any& value) override;
    std::string stringValue() const override;

    // Geometry and drawing.
    NSSize cellSizeForBounds(NSRect bounds) const override;
    NSRect drawingRectForBounds(NSRect bounds) const override;
    NSRect titleRectForBounds(NSRect bounds) const override;
    NSRect imageRectForBounds(NSRect bounds) const override;
    /// The bezel (when bordered), then the interior; nothing when transparent.
    void drawWithFrame(NSRect cellFrame, NSView* controlView) override;
    /// The image (or the switch or radio glyph) and the title, as they show now.
    void drawInteriorWithFrame(NSRect cellFrame, NSView* controlView) override;
    /// Draws the bezel for the current highlight and state.
    virtual void drawBezelWithFrame(NSRect frame, NSView* controlView);
    /// Draws `image` into `frame`, scaled as imageScaling says and dimmed when disabled.
    virtual void drawImage(const Ref<NSImage>& image, NSRect frame, NSView* controlView);
    /// Draws `title` centred vertically in `frame`; returns the rectangle the text took.
    virtual NSRect drawTitle(const Ref<NSAttributedString>& title, NSRect frame,
                             NSView* controlView);

    // The mouse.
    /// NSCellHitTrackableArea inside the frame of an enabled button, NSCellHitNone otherwise.
    NSCellHitResult hitTestForEvent(NSEvent& event, NSRect cellFrame, NSView* controlView) override;
    /// Tracks as cells do; on release inside, the toggling types move to their next state
    /// and the action goes to the target through the control view.
    bool trackMouse(NSEvent& event, NSRect cellFrame, NSView* controlView,
                    bool untilMouseUp) override;
    bool prefersTrackingUntilMouseUp() const override { return true; }
    /// Moves the toggling types to their next state and sends the action.
    void performClick(NSObject* sender) override;

    /// Whether the image and title show their alternates now.
    bool showsAlternate() const;
    /// Whether a click changes the state (push on/push off, toggle, switch, radio, on/off).
    bool togglesState() const;

  protected:
    NSButtonCell(const NSButtonCell&) = default;
    Ref<NSCell> clone() const override;

  private:
    struct Layout {
        NSRect image;
        NSRect title;
    };
    NSCellImagePosition effectivePosition() const;
    NSSize imageSizeForLayout() const;
    Layout layoutForBounds(NSRect bounds) const;
    bool isGlyphType() const;
    void moveToNextStateOnClick();

    NSButtonType buttonType_ = NSButtonTypeMomentaryPushIn;
    NSBezelStyle bezelStyle_ = NSBezelStyleRounded;
    bool transparent_ = false;
    NSCellStyleMask highlightsBy_ = NSPushInCellMask | NSChangeGrayCellMask;
    NSCellStyleMask showsStateBy_ = NSNoCellMask;
    bool showsBorderOnlyWhileMouseInside_ = false;
    Ref<NSColor> backgroundColor_;
    std::string title_;
    Ref<NSAttributedString> attributedTitle_;
    std::string alternateTitle_;
    Ref<NSImage> alternateImage_;
    NSCellImagePosition imagePosition_ = NSNoImage;
    NSImageScaling imageScaling_ = NSImageScaleProportionallyDown;
    bool imageDimsWhenDisabled_ = true;
    std::string keyEquivalent_;
    NSEventModifierFlags keyModifiers_ = 0;
};
