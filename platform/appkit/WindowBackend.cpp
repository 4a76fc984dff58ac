#include "platform/appkit/WindowBackend.h"

#include "platform/backend/HeadlessBackend.h"
#include "platform/foundation/NSRunLoop.h"

namespace {
std::shared_ptr<WindowBackend>& installed() {
    static std::shared_ptr<WindowBackend> backend;
    return backend;
}
}  // namespace

WindowBackend& WindowBackend::shared() {
    auto& backend = installed();
    if (!backend) setShared(nullptr);
    return *backend;
}

void WindowBackend::setShared(std::shared_ptr<WindowBackend> backend) {
    if (!backend) backend = std::make_shared<HeadlessBackend>();
    installed() = backend;
    NSRunLoop::mainRunLoop().setWaiter(backend->runLoopWaiter());
}
