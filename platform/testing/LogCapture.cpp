#include "platform/testing/LogCapture.h"

#include <mutex>

#include "platform/foundation/NSLog.h"

namespace platform {

struct LogCapture::State {
    mutable std::mutex mutex;
    std::vector<std::string> lines;
};

LogCapture::LogCapture() : state_(std::make_shared<State>()) {
    token_ = detail::addLogObserver([state = state_](const std::string& message) {
        std::lock_guard lock(state->mutex);
        state->lines.push_back(message);
    });
}

LogCapture::~LogCapture() {
    detail::removeLogObserver(token_);
}

std::vector<std::string> LogCapture::lines() const {
    std::lock_guard lock(state_->mutex);
    return state_->lines;
}

void LogCapture::clear() {
    std::lock_guard lock(state_->mutex);
    state_->lines.clear();
}

}  // namespace platform
