#include "languages/lipo.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <map>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/foundation/NSLog.h"

const arch_flag arch_flags[48] = {
    {"any", -1, -1},
    {"little", -1, 0},
    {"big", -1, 1},
    {"ppc64", 0x1000012, 0},
    {"ppc970-64", 0x1000012, 100},
    {"ppc", 0x12, 0},
    {"x86", 0x7, 3},
    {"x86_64", 0x1000007, 3},
    {"m68k", 0x6, 1},
    {"hppa", 0xb, 0},
    {"sparc", 0xe, 0},
    {"m88k", 0xd, 0},
    {"i860", 0xf, 0},
    {"arm", 0xc, 0},
    {"ppc601", 0x12, 1},
    {"ppc603", 0x12, 3},
    {"ppc603e", 0x12, 4},
    {"ppc603ev", 0x12, 5},
    {"ppc604", 0x12, 6},
    {"ppc604e", 0x12, 7},
    {"ppc750", 0x12, 9},
    {"ppc7400", 0x12, 10},
    {"ppc7450", 0x12, 11},
    {"ppc970", 0x12, 100},
    {"i486", 0x7, 4},
    {"i486SX", 0x7, 132},
    {"pentium", 0x7, 5},
    {"i586", 0x7, 5},
    {"pentpro", 0x7, 22},
    {"i686", 0x7, 22},
    {"pentIIm3", 0x7, 54},
    {"pentIIm5", 0x7, 86},
    {"celeron", 0x7, 103},
    {"celeronm", 0x7, 119},
    {"pentium3", 0x7, 8},
    {"pentium3m", 0x7, 24},
    {"pentium3xeon", 0x7, 40},
    {"pentiumm", 0x7, 9},
    {"pentium4", 0x7, 10},
    {"pentium4m", 0x7, 26},
    {"itanium", 0x7, 11},
    {"itanium2", 0x7, 27},
    {"xeon", 0x7, 12},
    {"xeonmp", 0x7, 28},
    {"m68030", 0x6, 3},
    {"m68040", 0x6, 2},
    {"hppa7100LC", 0xb, 1},
    {nullptr, 0, 0},
};

namespace {

constexpr std::uint64_t kHeaderSize = sizeof(fat_header);
constexpr std::uint64_t kRecordSize = sizeof(fat_arch);

// Module state: the remove list lives from setup_lipo to finish_lipo; nullopt means "no list"
// (never set up, or a failed setup), which differs from an empty list.
std::mutex g_lock;
std::optional<std::vector<arch_flag>> remove_arch_flags;
std::function<void(lipo_testing::Point, const char*)> g_hook;

void callHook(lipo_testing::Point point, const char* path) {
    if (g_hook) g_hook(point, path);
}

/// Same architecture: equal CPU types and equal subtypes without the capability bits.
bool sameArchitecture(cpu_type_t type1, cpu_subtype_t sub1, cpu_type_t type2, cpu_subtype_t sub2) {
    return type1 == type2 && (static_cast<std::uint32_t>(sub1) & ~CPU_SUBTYPE_MASK) ==
                                 (static_cast<std::uint32_t>(sub2) & ~CPU_SUBTYPE_MASK);
}

int maskedSubtype(cpu_subtype_t sub) {
    return static_cast<int>(static_cast<std::uint32_t>(sub) & ~CPU_SUBTYPE_MASK);
}

/// The read-only view of the input (nothing writes to it, so no copy-on-write memory is
/// committed for large files); unmapping reports its failure to the log.
class Mapping {
  public:
    Mapping() = default;
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;
    ~Mapping() { reset(); }

    bool map(int fd, std::uint64_t length) {
        void* p = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, fd, 0);
        if (p == MAP_FAILED) return false;
        addr_ = static_cast<unsigned char*>(p);
        length_ = length;
        return true;
    }
    const unsigned char* bytes() const { return addr_; }
    void reset() {
        if (!addr_) return;
        if (::munmap(addr_, length_) != 0) NSLog("munmap: %s", std::strerror(errno));
        addr_ = nullptr;
    }

  private:
    unsigned char* addr_ = nullptr;
    std::uint64_t length_ = 0;
};

