#pragma once
// Images made by tests: solid PNG files drawn with the platform's own bitmap contexts.

#include <gtest/gtest.h>

#include <string>

#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSGraphics.h"
#include "platform/graphics/NSGraphicsContext.h"

namespace fixtures {

/// Writes a solid PNG of `w` x `h` pixels in `color` to `path`.
inline void writeSolidPng(const std::string& path, int w, int h, const Ref<NSColor>& color) {
    auto bitmap = NSGraphicsContext::contextWithBitmap(w, h);
    NSGraphicsContext::saveGraphicsState();
    NSGraphicsContext::setCurrentContext(bitmap);
    color->set();
    NSRectFill(NSMakeRect(0, 0, w, h));
    NSGraphicsContext::restoreGraphicsState();
    ASSERT_TRUE(bitmap->writePNG(path));
}

}  // namespace fixtures
