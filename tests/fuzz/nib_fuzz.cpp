// Fuzz target of the interface-file loader: any bytes must load or give an error line without
// crashing, hanging or leaking, whatever classes, ids, outlets and actions they name.
// Built by scripts/fuzz (clang, libFuzzer).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/appkit/NibLoader.h"

namespace {

class FuzzObject : public NSObject {
  public:
    void setTitle(const std::string& t) { title = t; }
    void setTag(int t) { tag = t; }
    void setFrame(const NSRect& r) { frame = r; }
    void setHidden(bool h) { hidden = h; }
    std::string title;
    int tag = 0;
    NSRect frame;
    bool hidden = false;
};

class FuzzView : public FuzzObject,
                 public NibContainer,
                 public NibTargetAction,
                 public NibUnarchiving {
  public:
    void addNibChild(Ref<NSObject> child) override { children.push_back(std::move(child)); }
    void setTarget(WeakRef<NSObject> t) override { target = std::move(t); }
    void setAction(SEL a) override { action = a; }
    void awakeAfterUnarchive() override { unarchived = true; }
    void press(const Ref<NSObject>&) {}
    std::vector<Ref<NSObject>> children;
    WeakRef<NSObject> target;
    WeakRef<NSObject> delegate;
    WeakRef<FuzzView> next;
    SEL action;
    bool unarchived = false;
};

class FuzzOwner : public NSObject {
  public:
    void setView(const Ref<FuzzView>& v) { view = v; }
    void click(const Ref<NSObject>&) {}
    Ref<FuzzView> view;
    Ref<NSObject> anything;
};

void registerFuzzClasses() {
    NSObject::registerClass();
    auto& registry = ClassRegistry::shared();
    registry.registerClass<FuzzObject, NSObject>("FObject")
        .property("title", &FuzzObject::setTitle)
        .property("tag", &FuzzObject::setTag)
        .property("frame", &FuzzObject::setFrame)
        .property("hidden", &FuzzObject::setHidden);
    registry.registerClass<FuzzView, FuzzObject>("FView")
        .action("press:", &FuzzView::press)
        .outlet("delegate", &FuzzView::delegate)
        .outlet("next", &FuzzView::next);
    registry.registerClass<FuzzOwner, NSObject>("FOwner")
        .action("click:", &FuzzOwner::click)
        .outlet("view", &FuzzOwner::setView)
        .outlet("anything", &FuzzOwner::anything);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool registered = (registerFuzzClasses(), true);
    (void)registered;
    auto owner = std::make_shared<FuzzOwner>();
    const std::string_view xml(reinterpret_cast<const char*>(data), size);
    NibLoadResult result = NibLoader::loadData(xml, "Fuzz.ui", owner);
    if (!result.ok() && !result.topLevelObjects.empty()) __builtin_trap();
    return 0;
}