/// The new content beside the input; removed unless it replaced the input.
class TempFile {
  public:
    TempFile() = default;
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!path_.empty()) ::unlink(path_.c_str());
    }

    /// Creates an empty file, mode 0600, in the folder of `target`.
    bool create(const std::string& target) {
        std::string::size_type slash = target.rfind('/');
        std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
        if (folder.empty()) folder = "/";
        std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
        if (base.size() > 100) base.resize(100);  // stay well inside the name length limit
        std::string pattern =
            folder + (folder.back() == '/' ? "" : "/") + "." + base + ".lipo-XXXXXX";
        int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (fd < 0) return false;
        fd_ = fd;
        path_ = pattern;
        folder_ = folder;
        return true;
    }
    int fd() const { return fd_; }
    /// Closes the descriptor; false when the close reports an error.
    bool close() {
        int fd = std::exchange(fd_, -1);
        return ::close(fd) == 0;
    }
    /// Renames the (closed) file over `target` and makes the rename durable.
    bool replace(const char* target) {
        if (::rename(path_.c_str(), target) != 0) return false;
        path_.clear();
        int dir = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);  // best effort: the data itself is already synced
            ::close(dir);
        }
        return true;
    }

  private:
    int fd_ = -1;
    std::string path_;
    std::string folder_;
};

bool writeAll(int fd, const void* data, std::uint64_t length) {
    const unsigned char* p = static_cast<const unsigned char*>(data);
    while (length > 0) {
        std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(length, 1u << 30));
        ssize_t n = ::write(fd, p, chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        length -= static_cast<std::uint64_t>(n);
    }
    return true;
}

/// The inode change time moves with every change of mode, owner, links or attributes, also
/// with those that leave size and modification time as they were.
bool sameChangeTime(const struct stat& a, const struct stat& b) {
    return a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
           sameChangeTime(a, b) && a.st_nlink == b.st_nlink;
}

/// The extended attributes of the input. Those of the user namespace are copied onto the new
/// file; any other (a file capability, an access list, a security label) cannot be given to a
/// new file safely by this rewrite, so a file that has one is not thinned.
struct Attributes {
    bool readable = true;
    std::vector<std::pair<std::string, std::string>> carried;  // user.* names and values
    std::vector<std::string> refused;                          // every other name
};

/// Reads one attribute's value; false when it cannot be read.
bool readAttribute(int fd, const std::string& name, std::string& value) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        ssize_t size = ::fgetxattr(fd, name.c_str(), nullptr, 0);
        if (size < 0) return false;
        value.assign(static_cast<std::size_t>(size), '\0');
        ssize_t got = size > 0 ? ::fgetxattr(fd, name.c_str(), value.data(), value.size()) : 0;
        if (got < 0 && errno == ERANGE) continue;  // it grew meanwhile
        if (got < 0) return false;
        value.resize(static_cast<std::size_t>(got));
        return true;
    }
    return false;
}

Attributes readAttributes(int fd) {
    Attributes out;
    for (int attempt = 0; attempt < 4; ++attempt) {
        ssize_t size = ::flistxattr(fd, nullptr, 0);
        // A file system without attributes has nothing to carry over.
        if (size < 0 && errno == ENOTSUP) return out;
        if (size <= 0) {
            out.readable = size == 0;
            return out;
        }
        std::string names(static_cast<std::size_t>(size), '\0');
        ssize_t got = ::flistxattr(fd, names.data(), names.size());
        if (got < 0 && errno == ERANGE) continue;  // the list grew meanwhile
        if (got < 0) {
            out.readable = false;
            return out;
        }
        names.resize(static_cast<std::size_t>(got));
        for (std::size_t at = 0; at < names.size();) {
            std::size_t end = names.find('\0', at);
            if (end == std::string::npos) end = names.size();
            std::string name = names.substr(at, end - at);
            at = end + 1;
            if (name.empty()) continue;
            if (!name.starts_with("user.")) {
                out.refused.push_back(std::move(name));
                continue;
            }
            std::string value;
            if (!readAttribute(fd, name, value)) {
                out.readable = false;
                return out;
            }
            out.carried.emplace_back(std::move(name), std::move(value));
        }
        return out;
    }
    out.readable = false;
    return out;
}

