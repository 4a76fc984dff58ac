#pragma once
// Buttons: push buttons, check boxes, radio buttons and image buttons, drawn and tracked by
// their NSButtonCell.

#include <string>

#include "platform/appkit/NSButtonCell.h"
#include "platform/appkit/NSControl.h"

class NSButton : public NSControl {
  public:
    static Ref<NSButton> make(NSRect frame = NSZeroRect) {
        auto button = std::make_shared<NSButton>();
        button->initWithFrame(frame);
        return button;
    }
    /// A rounded push button titled `title` that sends `action` to `target`, sized to fit.
    static Ref<NSButton> buttonWithTitle(const std::string& title, const Ref<NSObject>& target,
                                         SEL action);
    /// A check box titled `title`, sized to fit.
    static Ref<NSButton> checkboxWithTitle(const std::string& title, const Ref<NSObject>& target,
                                           SEL action);
    NSButton() = default;

    /// New buttons get an NSButtonCell.
    Ref<NSCell> makeCell() const override;
    /// The cell as a button cell (nullptr when another kind of cell was set).
    NSButtonCell* cell() const;

    // Kind and look (the cell's).
    NSButtonType buttonType() const;
    void setButtonType(NSButtonType type);
    NSBezelStyle bezelStyle() const;
    void setBezelStyle(NSBezelStyle style);
    bool isBordered() const;
    void setBordered(bool bordered);
    bool isTransparent() const;
    void setTransparent(bool transparent);
    bool showsBorderOnlyWhileMouseInside() const;
    void setShowsBorderOnlyWhileMouseInside(bool shows);

    // Title and images.
    std::string title() const;
    virtual void setTitle(const std::string& title);
    Ref<NSAttributedString> attributedTitle() const;
    void setAttributedTitle(const Ref<NSAttributedString>& title);
    std::string alternateTitle() const;
    void setAlternateTitle(const std::string& title);
    Ref<NSImage> image() const;
    virtual void setImage(const Ref<NSImage>& image);
    Ref<NSImage> alternateImage() const;
    virtual void setAlternateImage(const Ref<NSImage>& image);
    NSCellImagePosition imagePosition() const;
    void setImagePosition(NSCellImagePosition position);
    NSImageScaling imageScaling() const;
    void setImageScaling(NSImageScaling scaling);

    // State.
    NSControlStateValue state() const;
    virtual void setState(NSControlStateValue state);
    bool allowsMixedState() const;
    void setAllowsMixedState(bool allows);
    void setNextState();
    /// Shows the pressed look (or not) without a click.
    void highlight(bool flag);

    // Key equivalent.
    std::string keyEquivalent() const;
    void setKeyEquivalent(const std::string& key);
    NSEventModifierFlags keyEquivalentModifierMask() const;
    void setKeyEquivalentModifierMask(NSEventModifierFlags mask);
    /// Clicks an enabled, visible button whose key equivalent and modifiers match the event.
    bool performKeyEquivalent(NSEvent& event) override;

    /// Buttons lay out from the top.
    bool isFlipped() const override { return true; }
};
