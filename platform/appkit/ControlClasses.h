#pragma once
// Registration of the controls and cells with the class registry, with the properties that
// interface files may set on them.

/// Registers NSControl, NSButton, NSTextField, NSImageView, NSProgressIndicator,
/// NSSegmentedControl and their cells (NSView is registered first when it is not yet).
/// Properties, beyond NSView's:
///   every control: enabled, tag, stringValue, font ("Name 13", "system 13"), alignment,
///                  lineBreakMode, usesSingleLineMode, continuous, focusRingType, controlSize
///   NSButton: title, alternateTitle, image and alternateImage (by name), buttonType,
///             bezelStyle, bordered, transparent, state, imagePosition, imageScaling,
///             highlightsBy, showsStateBy, imageDimsWhenDisabled, allowsMixedState,
///             keyEquivalent
///   NSTextField: textColor and backgroundColor ("r g b a" in 0..1, "#RRGGBB[AA]" or a colour
///                name), drawsBackground, editable, selectable, bezeled, bordered, bezelStyle,
///                placeholderString
///   NSImageView: image, imageScaling, imageAlignment, imageFrameStyle, editable
///   NSProgressIndicator: style, indeterminate, minValue, maxValue, doubleValue,
///                        displayedWhenStopped, controlSize, usesThreadedAnimation, bezeled
///   NSSegmentedControl: segmentCount, labels ("A|B|C"), widths ("40|0|40"),
///                       selectedSegment, trackingMode, segmentStyle
/// Enumerations take their names ("switch", "rounded", "center", "on", ...) or numbers.
/// Interface files build a control's cell with the control; a cell element written inside a
/// control's element replaces it (its own attributes then configure it).
void registerAppKitControlClasses();
