#include "platform/appkit/NSCursor.h"

#include <array>
#include <vector>

namespace {

constexpr std::size_t kShapeCount = 6;

Ref<NSCursor>& current() {
    static Ref<NSCursor> cursor;
    return cursor;
}

std::vector<Ref<NSCursor>>& stack() {
    static std::vector<Ref<NSCursor>> cursors;
    return cursors;
}

}  // namespace

Ref<NSCursor> NSCursor::standard(WindowBackend::Cursor shape) {
    // One object per shape, so that cursors compare by identity as on the platform.
    static std::array<Ref<NSCursor>, kShapeCount> cursors;
    Ref<NSCursor>& slot = cursors[std::size_t(shape)];
    if (!slot) slot = std::make_shared<NSCursor>(Key{}, shape);
    return slot;
}

Ref<NSCursor> NSCursor::arrowCursor() {
    return standard(WindowBackend::Cursor::Arrow);
}

Ref<NSCursor> NSCursor::pointingHandCursor() {
    return standard(WindowBackend::Cursor::PointingHand);
}

Ref<NSCursor> NSCursor::IBeamCursor() {
    return standard(WindowBackend::Cursor::IBeam);
}

Ref<NSCursor> NSCursor::resizeLeftRightCursor() {
    return standard(WindowBackend::Cursor::ResizeLeftRight);
}

Ref<NSCursor> NSCursor::resizeUpDownCursor() {
    return standard(WindowBackend::Cursor::ResizeUpDown);
}

Ref<NSCursor> NSCursor::crosshairCursor() {
    return standard(WindowBackend::Cursor::Crosshair);
}

Ref<NSCursor> NSCursor::currentCursor() {
    if (!current()) current() = arrowCursor();
    return current();
}

void NSCursor::set() {
    current() = standard(shape_);
    WindowBackend::shared().setCursor(shape_);
}

void NSCursor::push() {
    stack().push_back(currentCursor());
    set();
}

void NSCursor::pop() {
    auto& cursors = stack();
    if (cursors.empty()) return;
    Ref<NSCursor> previous = std::move(cursors.back());
    cursors.pop_back();
    previous->set();
}
