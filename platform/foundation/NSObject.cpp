#include "platform/foundation/NSObject.h"

#include <cxxabi.h>

#include <cstdlib>
#include <future>

#include "platform/foundation/NSRunLoop.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/NSThread.h"
#include "platform/foundation/NSTimer.h"

namespace {

std::string demangle(const char* name) {
    int status = 0;
    char* out = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    std::string result = (status == 0 && out) ? out : name;
    std::free(out);
    return result;
}

}  // namespace

NSObject::~NSObject() = default;

std::string NSObject::description() const {
    return ns::stringWithFormat("<%@: %p>", className(), static_cast<const void*>(this));
}

const ClassInfo* NSObject::classInfo() const {
    return ClassRegistry::shared().classOf(typeid(*this));
}

std::string NSObject::className() const {
    const ClassInfo* info = classInfo();
    return info ? info->name() : demangle(typeid(*this).name());
}

bool NSObject::isKindOfClass(std::string_view name) const {
    const ClassInfo* mine = classInfo();
    const ClassInfo* other = ClassRegistry::shared().classNamed(name);
    return mine && other && mine->isSubclassOf(*other);
}

bool NSObject::respondsToSelector(SEL sel) const {
    const ClassInfo* info = classInfo();
    return sel && info && info->findMethod(sel);
}

bool NSObject::performSelector(SEL sel, const SelectorArg& arg) {
    const ClassInfo* info = classInfo();
    const ClassInfo::Method* m = (sel && info) ? info->findMethod(sel) : nullptr;
    if (!m) {
        std::fprintf(stderr, "-[%s %s]: unrecognized selector sent to instance %p\n",
                     className().c_str(), sel.name().c_str(), static_cast<void*>(this));
        return false;
    }
    (*m)(*this, arg);
    return true;
}

void NSObject::performSelectorAfterDelay(SEL sel, const SelectorArg& arg, double delay) {
    Ref<NSObject> target = weak_from_this().lock();
    if (!target) {
        std::fprintf(stderr, "performSelector:afterDelay: on an object that no Ref owns\n");
        return;
    }
    NSRunLoop::mainRunLoop().addPerformRequest(target, sel, arg, delay);
}

void NSObject::cancelPreviousPerformRequestsWithTarget(const NSObject* target, SEL sel) {
    NSRunLoop::mainRunLoop().cancelPerformRequests(target, sel);
}

void NSObject::performSelectorOnMainThread(SEL sel, const SelectorArg& arg, bool waitUntilDone) {
    Ref<NSObject> target = weak_from_this().lock();
    if (!target) return;
    auto block = [target, sel, arg] { target->performSelector(sel, arg); };
    if (waitUntilDone)
        NSRunLoop::performOnMainThreadAndWait(block);
    else
        NSRunLoop::mainRunLoop().enqueueBlock(block);
}

void NSObject::registerClass() {
    ClassRegistry::shared().registerClass<NSObject, NSObject>("NSObject");
}
