#pragma once
// Test helpers that turn the main run loop until work posted from other threads is done.

#include <functional>

namespace platform::testing {

/// Runs the main run loop (default mode) until `done` answers true or `seconds` of real
/// time have passed; returns the last answer of `done`.
bool runMainLoopUntil(const std::function<bool()>& done, double seconds = 10.0);

/// Runs the main run loop until no main-queue block is left and the global queues are idle.
void drainQueues();

}  // namespace platform::testing
