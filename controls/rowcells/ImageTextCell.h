#pragma once
// The name cell of the application lists: a 28 x 28 icon and one line of text, drawn by the
// cell itself. The owner sets the icon and the text before each draw.

#include <optional>
#include <string>

#include "platform/appkit/NSTextFieldCell.h"
#include "platform/graphics/NSImage.h"

class ImageTextCell : public NSTextFieldCell {
  public:
    static Ref<ImageTextCell> make() { return std::make_shared<ImageTextCell>(); }
    ImageTextCell() = default;
    ImageTextCell(const ImageTextCell&) = default;

    /// Stored, not drawn.
    const std::optional<std::string>& iconKeyPath() const { return iconKeyPath_; }
    void setIconKeyPath(std::optional<std::string> path) { iconKeyPath_ = std::move(path); }
    /// The text that is drawn (owners pass the display string itself); nullopt: none.
    const std::optional<std::string>& primaryTextKeyPath() const { return primaryTextKeyPath_; }
    void setPrimaryTextKeyPath(std::optional<std::string> text) {
        primaryTextKeyPath_ = std::move(text);
    }
    /// Stored, not drawn.
    const std::optional<std::string>& secondaryTextKeyPath() const { return secondaryTextKeyPath_; }
    void setSecondaryTextKeyPath(std::optional<std::string> text) {
        secondaryTextKeyPath_ = std::move(text);
    }
    /// The icon that is drawn (retained).
    const Ref<NSImage>& iconImage() const { return iconImage_; }
    void setIconImage(const Ref<NSImage>& image) { iconImage_ = image; }

    /// Where the text goes: 49 points in, 14 down from the top, 200 x 20.
    static NSRect textRectForBounds(NSRect bounds);
    /// The text (light, 14 points, cut at the tail), then the icon upright 11 points in with
    /// its lower edge 10 points above the frame's lower edge.
    void drawWithFrame(NSRect cellFrame, NSView* controlView) override;

    static void registerClass();

  protected:
    Ref<NSCell> clone() const override { return std::make_shared<ImageTextCell>(*this); }

  private:
    void drawIcon(NSRect cellFrame, bool flipped) const;

    std::optional<std::string> iconKeyPath_;
    std::optional<std::string> primaryTextKeyPath_;
    std::optional<std::string> secondaryTextKeyPath_;
    Ref<NSImage> iconImage_;
};