/// Writes the slices as a fat file at the offsets already laid out in their records.
bool writeFat(int fd, const std::vector<thin_file>& slices, std::uint64_t end) {
    fat_header header{FAT_MAGIC, static_cast<std::uint32_t>(slices.size())};
    swap_fat_header(&header);
    if (!writeAll(fd, &header, sizeof header)) {
        NSLog("can't write fat header to output file: %s", slices.front().name);
        return false;
    }
    std::vector<fat_arch> records;
    records.reserve(slices.size());
    for (const thin_file& slice : slices)
        records.push_back(slice.fat_arch);
    swap_fat_arch(records.data(), static_cast<std::uint32_t>(records.size()));
    if (!writeAll(fd, records.data(), records.size() * kRecordSize)) {
        NSLog("can't write fat arch to output file: %s", slices.front().name);
        return false;
    }
    for (const thin_file& slice : slices) {
        if (::lseek(fd, static_cast<off_t>(slice.fat_arch.offset), SEEK_SET) < 0) {
            NSLog("can't lseek in output file: %s", slice.name);
            return false;
        }
        if (!writeAll(fd, slice.addr, slice.fat_arch.size)) {
            NSLog("can't write to output file: %s", slice.name);
            return false;
        }
    }
    // A last slice of size zero is only a seek: give the file its full length, so that no
    // record points past its end.
    if (::ftruncate(fd, static_cast<off_t>(end)) != 0) {
        NSLog("can't write to output file: %s", slices.front().name);
        return false;
    }
    return true;
}

/// Gives the new file the input's owner, group and mode, and checks that they took.
bool applyOwnership(int fd, uid_t uid, gid_t gid, mode_t mode, const char* path) {
    struct stat st;
    // The owner first: a change of owner clears the set-user-ID and set-group-ID bits.
    if (::fchown(fd, uid, gid) != 0 &&
        (::fstat(fd, &st) != 0 || st.st_uid != uid || st.st_gid != gid)) {
        NSLog("can't set owner of output file: %s", path);
        return false;
    }
    if (::fchmod(fd, mode) != 0 || ::fstat(fd, &st) != 0 || (st.st_mode & 07777) != mode) {
        NSLog("can't set mode of output file: %s", path);
        return false;
    }
    return true;
}

