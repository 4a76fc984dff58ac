#pragma once
// Grand Central Dispatch as the application uses it: the global (background) queues, which
// run blocks concurrently on a pool of worker threads, and the main queue, whose blocks the
// main run loop runs in every mode.

#include <cstdint>
#include <functional>

class DispatchQueue;
using dispatch_queue_t = DispatchQueue*;
using dispatch_block_t = std::function<void()>;
/// Nanoseconds on the shared clock's time line; DISPATCH_TIME_NOW is 0.
using dispatch_time_t = std::uint64_t;

inline constexpr long DISPATCH_QUEUE_PRIORITY_HIGH = 2;
inline constexpr long DISPATCH_QUEUE_PRIORITY_DEFAULT = 0;
inline constexpr long DISPATCH_QUEUE_PRIORITY_LOW = -2;
inline constexpr long DISPATCH_QUEUE_PRIORITY_BACKGROUND = -32768;
inline constexpr dispatch_time_t DISPATCH_TIME_NOW = 0;
inline constexpr dispatch_time_t DISPATCH_TIME_FOREVER = ~0ull;
inline constexpr std::int64_t NSEC_PER_SEC = 1000000000;
inline constexpr std::int64_t NSEC_PER_MSEC = 1000000;

/// The main queue.
dispatch_queue_t dispatch_get_main_queue();
/// A global concurrent queue; every priority shares one worker pool.
dispatch_queue_t dispatch_get_global_queue(long priority, unsigned long flags);
/// Queues `block` and returns at once.
void dispatch_async(dispatch_queue_t queue, dispatch_block_t block);
/// Runs `block` on `queue` and waits for it. On the main queue from the main thread, and on a
/// global queue from any thread, the block runs at once on the caller's thread.
void dispatch_sync(dispatch_queue_t queue, dispatch_block_t block);
/// A time `delta` nanoseconds after `when` (DISPATCH_TIME_NOW: now).
dispatch_time_t dispatch_time(dispatch_time_t when, std::int64_t delta);
/// Queues `block` on `queue` at time `when`.
void dispatch_after(dispatch_time_t when, dispatch_queue_t queue, dispatch_block_t block);

namespace platform {
/// Blocks until every block queued on the global queues so far has finished (tests).
void waitForGlobalQueuesForTesting();
}  // namespace platform
