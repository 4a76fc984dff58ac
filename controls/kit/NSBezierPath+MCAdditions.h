#pragma once
// Path helper of the drawing kit: a fill that casts a shadow inward, along the path's inside
// edge, and nowhere outside the path.

#include "platform/graphics/NSBezierPath.h"
#include "platform/graphics/NSShadow.h"

/// Draws `shadow` inside `path` only (nothing outside it, and no fill of its own), in the
/// current context; the shadow's offset is changed while drawing and set back afterwards.
void fillWithInnerShadow(const NSBezierPath& path, NSShadow& shadow);
