#pragma once
// What the search box tells the screen that owns it.

#include <optional>
#include <string>

class NewSearchTextFiledDelegate {
  public:
    virtual ~NewSearchTextFiledDelegate() = default;
    /// Search for `key`: the text after each change (nullopt once the field is empty), or the
    /// text as it stands (empty included) on Return and on the search button.
    virtual void doSearchWithKey(const std::optional<std::string>& key) = 0;
    /// The clear button emptied a field that held text.
    virtual void searchCancelButtonAction() = 0;
};
