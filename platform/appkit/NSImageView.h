#pragma once
// Image views: an image drawn by an NSImageCell, scaled and aligned inside the view.

#include "platform/appkit/NSControl.h"
#include "platform/appkit/NSImageCell.h"

class NSImageView : public NSControl {
  public:
    static Ref<NSImageView> make(NSRect frame = NSZeroRect) {
        auto view = std::make_shared<NSImageView>();
        view->initWithFrame(frame);
        return view;
    }
    /// A view of `image`'s size showing it.
    static Ref<NSImageView> imageViewWithImage(const Ref<NSImage>& image);
    NSImageView() = default;

    /// New image views get an NSImageCell.
    Ref<NSCell> makeCell() const override;
    /// The cell as an image cell (nullptr when another kind of cell was set).
    NSImageCell* cell() const;

    Ref<NSImage> image() const;
    virtual void setImage(const Ref<NSImage>& image);
    NSImageScaling imageScaling() const;
    void setImageScaling(NSImageScaling scaling);
    NSImageAlignment imageAlignment() const;
    void setImageAlignment(NSImageAlignment alignment);
    NSImageFrameStyle imageFrameStyle() const;
    /// Stored only.
    void setImageFrameStyle(NSImageFrameStyle style);
    bool isEditable() const { return editable_; }
    /// Stored only: images are not dropped on views here.
    void setEditable(bool editable) { editable_ = editable; }
    bool animates() const { return animates_; }
    void setAnimates(bool animates) { animates_ = animates; }

    /// A view that is not editable passes its clicks to the view behind it.
    void mouseDown(NSEvent& event) override;

  private:
    bool editable_ = false;
    bool animates_ = true;
};
