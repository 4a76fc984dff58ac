#pragma once
// A file that not even root may change or remove while the guard lives: a real removal failure
// for tests that run as root. Needs the immutable-flag privilege and a file system that keeps
// the flag; ok() tells whether the flag took.

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <string>
#include <utility>

namespace fixtures {

class ImmutableFile {
  public:
    explicit ImmutableFile(std::string path) : path_(std::move(path)) { ok_ = setFlag(true); }
    ~ImmutableFile() {
        if (ok_) setFlag(false);
    }
    ImmutableFile(const ImmutableFile&) = delete;
    ImmutableFile& operator=(const ImmutableFile&) = delete;

    bool ok() const { return ok_; }

  private:
    bool setFlag(bool on) {
        int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (done) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return done;
    }

    std::string path_;
    bool ok_ = false;
};

}  // namespace fixtures
