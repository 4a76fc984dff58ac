#pragma once
// Cells that keep a target, an action and a tag: the cells of buttons, text fields and
// segmented controls.

#include "platform/appkit/NSCell.h"

class NSActionCell : public NSCell {
  public:
    static Ref<NSActionCell> make() { return std::make_shared<NSActionCell>(); }
    NSActionCell() = default;

    /// The object that receives the action; not retained.
    WeakRef<NSObject> target() const override { return target_; }
    void setTarget(WeakRef<NSObject> target) override { target_ = std::move(target); }
    SEL action() const override { return action_; }
    void setAction(SEL action) override { action_ = action; }
    long tag() const override { return tag_; }
    void setTag(long tag) override { tag_ = tag; }

  protected:
    NSActionCell(const NSActionCell&) = default;
    Ref<NSCell> clone() const override;

  private:
    WeakRef<NSObject> target_;
    SEL action_;
    long tag_ = 0;
};