int thin(const char* path, std::uint64_t* saved_bytes) {
    const std::vector<arch_flag>& removals = *remove_arch_flags;

    // Never through a symbolic link (the link would be replaced by a copy of its target) and
    // never block on a FIFO.
    int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        NSLog("can't open input file: %s", path);
        return 1;
    }
    struct stat first;
    if (::fstat(fd, &first) != 0) {
        ::close(fd);
        NSLog("Can't stat input file: %s", path);
        return 1;
    }
    if (!S_ISREG(first.st_mode)) {
        ::close(fd);
        NSLog("input file: %s is not a regular file", path);
        return 1;
    }
    const std::uint64_t size = static_cast<std::uint64_t>(first.st_size);
    const mode_t output_filemode = first.st_mode & 07777;
    const uid_t output_uid = first.st_uid;
    const gid_t output_gid = first.st_gid;

    Mapping input;
    if (!input.map(fd, size)) {
        NSLog("Can't map input file: %s", path);
        ::close(fd);
        return 1;
    }
    callHook(lipo_testing::Point::BetweenStatusReads, path);
    struct stat second;
    if (::fstat(fd, &second) != 0) {
        NSLog("Can't stat input file: %s", path);
        ::close(fd);
        return 1;
    }
    if (second.st_size != first.st_size || second.st_mtim.tv_sec != first.st_mtim.tv_sec ||
        !sameChangeTime(second, first)) {
        NSLog("Input file: %s changed since opened", path);
        ::close(fd);
        return 1;
    }
    // Read now, judged once the file proves to be one to rewrite (others stay silent). A change
    // to them from here on moves the change time, which is checked before the replacement.
    const Attributes attributes = readAttributes(fd);
    ::close(fd);

    const unsigned char* bytes = input.bytes();
    fat_header header;
    if (size < kHeaderSize) return 1;
    std::memcpy(&header, bytes, sizeof header);
    swap_fat_header(&header);
    if (header.magic != FAT_MAGIC) return 1;

    if (kHeaderSize + kRecordSize * header.nfat_arch > size) {
        NSLog(
            "truncated or malformed fat file (fat_arch structs would extend past the end of the "
            "file) %s",
            path);
        return 1;
    }

    try {
        std::vector<fat_arch> archs(header.nfat_arch);
        if (!archs.empty())
            std::memcpy(archs.data(), bytes + kHeaderSize, archs.size() * kRecordSize);
        swap_fat_arch(archs.data(), header.nfat_arch);

        for (const fat_arch& a : archs) {
            int sub = maskedSubtype(a.cpusubtype);
            if (std::uint64_t{a.offset} + a.size > size) {
                NSLog(
                    "truncated or malformed fat file (offset plus size of cputype (%d) "
                    "cpusubtype (%d) extends past the end of the file) %s",
                    a.cputype, sub, path);
                return 1;
            }
            if (a.align > MAXSECTALIGN) {
                NSLog(
                    "align (2^%u) too large of fat file %s (cputype (%d) cpusubtype (%d)) "
                    "(maximum 2^%d)",
                    a.align, path, a.cputype, sub, static_cast<int>(MAXSECTALIGN));
                return 1;
            }
            if (a.offset % (1u << a.align) != 0) {
                NSLog(
                    "offset %u of fat file %s (cputype (%d) cpusubtype (%d)) not aligned on its "
                    "alignment (2^%u)",
                    a.offset, path, a.cputype, sub, a.align);
                return 1;
            }
        }

        // The first pair i < j of the same architecture, in (i, j) order, without comparing
        // every pair: the first two records of each architecture, then the smallest i.
        std::map<std::pair<cpu_type_t, int>, std::pair<std::size_t, std::size_t>> firstTwo;
        std::optional<std::size_t> duplicate;
        for (std::size_t j = 0; j < archs.size(); ++j) {
            auto key = std::make_pair(archs[j].cputype, maskedSubtype(archs[j].cpusubtype));
            auto [it, inserted] = firstTwo.emplace(key, std::make_pair(j, SIZE_MAX));
            if (!inserted && it->second.second == SIZE_MAX) {
                it->second.second = j;
                if (!duplicate || it->second.first < *duplicate) duplicate = it->second.first;
            }
        }
        if (duplicate) {
            const fat_arch& a = archs[*duplicate];
            NSLog(
                "fat file %s contains two of the same architecture (cputype (%d) cpusubtype (%d))",
                path, a.cputype, maskedSubtype(a.cpusubtype));
            return 1;
        }

        std::vector<thin_file> thin_files;
        thin_files.reserve(archs.size());
        for (const fat_arch& a : archs)
            thin_files.push_back({path, bytes + a.offset, a});

        for (const arch_flag& flag : removals) {
            auto it = std::find_if(thin_files.begin(), thin_files.end(), [&](const thin_file& t) {
                return sameArchitecture(flag.cputype, flag.cpusubtype, t.fat_arch.cputype,
                                        t.fat_arch.cpusubtype);
            });
            if (it != thin_files.end()) thin_files.erase(it);
        }
        if (thin_files.empty()) {
            NSLog("-remove's specified would result in an empty fat file");
            return 1;
        }

        // The rewrite gives the path a new file: a second name would keep the old content,
        // so the link would be split and the disk would hold more, not less.
        if (first.st_nlink > 1) {
            NSLog("input file: %s has more than one link", path);
            return 1;
        }
        if (!attributes.readable) {
            NSLog("Can't read attributes of input file: %s", path);
            return 1;
        }
        if (!attributes.refused.empty()) {
            NSLog("input file: %s has an attribute that can't be carried over (%s)", path,
                  attributes.refused.front().c_str());
            return 1;
        }

        // Lay the slices out before anything is created, so that a layout that cannot be
        // written leaves no trace.
        std::uint64_t end = 0;
        if (thin_files.size() == 1) {
            end = thin_files.front().fat_arch.size;
        } else {
            std::stable_sort(
                thin_files.begin(), thin_files.end(),
                [](const thin_file& a, const thin_file& b) { return cmp_qsort(a, b) < 0; });
            std::uint64_t position = kHeaderSize + kRecordSize * thin_files.size();
            for (thin_file& t : thin_files) {
                std::uint64_t alignment = std::uint64_t{1} << t.fat_arch.align;
                position = (position + alignment - 1) / alignment * alignment;
                if (position > UINT32_MAX) {
                    NSLog("can't lay out output file (offset past 2^32): %s", path);
                    return 1;
                }
                t.fat_arch.offset = static_cast<std::uint32_t>(position);
                position += t.fat_arch.size;
            }
            end = position;
        }

        TempFile output;
        if (!output.create(path)) {
            NSLog("can't create output file: %s", path);
            return 1;
        }
        if (thin_files.size() == 1) {
            const thin_file& only = thin_files.front();
            if (!writeAll(output.fd(), only.addr, only.fat_arch.size)) {
                NSLog("can't write to output file: %s", path);
                return 1;
            }
        } else if (!writeFat(output.fd(), thin_files, end)) {
            return 1;
        }
        // Before the input's mode is given: a read-only mode would refuse them.
        for (const auto& [name, value] : attributes.carried) {
            if (::fsetxattr(output.fd(), name.c_str(), value.data(), value.size(), 0) != 0) {
                NSLog("can't copy attributes to output file: %s", path);
                return 1;
            }
        }
        if (!applyOwnership(output.fd(), output_uid, output_gid, output_filemode, path)) return 1;
        if (::fsync(output.fd()) != 0) {
            NSLog("can't write to output file: %s", path);
            return 1;
        }
        if (!output.close()) {
            NSLog("can't close output file: %s", path);
            return 1;
        }

        // Replace only the file that was read: not one that took its place or changed since.
        callHook(lipo_testing::Point::BeforeReplace, path);
        struct stat now;
        if (::lstat(path, &now) != 0 || !sameFile(now, first)) {
            NSLog("Input file: %s changed since opened", path);
            return 1;
        }
        if (!output.replace(path)) {
            NSLog("can't replace input file: %s", path);
            return 1;
        }
        // A rearranged layout can be larger than the old one; the count cannot go below zero.
        if (saved_bytes) *saved_bytes = size > end ? size - end : 0;
        return 0;
    } catch (const std::bad_alloc&) {
        NSLog("can't allocate memory for the slices of: %s", path);
        return 1;
    }
}

}  // namespace

