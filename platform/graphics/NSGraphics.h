#pragma once
// Rectangle filling and framing in the current context, with the current fill colour.

#include "platform/foundation/NSGeometry.h"
#include "platform/graphics/NSGraphicsContext.h"

/// Fills `rect` with the fill colour, replacing what is there (copy), as the platform does.
void NSRectFill(NSRect rect);
/// Fills `rect` with the fill colour using `operation`.
void NSRectFillUsingOperation(NSRect rect, NSCompositingOperation operation);
/// Draws a 1-point frame just inside `rect` with the fill colour.
void NSFrameRect(NSRect rect);
/// Draws a frame `width` points wide just inside `rect` with the fill colour.
void NSFrameRectWithWidth(NSRect rect, double width);
/// Fills `rect` with opaque white (copy).
void NSEraseRect(NSRect rect);
