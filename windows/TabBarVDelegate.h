#pragma once
// What a strip of window buttons tells its delegate. Its one message is optional: a delegate
// answers it by adopting this class.

class TabBarVDelegate {
  public:
    virtual ~TabBarVDelegate() = default;
    /// Sent when the strip's close button is clicked, before the strip closes its window.
    virtual void closeWindowAction() = 0;
};