int setup_lipo(const char* const* archs, unsigned int narchs) {
    std::lock_guard lock(g_lock);
    remove_arch_flags.reset();
    if (narchs > 0 && !archs) return 0;
    std::vector<arch_flag> list;
    try {
        list.reserve(narchs);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    for (unsigned int i = 0; i < narchs; ++i) {
        const char* name = archs[i];
        const arch_flag* row = nullptr;
        if (name && std::strcmp(name, "any") == 0) {
            row = &arch_flags[0];
        } else if (name) {
            for (const arch_flag* r = &arch_flags[1]; r->name; ++r) {
                if (std::strcmp(name, r->name) == 0) {
                    row = r;
                    break;
                }
            }
        }
        if (!row) {
            NSLog("unknown architecture specification flag: %s", name);
            return 0;
        }
        list.push_back(*row);
    }
    for (std::size_t i = 0; i < list.size(); ++i) {
        for (std::size_t j = i + 1; j < list.size(); ++j) {
            if (sameArchitecture(list[i].cputype, list[i].cpusubtype, list[j].cputype,
                                 list[j].cpusubtype)) {
                NSLog("-remove %s specified multiple times", list[i].name);
            }
        }
    }
    remove_arch_flags = std::move(list);
    return 1;
}

int run_lipo(const char* path, std::uint64_t* saved_bytes) {
    if (!path) return 1;
    std::lock_guard lock(g_lock);
    if (!remove_arch_flags) {
        NSLog("run_lipo called without a remove list: %s", path);
        return 1;
    }
    return thin(path, saved_bytes);
}

void finish_lipo() {
    std::lock_guard lock(g_lock);
    remove_arch_flags.reset();
}

int cmp_qsort(const thin_file& a, const thin_file& b) {
    std::int64_t difference = std::int64_t{a.fat_arch.align} - std::int64_t{b.fat_arch.align};
    return static_cast<int>(std::clamp<std::int64_t>(difference, INT_MIN, INT_MAX));
}

void lipo_testing::set_hook(std::function<void(Point, const char*)> hook) {
    std::lock_guard lock(g_lock);
    g_hook = std::move(hook);
}
