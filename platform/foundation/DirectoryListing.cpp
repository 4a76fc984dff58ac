#include "platform/foundation/DirectoryListing.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace platform::detail {

namespace {

constexpr std::size_t kBufferBytes = 64 * 1024;

// The fixed part of a getdents64 record; the name follows the type byte.
struct DirentHeader {
    std::uint64_t ino;
    std::int64_t off;
    unsigned short reclen;
    unsigned char type;
};
constexpr std::size_t kReclenOffset = offsetof(DirentHeader, reclen);
constexpr std::size_t kTypeOffset = offsetof(DirentHeader, type);
constexpr std::size_t kNameOffset = kTypeOffset + 1;

bool isDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

}  // namespace

DirectoryListing::Buffer DirectoryListing::makeBuffer() {
    return Buffer(kBufferBytes / sizeof(unsigned long long));
}

int DirectoryListing::read(int fd, Buffer& buffer) {
    names_.clear();
    entries_.clear();
    if (buffer.size() * sizeof(unsigned long long) < kBufferBytes) buffer = makeBuffer();
    char* base = reinterpret_cast<char*>(buffer.data());
    for (;;) {
        long n = syscall(SYS_getdents64, fd, base, kBufferBytes);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return 0;
        for (long off = 0; off < n;) {
            unsigned short reclen = 0;
            std::memcpy(&reclen, base + off + kReclenOffset, sizeof reclen);
            if (reclen == 0) return EIO;  // a corrupt record would loop for ever
            const char* name = base + off + kNameOffset;
            if (!isDotOrDotDot(name)) {
                entries_.push_back(
                    {names_.size(), static_cast<unsigned char>(base[off + kTypeOffset])});
                names_.append(name);
                names_.push_back('\0');
            }
            off += reclen;
        }
    }
}

}  // namespace platform::detail
