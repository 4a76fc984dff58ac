#pragma once
// What the sort pop-up tells the screen that shows it. Sort keys: 1 name, 2 size; directions:
// 1 ascending, 2 descending.

#include <cstdint>

class SortViewControllerDelegate {
  public:
    virtual ~SortViewControllerDelegate() = default;
    /// `exited` is true when the pointer left the pop-up, false when it came in.
    virtual void mouseEixtView(bool exited) = 0;
    /// A choice was made: sort by `type` in direction `upDown` (the current pair).
    virtual void sortActionBy(std::int32_t type, std::int32_t upDown) = 0;
};
