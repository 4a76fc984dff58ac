#include "platform/appkit/ControlClasses.h"

#include <functional>
#include <string>
#include <vector>

#include "platform/appkit/NSButton.h"
#include "platform/appkit/NSImageView.h"
#include "platform/appkit/NSProgressIndicator.h"
#include "platform/appkit/NSSegmentedControl.h"
#include "platform/appkit/NSTextField.h"
#include "platform/appkit/NibValueParsers.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSFont.h"
#include "platform/graphics/NSImage.h"

namespace {

using platform::EnumName;

template <class T>
using TextSetter = std::function<bool(T&, const std::string&)>;

const std::vector<EnumName> kAlignments = {
    {"left", 0}, {"right", 1}, {"center", 2}, {"justified", 3}, {"natural", 4}};
const std::vector<EnumName> kLineBreakModes = {{"wordWrapping", 0},   {"charWrapping", 1},
                                               {"clipping", 2},       {"truncatingHead", 3},
                                               {"truncatingTail", 4}, {"truncatingMiddle", 5}};
const std::vector<EnumName> kStates = {{"off", 0}, {"on", 1}, {"mixed", -1}};
const std::vector<EnumName> kButtonTypes = {
    {"momentaryLight", 0}, {"pushOnPushOff", 1},   {"toggle", 2}, {"switch", 3},
    {"radio", 4},          {"momentaryChange", 5}, {"onOff", 6},  {"momentaryPushIn", 7}};
const std::vector<EnumName> kBezelStyles = {
    {"rounded", 1},    {"regularSquare", 2},      {"thickSquare", 3},      {"thickerSquare", 4},
    {"disclosure", 5}, {"shadowlessSquare", 6},   {"circular", 7},         {"texturedSquare", 8},
    {"helpButton", 9}, {"smallSquare", 10},       {"texturedRounded", 11}, {"roundRect", 12},
    {"recessed", 13},  {"roundedDisclosure", 14}, {"inline", 15}};
const std::vector<EnumName> kImagePositions = {
    {"noImage", 0},       {"imageOnly", 1},    {"imageLeft", 2},
    {"imageRight", 3},    {"imageBelow", 4},   {"imageAbove", 5},
    {"imageOverlaps", 6}, {"imageLeading", 7}, {"imageTrailing", 8}};
const std::vector<EnumName> kImageScalings = {{"proportionallyDown", 0},
                                              {"axesIndependently", 1},
                                              {"none", 2},
                                              {"proportionallyUpOrDown", 3}};
const std::vector<EnumName> kImageAlignments = {
    {"center", 0}, {"top", 1},        {"topLeft", 2},     {"topRight", 3}, {"left", 4},
    {"bottom", 5}, {"bottomLeft", 6}, {"bottomRight", 7}, {"right", 8}};
const std::vector<EnumName> kImageFrameStyles = {
    {"none", 0}, {"photo", 1}, {"grayBezel", 2}, {"groove", 3}, {"button", 4}};
const std::vector<EnumName> kCellMasks = {
    {"none", 0}, {"contents", 1}, {"pushIn", 2}, {"changeGray", 4}, {"changeBackground", 8}};
const std::vector<EnumName> kTextFieldBezels = {{"square", 0}, {"rounded", 1}};
const std::vector<EnumName> kProgressStyles = {{"bar", 0}, {"spinning", 1}};
const std::vector<EnumName> kControlSizes = {{"regular", 0}, {"small", 1}, {"mini", 2}};
const std::vector<EnumName> kFocusRings = {{"default", 0}, {"none", 1}, {"exterior", 2}};
const std::vector<EnumName> kTrackingModes = {{"selectOne", 0}, {"selectAny", 1}, {"momentary", 2}};
const std::vector<EnumName> kSegmentStyles = {
    {"automatic", 0},      {"rounded", 1}, {"texturedRounded", 2}, {"roundRect", 3},
    {"texturedSquare", 4}, {"capsule", 5}, {"smallSquare", 6},     {"separated", 8}};

/// A cell style mask: a number from 0 to 15, or mask names joined by '|' ("pushIn|changeGray").
template <class T>
TextSetter<T> maskSetter(std::function<void(T&, NSCellStyleMask)> apply) {
    return [apply = std::move(apply)](T& object, const std::string& text) {
        long number = 0;
        if (platform::parsePropertyText(text, number)) {
            if (number < 0 || number > 15) return false;
            apply(object, static_cast<NSCellStyleMask>(number));
            return true;
        }
        NSCellStyleMask mask = 0;
        for (const std::string& part : platform::splitListText(text)) {
            long bit = 0;
            if (!platform::parseEnumText(part, kCellMasks, bit)) return false;
            mask |= static_cast<NSCellStyleMask>(bit);
        }
        if (text.empty()) return false;
        apply(object, mask);
        return true;
    };
}

/// An enumeration property: `apply` receives the parsed value.
template <class T>
TextSetter<T> enumSetter(const std::vector<EnumName>& names, std::function<void(T&, long)> apply) {
    return [&names, apply = std::move(apply)](T& object, const std::string& text) {
        long value = 0;
        if (!platform::parseEnumText(text, names, value)) return false;
        apply(object, value);
        return true;
    };
}

template <class T>
TextSetter<T> colorSetter(std::function<void(T&, const Ref<NSColor>&)> apply) {
    return [apply = std::move(apply)](T& object, const std::string& text) {
        Ref<NSColor> color = platform::parseColorText(text);
        if (!color) return false;
        apply(object, color);
        return true;
    };
}

template <class T>
TextSetter<T> fontSetter(std::function<void(T&, const Ref<NSFont>&)> apply) {
    return [apply = std::move(apply)](T& object, const std::string& text) {
        Ref<NSFont> font = platform::parseFontText(text);
        if (!font) return false;
        apply(object, font);
        return true;
    };
}

template <class T>
TextSetter<T> imageSetter(std::function<void(T&, const Ref<NSImage>&)> apply) {
    return [apply = std::move(apply)](T& object, const std::string& text) {
        bool found = false;
        Ref<NSImage> image = platform::parseImageText(text, found);
        if (!found) return false;
        apply(object, image);
        return true;
    };
}

/// The text properties that cells and controls share, on either.
template <class T>
void addTextProperties(ClassBuilder<T>& b) {
    b.property("font", fontSetter<T>([](T& o, const Ref<NSFont>& f) { o.setFont(f); }))
        .property("alignment", enumSetter<T>(kAlignments,
                                             [](T& o, long v) {
                                                 o.setAlignment(static_cast<NSTextAlignment>(v));
                                             }))
        .property("lineBreakMode",
                  enumSetter<T>(
                      kLineBreakModes,
                      [](T& o, long v) { o.setLineBreakMode(static_cast<NSLineBreakMode>(v)); }))
        .property("usesSingleLineMode",
                  std::function<bool(T&, const std::string&)>([](T& o, const std::string& text) {
                      bool v = false;
                      if (!platform::parsePropertyText(text, v)) return false;
                      o.setUsesSingleLineMode(v);
                      return true;
                  }))
        .property("controlSize", enumSetter<T>(kControlSizes, [](T& o, long v) {
                      o.setControlSize(static_cast<NSControlSize>(v));
                  }));
}

/// A boolean property applied through `apply`.
template <class T>
TextSetter<T> boolSetter(std::function<void(T&, bool)> apply) {
    return [apply = std::move(apply)](T& object, const std::string& text) {
        bool value = false;
        if (!platform::parsePropertyText(text, value)) return false;
        apply(object, value);
        return true;
    };
}

/// The properties of button cells, on the cell class or (through the cell) on NSButton.
template <class T, class CellOf>
void addButtonProperties(ClassBuilder<T>& b, CellOf cellOf) {
    b.property("title",
               [cellOf](T& o, const std::string& text) {
                   cellOf(o).setTitle(text);
                   return true;
               })
        .property("alternateTitle",
                  [cellOf](T& o, const std::string& text) {
                      cellOf(o).setAlternateTitle(text);
                      return true;
                  })
        .property("image",
                  imageSetter<T>([cellOf](T& o, const Ref<NSImage>& i) { cellOf(o).setImage(i); }))
        .property("alternateImage", imageSetter<T>([cellOf](T& o, const Ref<NSImage>& i) {
                      cellOf(o).setAlternateImage(i);
                  }))
        .property("buttonType",
                  enumSetter<T>(kButtonTypes,
                                [cellOf](T& o, long v) {
                                    cellOf(o).setButtonType(static_cast<NSButtonType>(v));
                                }))
        .property("bezelStyle",
                  enumSetter<T>(kBezelStyles,
                                [cellOf](T& o, long v) {
                                    cellOf(o).setBezelStyle(static_cast<NSBezelStyle>(v));
                                }))
        .property("bordered", boolSetter<T>([cellOf](T& o, bool v) { cellOf(o).setBordered(v); }))
        .property("transparent",
                  boolSetter<T>([cellOf](T& o, bool v) { cellOf(o).setTransparent(v); }))
        .property("state",
                  enumSetter<T>(kStates, [cellOf](T& o, long v) { cellOf(o).setState(v); }))
        .property("allowsMixedState",
                  boolSetter<T>([cellOf](T& o, bool v) { cellOf(o).setAllowsMixedState(v); }))
        .property("imagePosition",
                  enumSetter<T>(kImagePositions,
                                [cellOf](T& o, long v) {
                                    cellOf(o).setImagePosition(static_cast<NSCellImagePosition>(v));
                                }))
        .property("imageScaling",
                  enumSetter<T>(kImageScalings,
                                [cellOf](T& o, long v) {
                                    cellOf(o).setImageScaling(static_cast<NSImageScaling>(v));
                                }))
        .property("highlightsBy", maskSetter<T>([cellOf](T& o, NSCellStyleMask v) {
                      cellOf(o).setHighlightsBy(v);
                  }))
        .property("showsStateBy", maskSetter<T>([cellOf](T& o, NSCellStyleMask v) {
                      cellOf(o).setShowsStateBy(v);
                  }))
        .property("imageDimsWhenDisabled",
                  boolSetter<T>([cellOf](T& o, bool v) { cellOf(o).setImageDimsWhenDisabled(v); }))
        .property("keyEquivalent", [cellOf](T& o, const std::string& text) {
            // "\r" (Return) and "\e" (Escape) are written as escapes in files.
            if (text == "\\r")
                cellOf(o).setKeyEquivalent("\r");
            else if (text == "\\e")
                cellOf(o).setKeyEquivalent("\x1b");
            else
                cellOf(o).setKeyEquivalent(text);
            return true;
        });
}

/// The properties of segmented cells, on the cell class or on NSSegmentedControl (which
/// passes them to its cell).
template <class T>
void addSegmentProperties(ClassBuilder<T>& b) {
    b.property("segmentCount",
               [](T& o, const std::string& text) {
                   long count = 0;
                   if (!platform::parsePropertyText(text, count) || count < 0 || count > 1000)
                       return false;
                   o.setSegmentCount(count);
                   return true;
               })
        .property("labels",
                  [](T& o, const std::string& text) {
                      auto labels = platform::splitListText(text);
                      long n = static_cast<long>(labels.size());
                      if (n > 1000) return false;
                      if (n > o.segmentCount()) o.setSegmentCount(n);
                      for (long i = 0; i < n; ++i)
                          o.setLabel(labels[static_cast<std::size_t>(i)], i);
                      return true;
                  })
        .property("widths",
                  [](T& o, const std::string& text) {
                      auto widths = platform::splitListText(text);
                      std::vector<double> values;
                      for (const std::string& w : widths) {
                          double v = 0;
                          if (!platform::parsePropertyText(w, v) || v < 0) return false;
                          values.push_back(v);
                      }
                      long n = static_cast<long>(values.size());
                      if (n > 1000) return false;
                      if (n > o.segmentCount()) o.setSegmentCount(n);
                      for (long i = 0; i < n; ++i)
                          o.setWidth(values[static_cast<std::size_t>(i)], i);
                      return true;
                  })
        .property("selectedSegment",
                  [](T& o, const std::string& text) {
                      long segment = 0;
                      if (!platform::parsePropertyText(text, segment) || segment < -1 ||
                          segment >= o.segmentCount())
                          return false;
                      o.setSelectedSegment(segment);
                      return true;
                  })
        .property("trackingMode",
                  enumSetter<T>(kTrackingModes,
                                [](T& o, long v) {
                                    o.setTrackingMode(static_cast<NSSegmentSwitchTracking>(v));
                                }))
        .property("segmentStyle", enumSetter<T>(kSegmentStyles, [](T& o, long v) {
                      o.setSegmentStyle(static_cast<NSSegmentStyle>(v));
                  }));
}

}  // namespace

