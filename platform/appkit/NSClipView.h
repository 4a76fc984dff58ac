#pragma once
// Clip views: show a part of one document view; the bounds origin is the document point at
// the clip view's origin, so scrolling is moving the bounds. Flipped when the document is.

#include "platform/appkit/NSView.h"
#include "platform/foundation/NSNotificationCenter.h"

class NSColor;

/// Posted by a view (here: a clip view when it scrolls) whose bounds changed, with the view as
/// object, when the view's postsBoundsChangedNotifications is on.
extern const NSNotificationName NSViewBoundsDidChangeNotification;

class NSClipView : public NSView {
  public:
    static Ref<NSClipView> make(NSRect frame = NSZeroRect) {
        auto clip = std::make_shared<NSClipView>();
        clip->initWithFrame(frame);
        return clip;
    }
    NSClipView();
    ~NSClipView() override;

    // The document.
    const Ref<NSView>& documentView() const { return document_; }
    /// Replaces the document view (nullptr: none) and scrolls to its start.
    void setDocumentView(const Ref<NSView>& view);
    /// The document's frame in this view's coordinates (empty without a document).
    NSRect documentRect() const;
    /// The visible part of the document, in the document's coordinates.
    NSRect documentVisibleRect() const;

    // Scrolling.
    /// The nearest bounds origin to `point` that keeps the view inside the document.
    virtual NSPoint constrainScrollPoint(NSPoint point) const;
    /// Moves the bounds origin to (the constrained) `point` and tells the scroll view.
    virtual void scrollToPoint(NSPoint point);
    /// Scrolls as little as needed to show `rect` (document coordinates); false when nothing
    /// moved.
    bool scrollRectToVisible(NSRect rect);
    /// Whether scrolling posts NSViewBoundsDidChangeNotification (default true).
    bool postsBoundsChangedNotifications() const { return postsBoundsChanged_; }
    void setPostsBoundsChangedNotifications(bool posts) { postsBoundsChanged_ = posts; }

    // Background.
    bool drawsBackground() const { return drawsBackground_; }
    void setDrawsBackground(bool draws);
    const Ref<NSColor>& backgroundColor() const { return background_; }
    void setBackgroundColor(const Ref<NSColor>& color);

    bool isFlipped() const override;
    bool isOpaque() const override;
    void drawRect(NSRect dirtyRect) override;
    /// A new size keeps the view inside the document.
    void setFrameSize(NSSize size) override;
    /// A document that moved or changed size keeps the view inside it and updates scrollers.
    void subviewFrameDidChange(NSView* subview) override;
    void willRemoveSubview(NSView* subview) override;

  private:
    void moveBoundsOrigin(NSPoint origin);
    void tellScrollView();

    Ref<NSView> document_;
    bool postsBoundsChanged_ = true;
    bool drawsBackground_ = true;
    Ref<NSColor> background_;
};
