// Catches thinning that crashes on hostile fat files, changes a file it answers 1 for, or
// writes a result that is not a well-formed, correctly counted thinning of its input.
//
// The first input byte picks the remove list (one bit per name); the rest is the file.
// Build: clang++ -std=c++20 -g -fsanitize=fuzzer,address,undefined -I. tests/fuzz/lipo_fuzz.cpp
//        languages/lipo.cpp (plus the platform's foundation sources for NSLog)

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <dirent.h>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "languages/lipo.h"
#include "platform/foundation/NSLog.h"

namespace {

struct Name {
    const char* name;
    std::int32_t cputype;
    std::int32_t cpusubtype;
};
const Name kNames[] = {
    {"x86", 7, 3},   {"x86_64", 0x1000007, 3}, {"ppc", 0x12, 0}, {"arm", 0xc, 0},
    {"any", -1, -1}, {"little", -1, 0},        {"i486", 7, 4},   {"ppc64", 0x1000012, 0},
};

struct Record {
    std::int32_t cputype;
    std::int32_t cpusubtype;
    std::uint32_t offset;
    std::uint32_t size;
    std::uint32_t align;
};

void check(bool ok) {
    if (!ok) __builtin_trap();
}

std::uint32_t be32(const std::string& b, std::size_t at) {
    return std::uint32_t(std::uint8_t(b[at])) << 24 | std::uint32_t(std::uint8_t(b[at + 1])) << 16 |
           std::uint32_t(std::uint8_t(b[at + 2])) << 8 | std::uint32_t(std::uint8_t(b[at + 3]));
}

Record recordAt(const std::string& b, std::size_t at) {
    return {std::int32_t(be32(b, at)), std::int32_t(be32(b, at + 4)), be32(b, at + 8),
            be32(b, at + 12), be32(b, at + 16)};
}

bool sameArch(std::int32_t t1, std::int32_t s1, std::int32_t t2, std::int32_t s2) {
    return t1 == t2 && (std::uint32_t(s1) & 0xffffff) == (std::uint32_t(s2) & 0xffffff);
}

std::string readAll(const std::string& path) {
    std::string out;
    int fd = ::open(path.c_str(), O_RDONLY);
    check(fd >= 0);
    char buf[65536];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0)
        out.append(buf, std::size_t(n));
    ::close(fd);
    return out;
}

std::size_t entryCount(const std::string& dir) {
    std::size_t count = 0;
    DIR* d = ::opendir(dir.c_str());
    check(d != nullptr);
    while (dirent* e = ::readdir(d)) {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) ++count;
    }
    ::closedir(d);
    return count;
}

const std::string& folder() {
    static std::string dir = [] {
        platform::detail::addLogObserver([](const std::string&) {});  // keep the log quiet
        char pattern[] = "/tmp/lipo-fuzz-XXXXXX";
        check(::mkdtemp(pattern) != nullptr);
        return std::string(pattern);
    }();
    return dir;
}

/// Checks a successful result against the records of the input and the remove list.
void checkResult(const std::string& in, const std::string& out, std::uint64_t saved,
                 const std::vector<const Name*>& removals) {
    // What must be left: each name drops the first remaining slice of its architecture.
    check(in.size() >= 8 && be32(in, 0) == 0xcafebabe);
    std::uint32_t n = be32(in, 4);
    check(8 + 20 * std::uint64_t{n} <= in.size());
    std::vector<Record> left;
    for (std::uint32_t i = 0; i < n; ++i)
        left.push_back(recordAt(in, 8 + 20 * std::size_t{i}));
    for (const Name* r : removals) {
        for (auto it = left.begin(); it != left.end(); ++it) {
            if (sameArch(r->cputype, r->cpusubtype, it->cputype, it->cpusubtype)) {
                left.erase(it);
                break;
            }
        }
    }
    check(!left.empty());
    check(saved == (in.size() > out.size() ? in.size() - out.size() : 0));

    if (left.size() == 1) {
        check(out == in.substr(left[0].offset, left[0].size));
        return;
    }
    check(out.size() >= 8 && be32(out, 0) == 0xcafebabe && be32(out, 4) == left.size());
    const std::uint64_t recordsEnd = 8 + 20 * std::uint64_t{left.size()};
    check(recordsEnd <= out.size());
    std::uint64_t position = recordsEnd, end = recordsEnd;
    std::uint32_t lastAlign = 0;
    std::vector<bool> used(left.size(), false);
    for (std::size_t i = 0; i < left.size(); ++i) {
        Record r = recordAt(out, 8 + 20 * i);
        check(r.align <= 15 && r.align >= lastAlign);
        lastAlign = r.align;
        check(r.offset % (std::uint64_t{1} << r.align) == 0);
        check(r.offset >= position);  // in order, after the records, not overlapping
        position = std::uint64_t{r.offset} + r.size;
        check(position <= out.size());
        end = position;
        // The same slice as one of those left, byte for byte.
        bool found = false;
        for (std::size_t k = 0; k < left.size() && !found; ++k) {
            const Record& s = left[k];
            if (used[k] || s.cputype != r.cputype || s.cpusubtype != r.cpusubtype) continue;
            check(s.size == r.size && s.align == r.align);
            check(out.compare(r.offset, r.size, in, s.offset, s.size) == 0);
            used[k] = found = true;
        }
        check(found);
    }
    check(end == out.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::vector<const Name*> removals;
    std::vector<const char*> names;
    for (std::size_t bit = 0; bit < 8; ++bit) {
        if (data[0] & (1u << bit)) {
            removals.push_back(&kNames[bit]);
            names.push_back(kNames[bit].name);
        }
    }
    const std::string in(reinterpret_cast<const char*>(data + 1), size - 1);

    const std::string path = folder() + "/Foo";
    ::unlink(path.c_str());
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0640);
    check(fd >= 0);
    check(::write(fd, in.data(), in.size()) == ssize_t(in.size()));
    ::close(fd);

    check(setup_lipo(names.data(), unsigned(names.size())) == 1);
    std::uint64_t saved = 0xdeadbeef;
    int answer = run_lipo(path.c_str(), &saved);
    finish_lipo();

    const std::string out = readAll(path);
    check(entryCount(folder()) == 1);  // no temporary file left behind
    struct stat st;
    check(::stat(path.c_str(), &st) == 0 && (st.st_mode & 07777) == 0640);
    if (answer != 0) {
        check(answer == 1 && out == in && saved == 0xdeadbeef);
    } else {
        checkResult(in, out, saved, removals);
    }
    return 0;
}
