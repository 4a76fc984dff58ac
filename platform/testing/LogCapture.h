#pragma once
// Collecting what NSLog writes, for tests.

#include <memory>
#include <string>
#include <vector>

namespace platform {

/// While it lives, every NSLog message from any thread is collected here (by every live
/// capture) and goes neither to syslog nor to standard error.
class LogCapture {
  public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    /// The messages so far, in the order they were written, without date prefix or newline.
    std::vector<std::string> lines() const;
    /// Forgets the messages collected so far.
    void clear();

  private:
    struct State;
    std::shared_ptr<State> state_;
    unsigned long token_ = 0;
};

}  // namespace platform
