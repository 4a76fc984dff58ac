#pragma once
// Controls: views that show a value through their cell and send an action to a target when
// the user acts on them.

#include <any>
#include <string>

#include "platform/appkit/NSCell.h"
#include "platform/appkit/NSView.h"
#include "platform/appkit/NibLoader.h"

class NSTextView;

class NSControl : public NSView, public NibTargetAction {
  public:
    static Ref<NSControl> make(NSRect frame = NSZeroRect) {
        auto control = std::make_shared<NSControl>();
        control->initWithFrame(frame);
        return control;
    }
    NSControl() = default;
    ~NSControl() override;
    void initWithFrame(NSRect frame) override;

    // The cell.
    /// The control's cell, made on first use by makeCell().
    NSCell* cell() const;
    const Ref<NSCell>& cellRef() const;
    /// Replaces the cell (nullptr: a new one from makeCell()).
    void setCell(const Ref<NSCell>& cell);
    /// The +cellClass hook: a new cell of the class that controls of this class use.
    virtual Ref<NSCell> makeCell() const;
    /// Marks the control for redrawing after its cell changed.
    virtual void updateCell(NSCell* cell);

    // Target and action (kept by the cell).
    /// The object that receives the action; not retained.
    WeakRef<NSObject> target() const;
    void setTarget(WeakRef<NSObject> target) override;
    SEL action() const;
    void setAction(SEL action) override;
    /// Sends `action` to `target` (nullptr: along the responder chain) through the application,
    /// with this control as sender. False when nothing took it or there is no action.
    virtual bool sendAction(SEL action, NSObject* target);
    /// The same with a stored target: a target that was set and has been freed gets nothing
    /// (the action does not wander up the responder chain instead).
    bool sendAction(SEL action, const WeakRef<NSObject>& target);
    /// Whether the action is sent while the mouse is held down (stored only).
    bool isContinuous() const { return cell()->isContinuous(); }
    void setContinuous(bool continuous) { cell()->setContinuous(continuous); }

    // State.
    bool isEnabled() const { return cell()->isEnabled(); }
    virtual void setEnabled(bool enabled);
    /// The cell's tag (the view's own when the cell keeps none).
    long tag() const override;
    void setTag(long tag);
    bool isHighlighted() const { return cell()->isHighlighted(); }
    void setHighlighted(bool highlighted);
    NSControlSize controlSize() const { return cell()->controlSize(); }
    void setControlSize(NSControlSize size);
    NSFocusRingType focusRingType() const { return cell()->focusRingType(); }
    /// Stored only: the platform draws no focus rings.
    void setFocusRingType(NSFocusRingType type) { cell()->setFocusRingType(type); }

    // Text attributes.
    const Ref<NSFont>& font() const { return cell()->font(); }
    virtual void setFont(const Ref<NSFont>& font);
    NSTextAlignment alignment() const { return cell()->alignment(); }
    virtual void setAlignment(NSTextAlignment alignment);
    NSLineBreakMode lineBreakMode() const { return cell()->lineBreakMode(); }
    void setLineBreakMode(NSLineBreakMode mode);
    bool usesSingleLineMode() const { return cell()->usesSingleLineMode(); }
    void setUsesSingleLineMode(bool single);

    // The value (the cell's).
    std::any objectValue() const { return cell()->objectValue(); }
    virtual void setObjectValue(const std::any& value);
    std::string stringValue() const { return cell()->stringValue(); }
    virtual void setStringValue(const std::string& text);
    int intValue() const { return cell()->intValue(); }
    long integerValue() const { return cell()->integerValue(); }
    float floatValue() const { return cell()->floatValue(); }
    double doubleValue() const { return cell()->doubleValue(); }
    void setIntValue(int value);
    void setIntegerValue(long value);
    void setFloatValue(float value);
    void setDoubleValue(double value);
    Ref<NSAttributedString> attributedStringValue() const {
        return cell()->attributedStringValue();
    }
    virtual void setAttributedStringValue(const Ref<NSAttributedString>& text);

    // Editing.
    /// The field editor while it edits this control's text, else nullptr.
    NSTextView* currentEditor() const;
    /// Ends editing without telling anyone; false when the control was not being edited.
    virtual bool abortEditing() { return false; }
    /// Moves the editor's text into the control's value (nothing when not editing).
    virtual void validateEditing() {}

    /// Resizes the control to the size its cell needs.
    virtual void sizeToFit();
    /// Acts as a click: the cell moves to its next state and the action is sent.
    virtual void performClick(NSObject* sender);

    // Events and drawing.
    /// Lets the cell track the mouse over the bounds (enabled controls only).
    void mouseDown(NSEvent& event) override;
    /// The cell draws itself over the bounds.
    void drawRect(NSRect dirtyRect) override;
    /// Interface files: a cell element inside a control's element becomes its cell; other
    /// elements become subviews.
    void addNibChild(Ref<NSObject> child) override;
    /// Controls take their clicks: a press on one does not drag the window.
    bool mouseDownCanMoveWindow() const override { return false; }

  private:
    mutable Ref<NSCell> cell_;
};