void registerAppKitControlClasses() {
    NSView::registerClass();
    auto& registry = ClassRegistry::shared();

    // Cells, for lists and for cell elements inside controls.
    auto cell = registry.registerClass<NSCell, NSObject>("NSCell");
    addTextProperties(cell);
    cell.property("stringValue", &NSCell::setStringValue)
        .property("title", &NSCell::setTitle)
        .property("enabled", &NSCell::setEnabled)
        .property("editable", &NSCell::setEditable)
        .property("selectable", &NSCell::setSelectable)
        .property("bordered", &NSCell::setBordered)
        .property("bezeled", &NSCell::setBezeled)
        .property("image",
                  imageSetter<NSCell>([](NSCell& c, const Ref<NSImage>& i) { c.setImage(i); }))
        .property("state", enumSetter<NSCell>(kStates, [](NSCell& c, long v) { c.setState(v); }));
    registry.registerClass<NSActionCell, NSCell>("NSActionCell")
        .property("tag", &NSActionCell::setTag);
    auto buttonCell = registry.registerClass<NSButtonCell, NSActionCell>("NSButtonCell");
    addButtonProperties(buttonCell, [](NSButtonCell& c) -> NSButtonCell& { return c; });
    registry.registerClass<NSTextFieldCell, NSActionCell>("NSTextFieldCell")
        .property("textColor",
                  colorSetter<NSTextFieldCell>(
                      [](NSTextFieldCell& c, const Ref<NSColor>& v) { c.setTextColor(v); }))
        .property("backgroundColor",
                  colorSetter<NSTextFieldCell>(
                      [](NSTextFieldCell& c, const Ref<NSColor>& v) { c.setBackgroundColor(v); }))
        .property("drawsBackground", &NSTextFieldCell::setDrawsBackground)
        .property("placeholderString", &NSTextFieldCell::setPlaceholderString);
    registry.registerClass<NSImageCell, NSCell>("NSImageCell")
        .property("imageScaling",
                  enumSetter<NSImageCell>(kImageScalings,
                                          [](NSImageCell& c, long v) {
                                              c.setImageScaling(static_cast<NSImageScaling>(v));
                                          }))
        .property("imageAlignment",
                  enumSetter<NSImageCell>(kImageAlignments, [](NSImageCell& c, long v) {
                      c.setImageAlignment(static_cast<NSImageAlignment>(v));
                  }));
    auto segmentedCell = registry.registerClass<NSSegmentedCell, NSActionCell>("NSSegmentedCell");
    addSegmentProperties(segmentedCell);

    // Controls.
    auto control = registry.registerClass<NSControl, NSView>("NSControl");
    addTextProperties(control);
    control.property("enabled", &NSControl::setEnabled)
        .property("tag", &NSControl::setTag)
        .property("stringValue", &NSControl::setStringValue)
        .property("continuous", &NSControl::setContinuous)
        .action("performClick:", &NSControl::performClick)
        .property("focusRingType", enumSetter<NSControl>(kFocusRings, [](NSControl& c, long v) {
                      c.setFocusRingType(static_cast<NSFocusRingType>(v));
                  }));

    auto button = registry.registerClass<NSButton, NSControl>("NSButton");
    addButtonProperties(button, [](NSButton& b) -> NSButtonCell& {
        // A cell element of another kind leaves the button without a button cell: its
        // properties then go to a cell of its own that is not drawn.
        if (NSButtonCell* c = b.cell()) return *c;
        static NSButtonCell unused;
        return unused;
    });

    registry.registerClass<NSTextField, NSControl>("NSTextField")
        .property("textColor", colorSetter<NSTextField>([](NSTextField& f, const Ref<NSColor>& v) {
                      f.setTextColor(v);
                  }))
        .property("backgroundColor",
                  colorSetter<NSTextField>(
                      [](NSTextField& f, const Ref<NSColor>& v) { f.setBackgroundColor(v); }))
        .property("drawsBackground", &NSTextField::setDrawsBackground)
        .property("editable", &NSTextField::setEditable)
        .property("selectable", &NSTextField::setSelectable)
        .property("bezeled", &NSTextField::setBezeled)
        .property("bordered", &NSTextField::setBordered)
        .property("bezelStyle", enumSetter<NSTextField>(
                                    kTextFieldBezels,
                                    [](NSTextField& f, long v) {
                                        f.setBezelStyle(static_cast<NSTextFieldBezelStyle>(v));
                                    }))
        .property("placeholderString", &NSTextField::setPlaceholderString);

    registry.registerClass<NSImageView, NSControl>("NSImageView")
        .property("image", imageSetter<NSImageView>(
                               [](NSImageView& v, const Ref<NSImage>& i) { v.setImage(i); }))
        .property("imageScaling",
                  enumSetter<NSImageView>(kImageScalings,
                                          [](NSImageView& v, long s) {
                                              v.setImageScaling(static_cast<NSImageScaling>(s));
                                          }))
        .property("imageAlignment",
                  enumSetter<NSImageView>(kImageAlignments,
                                          [](NSImageView& v, long a) {
                                              v.setImageAlignment(static_cast<NSImageAlignment>(a));
                                          }))
        .property(
            "imageFrameStyle",
            enumSetter<NSImageView>(kImageFrameStyles,
                                    [](NSImageView& v, long s) {
                                        v.setImageFrameStyle(static_cast<NSImageFrameStyle>(s));
                                    }))
        .property("editable", &NSImageView::setEditable);

    registry.registerClass<NSProgressIndicator, NSView>("NSProgressIndicator")
        .action("startAnimation:", &NSProgressIndicator::startAnimation)
        .action("stopAnimation:", &NSProgressIndicator::stopAnimation)
        .property("style", enumSetter<NSProgressIndicator>(
                               kProgressStyles,
                               [](NSProgressIndicator& p, long v) {
                                   p.setStyle(static_cast<NSProgressIndicatorStyle>(v));
                               }))
        .property("indeterminate", &NSProgressIndicator::setIndeterminate)
        .property("minValue", &NSProgressIndicator::setMinValue)
        .property("maxValue", &NSProgressIndicator::setMaxValue)
        .property("doubleValue", &NSProgressIndicator::setDoubleValue)
        .property("displayedWhenStopped", &NSProgressIndicator::setDisplayedWhenStopped)
        .property("usesThreadedAnimation", &NSProgressIndicator::setUsesThreadedAnimation)
        .property("bezeled", &NSProgressIndicator::setBezeled)
        .property("controlSize", enumSetter<NSProgressIndicator>(
                                     kControlSizes, [](NSProgressIndicator& p, long v) {
                                         p.setControlSize(static_cast<NSControlSize>(v));
                                     }));

    auto segmented = registry.registerClass<NSSegmentedControl, NSControl>("NSSegmentedControl");
    addSegmentProperties(segmented);
}
