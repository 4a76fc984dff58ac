#pragma once
// Registration of the scroll view classes with the class registry, with the properties that
// interface files may set on them.

/// Registers NSScrollView, NSClipView and NSScroller (the controls are registered first when
/// they are not yet). Properties:
///   NSScrollView: hasVerticalScroller, hasHorizontalScroller, autohidesScrollers,
///                 borderType (none, line, bezel, groove), drawsBackground, backgroundColor
///                 ("r g b a", "#RRGGBB[AA]" or a colour name), scrollerStyle (legacy, overlay)
///   NSClipView: drawsBackground, backgroundColor, postsBoundsChangedNotifications
///   NSScroller: knobStyle (default, dark, light), scrollerStyle
/// A view element written inside an NSScrollView's element becomes its document view.
void registerAppKitScrollClasses();
