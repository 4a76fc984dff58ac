#pragma once
// Paragraph attributes of attributed strings: alignment and line-break mode.

#include <memory>

#include "platform/foundation/Ref.h"

enum NSTextAlignment : long {
    NSLeftTextAlignment = 0,
    NSRightTextAlignment = 1,
    NSCenterTextAlignment = 2,
    NSJustifiedTextAlignment = 3,
    NSNaturalTextAlignment = 4,
};

enum NSLineBreakMode : unsigned long {
    NSLineBreakByWordWrapping = 0,
    NSLineBreakByCharWrapping = 1,
    NSLineBreakByClipping = 2,
    NSLineBreakByTruncatingHead = 3,
    NSLineBreakByTruncatingTail = 4,
    NSLineBreakByTruncatingMiddle = 5,
};

class NSParagraphStyle {
  public:
    /// Left aligned, word wrapping.
    static Ref<NSParagraphStyle> defaultParagraphStyle() {
        return std::make_shared<NSParagraphStyle>();
    }

    NSTextAlignment alignment() const { return alignment_; }
    void setAlignment(NSTextAlignment a) { alignment_ = a; }
    NSLineBreakMode lineBreakMode() const { return lineBreakMode_; }
    void setLineBreakMode(NSLineBreakMode m) { lineBreakMode_ = m; }

  private:
    NSTextAlignment alignment_ = NSNaturalTextAlignment;
    NSLineBreakMode lineBreakMode_ = NSLineBreakByWordWrapping;
};

/// The mutable form is the same class here.
using NSMutableParagraphStyle = NSParagraphStyle;
