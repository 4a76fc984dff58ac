#include "platform/foundation/NSNotificationCenter.h"

#include <algorithm>

#include "platform/foundation/NSObject.h"

NSNotificationCenter& NSNotificationCenter::defaultCenter() {
    static NSNotificationCenter center;
    return center;
}

void NSNotificationCenter::addObserver(const Ref<NSObject>& observer, SEL selector,
                                       const NSNotificationName& name, const NSObject* object) {
    if (!observer) return;
    Entry entry;
    entry.token = ++lastToken_;
    entry.observerKey = observer.get();
    entry.observer = observer;
    entry.selector = selector;
    entry.name = name;
    entry.object = object;
    entries_.push_back(std::move(entry));
}

NSNotificationCenter::Token NSNotificationCenter::addObserverForName(const NSNotificationName& name,
                                                                     const NSObject* object,
                                                                     Block block) {
    Entry entry;
    entry.token = ++lastToken_;
    entry.block = std::move(block);
    entry.name = name;
    entry.object = object;
    Token token = entry.token;
    entries_.push_back(std::move(entry));
    return token;
}

void NSNotificationCenter::removeObserver(const NSObject* observer) {
    removeObserver(observer, "", nullptr);
}

void NSNotificationCenter::removeObserver(const NSObject* observer, const NSNotificationName& name,
                                          const NSObject* object) {
    if (!observer) return;
    std::erase_if(entries_, [&](const Entry& e) {
        return e.observerKey == observer && (name.empty() || e.name == name) &&
               (!object || e.object == object);
    });
}

void NSNotificationCenter::removeObserver(Token token) {
    std::erase_if(entries_, [&](const Entry& e) { return e.token == token; });
}

void NSNotificationCenter::postNotification(const NSNotification& notification) {
    deliver(notification, notification.object().get());
}

void NSNotificationCenter::deliver(const NSNotification& notification, const NSObject* sender) {
    // Observers may register or remove others while being told: walk a snapshot of tokens and
    // look each one up again before calling it.
    std::vector<Token> tokens;
    for (const Entry& e : entries_) {
        if ((e.name.empty() || e.name == notification.name()) && (!e.object || e.object == sender))
            tokens.push_back(e.token);
    }
    for (Token token : tokens) {
        auto it = std::find_if(entries_.begin(), entries_.end(),
                               [token](const Entry& e) { return e.token == token; });
        if (it == entries_.end()) continue;
        if (it->block) {
            Block block = it->block;
            block(notification);
            continue;
        }
        Ref<NSObject> observer = it->observer.lock();
        if (!observer) {
            entries_.erase(it);
            continue;
        }
        SEL selector = it->selector;
        observer->performSelector(selector,
                                  std::any(std::make_shared<NSNotification>(notification)));
    }
}

void NSNotificationCenter::postNotificationName(const NSNotificationName& name,
                                                const Ref<NSObject>& object,
                                                std::map<std::string, std::any> userInfo) {
    postNotification(NSNotification(name, object, std::move(userInfo)));
}

void NSNotificationCenter::postNotificationName(const NSNotificationName& name, NSObject* object) {
    // A sender not (or no longer) owned by a Ref still matches registrations by its address.
    Ref<NSObject> sender = object ? object->weak_from_this().lock() : nullptr;
    deliver(NSNotification(name, sender), object);
}

std::size_t NSNotificationCenter::observerCount() const {
    return entries_.size();
}
