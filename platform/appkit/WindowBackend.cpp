#include "platform/appkit/WindowBackend.h"

#include <cstdio>
#include <cstdlib>

#include "platform/foundation/NSRunLoop.h"

namespace {
std::shared_ptr<WindowBackend>& installed() {
    static std::shared_ptr<WindowBackend> backend;
    return backend;
}

WindowBackend::Factory& fallbackFactory() {
    static WindowBackend::Factory factory;
    return factory;
}
}  // namespace

WindowBackend& WindowBackend::shared() {
    auto& backend = installed();
    if (!backend) setShared(nullptr);
    if (!backend) {
        std::fprintf(stderr,
                     "no window backend: the executable must choose one before it makes windows "
                     "(platform/backend/BackendSelection.h)\n");
        std::abort();
    }
    return *backend;
}

void WindowBackend::setShared(std::shared_ptr<WindowBackend> backend) {
    if (!backend && fallbackFactory()) backend = fallbackFactory()();
    installed() = backend;
    NSRunLoop::mainRunLoop().setWaiter(backend ? backend->runLoopWaiter() : nullptr);
}

void WindowBackend::setFallbackFactory(Factory factory) {
    fallbackFactory() = std::move(factory);
}
