#pragma once
// The content of the sort pop-up: four entries ("Name", "Size", "Ascending", "Descending")
// that remember the current sort key (1 name, 2 size) and direction (1 ascending,
// 2 descending), mark the chosen ones and report every choice, and the pointer entering or
// leaving the pop-up, to the delegate.

#include <cstdint>
#include <mutex>

#include "appsManager/SortButton.h"
#include "appsManager/SortButtonDelegate.h"
#include "platform/appkit/NSTrackingArea.h"
#include "platform/appkit/NSViewController.h"

class SortViewController : public NSViewController, public SortButtonDelegate {
  public:
    /// A controller that loads "SortViewController" on first access of its view.
    static Ref<SortViewController> make() {
        auto controller = std::make_shared<SortViewController>();
        controller->initWithNibName("SortViewController", nullptr);
        return controller;
    }

    /// Name and Ascending chosen; the entries get their texts, tags, marks and this
    /// controller as delegate; the view tracks the pointer for this controller.
    void awakeFromNib() override;

    /// The pointer came into the pop-up: the delegate hears mouseEixtView(false).
    void mouseEntered(NSEvent& event) override;
    /// The pointer left the pop-up: the delegate hears mouseEixtView(true).
    void mouseExited(NSEvent& event) override;

    /// Tag 0 sorts by name, 1 by size, 2 ascending, anything else descending; the marks follow
    /// and the delegate hears the whole current pair.
    void selectButtonWithTag(std::int32_t tag) override;

    /// Closes the object in superDelegate when there is one.
    void closeWindow();

    /// The current sort key and direction.
    std::int32_t type() const { return type_; }
    std::int32_t updown() const { return updown_; }

    /// The object told of choices and of the pointer (not retained); it hears them when it
    /// adopts SortViewControllerDelegate.
    Ref<NSObject> delegate() const { return delegate_.lock(); }
    void setDelegate(const Ref<NSObject>& delegate) { delegate_ = delegate; }
    /// An object that closeWindow closes (retained); a window or a window controller.
    Ref<NSObject> superDelegate() const;
    void setSuperDelegate(const Ref<NSObject>& object);

    const Ref<SortButton>& nameButton() const { return nameButton_; }
    void setNameButton(const Ref<SortButton>& button) { nameButton_ = button; }
    const Ref<SortButton>& sizeButton() const { return sizeButton_; }
    void setSizeButton(const Ref<SortButton>& button) { sizeButton_ = button; }
    const Ref<SortButton>& ascButton() const { return ascButton_; }
    void setAscButton(const Ref<SortButton>& button) { ascButton_ = button; }
    const Ref<SortButton>& desButton() const { return desButton_; }
    void setDesButton(const Ref<SortButton>& button) { desButton_ = button; }

    static void registerClass();

  private:
    /// Whether `event` comes from a tracking area of this controller (the entries pass their
    /// own enter and leave events up the responder chain too).
    bool isOwnTrackingEvent(const NSEvent& event) const;
    void reportPointer(bool exited);

    Ref<SortButton> nameButton_;
    Ref<SortButton> sizeButton_;
    Ref<SortButton> ascButton_;
    Ref<SortButton> desButton_;
    std::int32_t type_ = 0;
    std::int32_t updown_ = 0;
    mutable std::mutex superDelegateMutex_;
    Ref<NSObject> superDelegate_;
    WeakRef<NSObject> delegate_;
};
