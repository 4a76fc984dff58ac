#pragma once
// The common base of objects that the runtime handles by name: creation from interface
// files, target/action, stored selectors and delayed performs.

#include <memory>
#include <string>

#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/Ref.h"
#include "platform/foundation/SEL.h"

class NSObject : public std::enable_shared_from_this<NSObject> {
  public:
    NSObject() = default;
    virtual ~NSObject();
    NSObject(const NSObject&) = delete;
    NSObject& operator=(const NSObject&) = delete;

    /// "<ClassName: 0x...>" unless a subclass says more.
    virtual std::string description() const;
    /// Called on every object of an interface file once all outlets are connected.
    virtual void awakeFromNib() {}

    /// The registered class of this object's dynamic type, or nullptr when unregistered.
    const ClassInfo* classInfo() const;
    /// The registered class name, or the C++ type name when unregistered.
    std::string className() const;
    /// Whether the object's class is, or inherits from, the class registered as `name`.
    bool isKindOfClass(std::string_view name) const;

    /// Whether the object's class (or a superclass) registers a method for `sel`.
    bool respondsToSelector(SEL sel) const;
    /// Runs the method for `sel` with `arg`; returns false (and logs) when there is none.
    bool performSelector(SEL sel, const SelectorArg& arg = {});
    /// Passes an object as the argument, as performSelector:withObject: does.
    template <class T>
    bool performSelector(SEL sel, const Ref<T>& object) {
        return performSelector(sel, SelectorArg(std::static_pointer_cast<NSObject>(object)));
    }
    bool performSelector(SEL sel, const std::string& text) {
        return performSelector(sel, SelectorArg(text));
    }

    /// Performs `sel` on the main run loop after `delay` seconds, in the default mode only.
    /// The object is retained until then.
    void performSelectorAfterDelay(SEL sel, const SelectorArg& arg, double delay);
    /// Cancels the pending delayed performs of `sel` on `target` (all selectors when null).
    static void cancelPreviousPerformRequestsWithTarget(const NSObject* target, SEL sel = SEL());
    /// Performs `sel` on the main thread; waits for it when asked (runs at once on the main
    /// thread).
    void performSelectorOnMainThread(SEL sel, const SelectorArg& arg, bool waitUntilDone);

    /// The retained reference to this object (it must be owned by a Ref).
    Ref<NSObject> self() { return shared_from_this(); }
    template <class T>
    Ref<T> selfAs() {
        return std::dynamic_pointer_cast<T>(shared_from_this());
    }

    /// Registers NSObject itself; called by every registerClasses().
    static void registerClass();
};
