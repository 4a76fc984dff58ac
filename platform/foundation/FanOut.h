#pragma once
// Helpers from the global queue for a job that the calling thread drives itself.
//
// The caller works through the job's own pending pieces and asks idle workers to join it; a
// helper runs the body (take pieces while there are any, then return). The caller never waits
// for a helper that has not started: close() turns away helpers still queued (their blocks
// return at once when a worker reaches them) and waits only for those inside the body, which is
// what keeps a job started on a worker from deadlocking when the pool is full. Helpers per job
// are bounded, and no more are queued than workers are idle, so that many jobs at once share the
// pool instead of flooding its queue.

#include <functional>
#include <memory>

namespace platform {

class FanOut {
  public:
    /// Helpers will run `body`; at most `maxHelpers` of them queued or running at once.
    FanOut(std::function<void()> body, unsigned maxHelpers);
    /// Closes (see close()).
    ~FanOut();
    FanOut(const FanOut&) = delete;
    FanOut& operator=(const FanOut&) = delete;

    /// Queues up to `wanted` more helpers, within the bound and no more than workers are idle;
    /// answers how many were queued (0 once closed).
    unsigned request(unsigned wanted);
    /// Turns away the helpers that have not started and waits for those running the body.
    void close();
    /// Helpers running the body now.
    unsigned running() const;

  private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace platform
