#include "controls/kit/NSBezierPath+MCAdditions.h"

#include <cmath>

#include "platform/graphics/NSAffineTransform.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSGraphicsContext.h"

void fillWithInnerShadow(const NSBezierPath& path, NSShadow& shadow) {
    auto context = NSGraphicsContext::currentContext();
    if (!context) return;
    NSGraphicsContext::saveGraphicsState();
    const NSSize offset = shadow.shadowOffset();
    const double radius = shadow.shadowBlurRadius();
    // A frame around the path, wide enough for the blur and the offset, is filled far away
    // from the path; the shadow is moved back by as much, so only the shadow of the frame's
    // inner edge falls on the path.
    const NSRect bounds = NSInsetRect(path.bounds(), -(std::abs(offset.width) + radius),
                                      -(std::abs(offset.height) + radius));
    shadow.setShadowOffset(NSMakeSize(offset.width, bounds.size.height + offset.height + 5));

    NSAffineTransform transform;
    transform.translateXBy(0, context->isFlipped() ? bounds.size.height : -bounds.size.height);

    auto frame = NSBezierPath::bezierPathWithRect(bounds);
    frame->setWindingRule(NSEvenOddWindingRule);
    frame->appendBezierPath(path);
    frame->transformUsingAffineTransform(transform);

    path.addClip();
    shadow.set();
    NSColor::blackColor()->set();
    frame->fill();

    shadow.setShadowOffset(offset);
    NSGraphicsContext::restoreGraphicsState();
}
