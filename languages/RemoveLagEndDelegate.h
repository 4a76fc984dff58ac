#pragma once
// What the language removal dialog tells the screen that opened it.

class RemoveLagEndDelegate {
  public:
    virtual ~RemoveLagEndDelegate() = default;
    /// The user pressed OK on the end panel; the dialog closes right after.
    virtual void removelanguageEnd() = 0;
};
