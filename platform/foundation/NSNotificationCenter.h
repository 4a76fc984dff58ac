#pragma once
// Notifications: named posts with a sender and user information, delivered synchronously to
// the observers registered for the name (or every name) and the sender (or any sender).

#include <any>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/Ref.h"
#include "platform/foundation/SEL.h"

class NSObject;

using NSNotificationName = std::string;

/// One post: its name, the object that posted it and optional user information.
class NSNotification {
  public:
    NSNotification(NSNotificationName name, Ref<NSObject> object,
                   std::map<std::string, std::any> userInfo = {})
        : name_(std::move(name)), object_(std::move(object)), userInfo_(std::move(userInfo)) {}

    const NSNotificationName& name() const { return name_; }
    /// The posting object (may be nullptr).
    const Ref<NSObject>& object() const { return object_; }
    const std::map<std::string, std::any>& userInfo() const { return userInfo_; }

  private:
    NSNotificationName name_;
    Ref<NSObject> object_;
    std::map<std::string, std::any> userInfo_;
};

class NSNotificationCenter {
  public:
    using Token = std::uint64_t;
    using Block = std::function<void(const NSNotification&)>;

    /// The process-wide centre.
    static NSNotificationCenter& defaultCenter();

    /// Sends `observer`'s `selector` (with the notification as argument) for posts of `name`
    /// ("" = every name) from `object` (nullptr = any sender). Neither is retained: a freed
    /// observer is dropped, and a freed sender's registration no longer matches.
    void addObserver(const Ref<NSObject>& observer, SEL selector, const NSNotificationName& name,
                     const NSObject* object);
    /// Calls `block` for matching posts until the returned token is removed.
    Token addObserverForName(const NSNotificationName& name, const NSObject* object, Block block);
    /// Removes every registration of `observer`.
    void removeObserver(const NSObject* observer);
    /// Removes the registrations of `observer` for `name` ("" = all) and `object` (nullptr = all).
    void removeObserver(const NSObject* observer, const NSNotificationName& name,
                        const NSObject* object);
    /// Removes a block registration.
    void removeObserver(Token token);

    /// Delivers a notification now, on the calling thread, in the order of registration.
    void postNotification(const NSNotification& notification);
    void postNotificationName(const NSNotificationName& name, const Ref<NSObject>& object,
                              std::map<std::string, std::any> userInfo = {});
    /// Same, with a sender that is not owned by a Ref (posting from a constructor-free context).
    void postNotificationName(const NSNotificationName& name, NSObject* object);

    /// The number of live registrations (for tests).
    std::size_t observerCount() const;

  private:
    void deliver(const NSNotification& notification, const NSObject* sender);
    struct Entry {
        Token token;
        const NSObject* observerKey = nullptr;
        WeakRef<NSObject> observer;
        SEL selector;
        Block block;
        NSNotificationName name;
        const NSObject* object = nullptr;
    };
    std::vector<Entry> entries_;
    Token lastToken_ = 0;
};
