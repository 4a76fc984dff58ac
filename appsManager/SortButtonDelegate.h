#pragma once
// What an entry of the sort pop-up tells its owner.

#include <cstdint>

class SortButtonDelegate {
  public:
    virtual ~SortButtonDelegate() = default;
    /// The entry numbered `tag` (0 to 3) was clicked.
    virtual void selectButtonWithTag(std::int32_t tag) = 0;
};
