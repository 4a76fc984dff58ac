#include "platform/appkit/ScrollClasses.h"

#include <string>
#include <vector>

#include "platform/appkit/ControlClasses.h"
#include "platform/appkit/NSScrollView.h"
#include "platform/appkit/NibValueParsers.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/graphics/NSColor.h"

namespace {

using platform::EnumName;

const std::vector<EnumName> kBorderTypes = {{"none", 0}, {"line", 1}, {"bezel", 2}, {"groove", 3}};
const std::vector<EnumName> kScrollerStyles = {{"legacy", 0}, {"overlay", 1}};
const std::vector<EnumName> kKnobStyles = {{"default", 0}, {"dark", 1}, {"light", 2}};

template <class T>
std::function<bool(T&, const std::string&)> enumSetter(const std::vector<EnumName>& names,
                                                       void (*apply)(T&, long)) {
    return [&names, apply](T& object, const std::string& text) {
        long value = 0;
        if (!platform::parseEnumText(text, names, value)) return false;
        apply(object, value);
        return true;
    };
}

template <class T>
std::function<bool(T&, const std::string&)> colorSetter() {
    return [](T& object, const std::string& text) {
        Ref<NSColor> color = platform::parseColorText(text);
        if (!color) return false;
        object.setBackgroundColor(color);
        return true;
    };
}

}  // namespace

void registerAppKitScrollClasses() {
    registerAppKitControlClasses();
    auto& registry = ClassRegistry::shared();

    registry.registerClass<NSClipView, NSView>("NSClipView")
        .property("drawsBackground", &NSClipView::setDrawsBackground)
        .property("backgroundColor", colorSetter<NSClipView>())
        .property("postsBoundsChangedNotifications",
                  &NSClipView::setPostsBoundsChangedNotifications);

    registry.registerClass<NSScroller, NSControl>("NSScroller")
        .property("knobStyle",
                  enumSetter<NSScroller>(kKnobStyles,
                                         [](NSScroller& s, long v) {
                                             s.setKnobStyle(static_cast<NSScrollerKnobStyle>(v));
                                         }))
        .property("scrollerStyle",
                  enumSetter<NSScroller>(kScrollerStyles, [](NSScroller& s, long v) {
                      s.setScrollerStyle(static_cast<NSScrollerStyle>(v));
                  }));

    registry.registerClass<NSScrollView, NSView>("NSScrollView")
        .property("hasVerticalScroller", &NSScrollView::setHasVerticalScroller)
        .property("hasHorizontalScroller", &NSScrollView::setHasHorizontalScroller)
        .property("autohidesScrollers", &NSScrollView::setAutohidesScrollers)
        .property("drawsBackground", &NSScrollView::setDrawsBackground)
        .property("backgroundColor", colorSetter<NSScrollView>())
        .property("borderType",
                  enumSetter<NSScrollView>(kBorderTypes,
                                           [](NSScrollView& s, long v) {
                                               s.setBorderType(static_cast<NSBorderType>(v));
                                           }))
        .property("scrollerStyle",
                  enumSetter<NSScrollView>(kScrollerStyles, [](NSScrollView& s, long v) {
                      s.setScrollerStyle(static_cast<NSScrollerStyle>(v));
                  }));
}
