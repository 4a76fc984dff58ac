#include "platform/foundation/Clock.h"

#include <atomic>
#include <chrono>
#include <mutex>

namespace {

class SteadyClock final : public Clock {
  public:
    double now() const override {
        using namespace std::chrono;
        return duration<double>(steady_clock::now().time_since_epoch()).count();
    }
};

std::mutex gClockMutex;
std::shared_ptr<Clock>& current() {
    static std::shared_ptr<Clock> clock = std::make_shared<SteadyClock>();
    return clock;
}

}  // namespace

std::shared_ptr<Clock> Clock::shared() {
    std::lock_guard lock(gClockMutex);
    return current();
}

void Clock::setShared(std::shared_ptr<Clock> clock) {
    std::lock_guard lock(gClockMutex);
    current() = clock ? std::move(clock) : std::make_shared<SteadyClock>();
}
