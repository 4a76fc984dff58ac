#pragma once
// A set of window buttons that roll over together: it counts how many of its buttons hold
// the pointer and tells them when the count changes. Groups are kept by identifier for the
// life of the process.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/foundation/NSNotificationCenter.h"
#include "platform/foundation/NSObject.h"

/// Posted by a group (the object) whenever its count of captures changes.
extern const NSNotificationName TCWindowButtonGroupDidUpdateRolloverStateNotification;

class TCWindowButtonGroup : public NSObject {
  public:
    /// The identifier that a nil identifier stands for.
    static const std::string kDefaultIdentifier;

    /// The group registered under `identifier` (nil: the default one), made and registered
    /// on first request. Main thread only.
    static Ref<TCWindowButtonGroup> groupWithIdentifier(
        const std::optional<std::string>& identifier);
    /// A new group outside the registry.
    static Ref<TCWindowButtonGroup> make(const std::string& identifier) {
        auto group = std::make_shared<TCWindowButtonGroup>();
        group->initWithIdentifier(identifier);
        return group;
    }
    /// Stores the identifier; the count starts at 0.
    void initWithIdentifier(const std::string& identifier);

    const std::string& identifier() const { return identifier_; }
    /// How many of the group's buttons hold the pointer; never negative.
    std::int64_t numberOfCaptures() const { return numberOfCaptures_; }
    /// Stores a new count and posts the notification; a negative or unchanged count changes
    /// nothing and posts nothing.
    void setNumberOfCaptures(std::int64_t count);

    /// One more button holds the pointer.
    void didCaptureMousePointer();
    /// One button less holds the pointer (the count stays at 0 or above).
    void didReleaseMousePointer();
    /// No button holds the pointer.
    void resetMouseCaptures();
    /// Whether the buttons show their rollover images (the count is above 0).
    bool shouldDisplayRollOver() const { return numberOfCaptures_ > 0; }

    static void registerClass();

  private:
    std::string identifier_;
    std::int64_t numberOfCaptures_ = 0;
};
