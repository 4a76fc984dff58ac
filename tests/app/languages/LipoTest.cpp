// Catches thinning that loses or corrupts the original file (write failures, files changed under
// the run, even in ways only the inode change time shows, records that wrap 32-bit arithmetic or
// point outside the file), lays slices out in the wrong order or alignment, drops owner, group,
// set-ID bits or extended attributes, splits a hard link, or reports a wrong saved count.
#include "languages/lipo.h"

#include <fcntl.h>
#include <linux/capability.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "platform/testing/LogCapture.h"
#include "support/FileFixtures.h"

namespace {

using fixtures::readFile;

constexpr std::int32_t kX86 = 7, kX86_64 = 0x1000007, kPpc = 0x12, kAnyCpu = -1;
constexpr std::uint64_t kNoCount = 0xdeadbeef;  // what the saved count holds before a run

struct Rec {
    std::int32_t cputype;
    std::int32_t cpusubtype;
    std::uint32_t offset;
    std::uint32_t size;
    std::uint32_t align;
};

std::string be32(std::uint32_t v) {
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

std::uint32_t readBe32(const std::string& bytes, std::size_t at) {
    auto b = [&](std::size_t i) { return std::uint32_t(std::uint8_t(bytes.at(at + i))); };
    return b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3);
}

/// Bytes of slice `index` (distinct per slice and per position).
char sliceByte(std::size_t index, std::size_t position) {
    return char(index * 31 + position * 7 + 1);
}

/// A fat file with `nfat` in its header, the given records, at least `total` bytes long, and
/// each slice that lies past the records filled with its own bytes.
std::string fatBytes(std::uint32_t nfat, const std::vector<Rec>& recs, std::uint64_t total = 0) {
    std::string out = be32(0xcafebabe) + be32(nfat);
    for (const Rec& r : recs) {
        out += be32(std::uint32_t(r.cputype)) + be32(std::uint32_t(r.cpusubtype)) + be32(r.offset) +
               be32(r.size) + be32(r.align);
    }
    std::size_t recordsEnd = out.size();
    out.resize(std::max<std::uint64_t>(total, out.size()), '\0');
    for (std::size_t i = 0; i < recs.size(); ++i) {
        for (std::uint64_t k = recs[i].offset;
             k < std::uint64_t{recs[i].offset} + recs[i].size && k < out.size(); ++k) {
            if (k >= recordsEnd) out[k] = sliceByte(i, k - recs[i].offset);
        }
    }
    return out;
}

struct Slice {
    std::int32_t cputype;
    std::int32_t cpusubtype;
    std::uint32_t align;
    std::uint32_t size;
};

/// Records for slices placed one after another, each on its alignment, in the order given.
std::vector<Rec> laidOut(const std::vector<Slice>& slices) {
    std::vector<Rec> recs;
    std::uint64_t pos = 8 + 20 * slices.size();
    for (const Slice& s : slices) {
        std::uint64_t a = std::uint64_t{1} << s.align;
        pos = (pos + a - 1) / a * a;
        recs.push_back({s.cputype, s.cpusubtype, std::uint32_t(pos), s.size, s.align});
        pos += s.size;
    }
    return recs;
}

std::string fatOf(const std::vector<Slice>& slices) {
    std::vector<Rec> recs = laidOut(slices);
    std::uint64_t end = 0;
    for (const Rec& r : recs)
        end = std::max<std::uint64_t>(end, std::uint64_t{r.offset} + r.size);
    return fatBytes(std::uint32_t(recs.size()), recs, end);
}

class LipoTest : public ::testing::Test {
  protected:
    void TearDown() override {
        lipo_testing::set_hook({});
        finish_lipo();
    }

    std::string writeInput(const std::string& bytes) {
        std::string path = dir_ / "Foo";
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    bool setup(std::vector<const char*> names) {
        return setup_lipo(names.data(), unsigned(names.size())) == 1;
    }
    /// The names in the test folder: a run must leave no temporary file behind.
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir_.path()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fixtures::TempDir dir_;
    platform::LogCapture log_;
};

// --- Files that are not thinned ----------------------------------------------------------

TEST_F(LipoTest, LeavesFilesThatAreNotFatAloneAndSilent) {
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"thin 64-bit Mach-O", std::string("\xcf\xfa\xed\xfe\x07\x00\x00\x01", 8) + "body"},
        {"1 byte", "\xca"},
        {"4 bytes of magic", "\xca\xfe\xba\xbe"},
        {"7 bytes", std::string("\xca\xfe\xba\xbe\x00\x00\x00", 7)},
        {"64-bit fat magic", std::string("\xca\xfe\xba\xbf\x00\x00\x00\x00", 8)},
        {"little-endian magic", std::string("\xbe\xba\xfe\xca\x01\x00\x00\x00", 8)},
    };
    ASSERT_TRUE(setup({"x86"}));
    for (const Case& c : cases) {
        log_.clear();
        std::string path = writeInput(c.bytes);
        std::uint64_t saved = kNoCount;
        EXPECT_EQ(run_lipo(path.c_str(), &saved), 1) << c.what;
        EXPECT_EQ(readFile(path), c.bytes) << c.what;
        EXPECT_EQ(saved, kNoCount) << c.what;
        EXPECT_TRUE(log_.lines().empty()) << c.what;
        EXPECT_EQ(entries(), std::vector<std::string>{"Foo"}) << c.what;
    }
}

TEST_F(LipoTest, AnswersOneWithAMessageForWhatCannotBeRead) {
    ASSERT_TRUE(setup({"x86"}));
    std::uint64_t saved = kNoCount;
    EXPECT_EQ(run_lipo(nullptr, &saved), 1);
    EXPECT_TRUE(log_.lines().empty());

    std::string missing = dir_ / "missing";
    EXPECT_EQ(run_lipo(missing.c_str(), &saved), 1);
    EXPECT_EQ(log_.lines(), std::vector<std::string>{"can't open input file: " + missing});

    log_.clear();
    std::string empty = writeInput("");
    EXPECT_EQ(run_lipo(empty.c_str(), &saved), 1);
    EXPECT_EQ(log_.lines(), std::vector<std::string>{"Can't map input file: " + empty});

    // A FIFO must not block the run; a folder is not a file.
    std::string fifo = dir_ / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    std::string folder = dir_.mkdir("folder");
    for (const std::string& p : {fifo, folder}) {
        log_.clear();
        EXPECT_EQ(run_lipo(p.c_str(), &saved), 1) << p;
        EXPECT_EQ(log_.lines().size(), 1u) << p;
    }
    EXPECT_EQ(saved, kNoCount);
}

TEST_F(LipoTest, DoesNotReplaceASymbolicLinkByACopyOfItsTarget) {
    ASSERT_TRUE(setup({"x86"}));
    std::string bytes = fatOf({{kX86, 3, 12, 100}, {kX86_64, 3, 12, 100}});
    std::string target = writeInput(bytes);
    std::string link = dir_ / "link";
    ASSERT_EQ(::symlink("Foo", link.c_str()), 0);
    std::uint64_t saved = kNoCount;
    EXPECT_EQ(run_lipo(link.c_str(), &saved), 1);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readFile(target), bytes);
    EXPECT_EQ(entries(), (std::vector<std::string>{"Foo", "link"}));
}

// --- Malformed fat files -----------------------------------------------------------------

TEST_F(LipoTest, RejectsMalformedFatFilesWithoutTouchingThem) {
    const std::string kRecordsPast =
        "truncated or malformed fat file (fat_arch structs would extend past the end of the "
        "file) ";
    struct Case {
        const char* what;
        std::string bytes;
        std::string message;  // the path follows, or stands where %s is
    };
    const Rec x86{kX86, 3, 4096, 16, 12};
    const Case cases[] = {
        {"two records announced, room for one", fatBytes(2, {x86}), kRecordsPast + "%s"},
        // 8 + 20 * 0xcccccccd is 12 in 32 bits.
        {"record count wraps 32 bits", fatBytes(0xcccccccd, {x86}, 4112), kRecordsPast + "%s"},
        {"slice ends one byte past the file", fatBytes(1, {x86}, 4111),
         "truncated or malformed fat file (offset plus size of cputype (7) cpusubtype (3) "
         "extends past the end of the file) %s"},
        // 0xfffff000 + 0x2000 is 0x1000 in 32 bits; the capability bits are not shown.
        {"offset plus size wraps 32 bits",
         fatBytes(1, {{kX86, std::int32_t(0x80000003), 0xfffff000, 0x2000, 12}}, 4112),
         "truncated or malformed fat file (offset plus size of cputype (7) cpusubtype (3) "
         "extends past the end of the file) %s"},
        {"align 16", fatBytes(1, {{kX86, 3, 65536, 16, 16}}, 65552),
         "align (2^16) too large of fat file %s (cputype (7) cpusubtype (3)) (maximum 2^15)"},
        {"offset 4100 with align 12", fatBytes(1, {{kX86, 3, 4100, 16, 12}}, 4116),
         "offset 4100 of fat file %s (cputype (7) cpusubtype (3)) not aligned on its alignment "
         "(2^12)"},
        {"same architecture twice, capability bits aside",
         fatBytes(3,
                  {{kPpc, 0, 4096, 16, 12},
                   {kX86, std::int32_t(0x80000003), 8192, 16, 12},
                   {kX86, 3, 12288, 16, 12}},
                  12304),
         "fat file %s contains two of the same architecture (cputype (7) cpusubtype (3))"},
        {"first duplicate pair reported by its first record",
         fatBytes(4,
                  {{kPpc, 0, 4096, 16, 12},
                   {kX86, 3, 8192, 16, 12},
                   {kX86, 3, 12288, 16, 12},
                   {kPpc, 0, 16384, 16, 12}},
                  16400),
         "fat file %s contains two of the same architecture (cputype (18) cpusubtype (0))"},
    };
    ASSERT_TRUE(setup({"x86"}));
    for (const Case& c : cases) {
        log_.clear();
        std::string path = writeInput(c.bytes);
        std::string message = c.message;
        if (auto at = message.find("%s"); at != std::string::npos) message.replace(at, 2, path);
        std::uint64_t saved = kNoCount;
        EXPECT_EQ(run_lipo(path.c_str(), &saved), 1) << c.what;
        EXPECT_EQ(log_.lines(), std::vector<std::string>{message}) << c.what;
        EXPECT_EQ(readFile(path), c.bytes) << c.what;
        EXPECT_EQ(saved, kNoCount) << c.what;
        EXPECT_EQ(entries(), std::vector<std::string>{"Foo"}) << c.what;
    }
}

TEST_F(LipoTest, RefusesALayoutWhoseOffsetsWouldPassFourGigabytes) {
    // A slice of 4 GiB - 1 at the front pushes the next one past what 32 bits can address.
    std::string head = fatBytes(2, {{kX86, 3, 48, 0xffffffff, 0}, {kPpc, 0, 64, 16, 1}});
    std::string path = writeInput(head);
    const off_t size = off_t{48} + 0xffffffffLL;
    if (::truncate(path.c_str(), size) != 0) GTEST_SKIP() << "no sparse 4 GiB file here";
    ASSERT_TRUE(setup({}));
    std::uint64_t saved = kNoCount;
    EXPECT_EQ(run_lipo(path.c_str(), &saved), 1);
    EXPECT_EQ(log_.lines(),
              std::vector<std::string>{"can't lay out output file (offset past 2^32): " + path});
    EXPECT_EQ(std::filesystem::file_size(path), std::uintmax_t(size));
    std::ifstream in(path, std::ios::binary);
    std::string start(head.size(), '\0');
    in.read(start.data(), std::streamsize(start.size()));
    EXPECT_EQ(start, head);
    EXPECT_EQ(entries(), std::vector<std::string>{"Foo"});
}

// --- Thinning ----------------------------------------------------------------------------

TEST_F(LipoTest, OneSliceLeftBecomesAPlainFile) {
    std::vector<Rec> recs = laidOut({{kX86_64, 3, 12, 5000}, {kX86, 3, 12, 3000}});
    std::string bytes = fatBytes(2, recs, recs[1].offset + 3000);
    std::string path = writeInput(bytes);
    ASSERT_TRUE(setup({"x86"}));
    std::uint64_t saved = kNoCount;
    ASSERT_EQ(run_lipo(path.c_str(), &saved), 0);
    EXPECT_EQ(readFile(path), bytes.substr(recs[0].offset, 5000));
    EXPECT_EQ(saved, bytes.size() - 5000);
    EXPECT_TRUE(log_.lines().empty());
    EXPECT_EQ(entries(), std::vector<std::string>{"Foo"});
}

TEST_F(LipoTest, LaysRemainingSlicesOutByAscendingAlignment) {
    struct Out {
        std::int32_t cputype;
        std::uint32_t offset;
    };
    struct Case {
        const char* what;
        std::vector<Slice> input;
        std::vector<const char*> remove;
        std::vector<Out> output;  // in record order
        std::uint64_t saved;
    };
    const Case cases[] = {
        // Input ends at 8402 (ppc at 8392 + 10); output ends at x86_64's 4096 + 200.
        {"x86 removed from three",
         {{kX86, 3, 12, 100}, {kX86_64, 3, 12, 200}, {kPpc, 0, 2, 10}},
         {"x86"},
         {{kPpc, 48}, {kX86_64, 4096}},
         8402 - 4296},
        // Input: 32768+3, 32771+5, 32784+1 = 32785; output: 68, 80, 32768 + 3.
        {"empty list sorts every slice",
         {{kX86, 3, 15, 3}, {kPpc, 0, 0, 5}, {kX86_64, 3, 4, 1}},
         {},
         {{kPpc, 68}, {kX86_64, 80}, {kX86, 32768}},
         14},
        // Input: 48+1, 56+8 = 64; sorted: 48+8, 64+1 = 65, one byte more than before.
        {"sorted layout larger than before saves nothing",
         {{kX86, 3, 4, 1}, {kPpc, 0, 3, 8}},
         {},
         {{kPpc, 48}, {kX86, 64}},
         0},
        // The last slice is empty and starts at 4096: the file must still reach it.
        {"empty last slice",
         {{kPpc, 0, 0, 10}, {kX86, 3, 12, 0}},
         {},
         {{kPpc, 48}, {kX86, 4096}},
         0},
        {"names that match nothing remove nothing",
         {{kX86, 3, 12, 10}, {kX86_64, 3, 12, 10}},
         {"any", "little", "big", "arm"},
         {{kX86, 4096}, {kX86_64, 8192}},
         0},
    };
    for (const Case& c : cases) {
        log_.clear();
        std::vector<Rec> in = laidOut(c.input);
        std::string bytes = fatOf(c.input);
        std::string path = writeInput(bytes);
        ASSERT_TRUE(setup(c.remove)) << c.what;
        std::uint64_t saved = kNoCount;
        ASSERT_EQ(run_lipo(path.c_str(), &saved), 0) << c.what;
        EXPECT_EQ(saved, c.saved) << c.what;
        EXPECT_TRUE(log_.lines().empty()) << c.what;

        std::string out = readFile(path);
        ASSERT_GE(out.size(), 8 + 20 * c.output.size()) << c.what;
        EXPECT_EQ(readBe32(out, 0), 0xcafebabe) << c.what;
        ASSERT_EQ(readBe32(out, 4), c.output.size()) << c.what;
        std::uint64_t end = 0;
        for (std::size_t i = 0; i < c.output.size(); ++i) {
            std::size_t at = 8 + 20 * i;
            auto source = std::find_if(in.begin(), in.end(), [&](const Rec& r) {
                return r.cputype == c.output[i].cputype;
            });
            ASSERT_NE(source, in.end());
            std::uint32_t offset = readBe32(out, at + 8), size = readBe32(out, at + 12);
            EXPECT_EQ(std::int32_t(readBe32(out, at)), source->cputype) << c.what << " " << i;
            EXPECT_EQ(std::int32_t(readBe32(out, at + 4)), source->cpusubtype) << c.what;
            EXPECT_EQ(offset, c.output[i].offset) << c.what << " " << i;
            EXPECT_EQ(size, source->size) << c.what << " " << i;
            EXPECT_EQ(readBe32(out, at + 16), source->align) << c.what << " " << i;
            EXPECT_EQ(out.substr(offset, size), bytes.substr(source->offset, source->size))
                << c.what << " " << i;
            end = std::max<std::uint64_t>(end, std::uint64_t{offset} + size);
        }
        EXPECT_EQ(out.size(), end) << c.what;
        // Gaps read as zeros.
        std::size_t recordsEnd = 8 + 20 * c.output.size();
        EXPECT_EQ(out.substr(recordsEnd, c.output[0].offset - recordsEnd),
                  std::string(c.output[0].offset - recordsEnd, '\0'))
            << c.what;
        EXPECT_EQ(entries(), std::vector<std::string>{"Foo"}) << c.what;
    }
}

TEST_F(LipoTest, NamesRemoveTheirArchitectureOnly) {
    struct Case {
        const char* name;
        std::int32_t cputype;
        std::int32_t cpusubtype;
    };
    const Case cases[] = {
        {"x86", kX86, 3},
        {"x86_64", kX86_64, std::int32_t(0x80000003)},  // capability bits are ignored
        {"ppc970-64", 0x1000012, 100},
        {"i486SX", kX86, 132},
        {"pentium", kX86, 5},
        {"i686", kX86, 22},
        {"m68030", 6, 3},
        {"m68040", 6, 2},
        {"hppa7100LC", 0xb, 1},
        {"arm", 0xc, 0},
        {"any", kAnyCpu, -1},
        {"little", kAnyCpu, 0},
        {"big", kAnyCpu, 1},
    };
    for (const Case& c : cases) {
        // A neighbour with the same CPU type and another subtype must stay.
        std::string bytes = fatOf({{c.cputype, c.cpusubtype, 4, 16}, {c.cputype, 0x7f, 4, 16}});
        std::string path = writeInput(bytes);
        ASSERT_TRUE(setup({c.name})) << c.name;
        std::uint64_t saved = kNoCount;
        ASSERT_EQ(run_lipo(path.c_str(), &saved), 0) << c.name;
        std::vector<Rec> in = laidOut({{c.cputype, c.cpusubtype, 4, 16}, {c.cputype, 0x7f, 4, 16}});
        EXPECT_EQ(readFile(path), bytes.substr(in[1].offset, 16)) << c.name;
    }
}

TEST_F(LipoTest, EachNameRemovesAtMostOneSlice) {
    // "pentium" and "i586" are the same architecture: logged, accepted, and the second finds
    // nothing left to remove.
    ASSERT_TRUE(setup({"pentium", "i586"}));
    EXPECT_EQ(log_.lines(), std::vector<std::string>{"-remove pentium specified multiple times"});
    std::vector<Slice> slices{{kX86, 5, 12, 64}, {kX86, 3, 12, 32}};
    std::string bytes = fatOf(slices);
    std::string path = writeInput(bytes);
    std::uint64_t saved = kNoCount;
    ASSERT_EQ(run_lipo(path.c_str(), &saved), 0);
    EXPECT_EQ(readFile(path), bytes.substr(laidOut(slices)[1].offset, 32));
}

TEST_F(LipoTest, RemovingEverySliceLeavesTheFile) {
    std::string bytes = fatOf({{kX86, 3, 12, 64}, {kX86_64, 3, 12, 64}});
    std::string path = writeInput(bytes);
    ASSERT_TRUE(setup({"x86_64", "x86"}));
    std::uint64_t saved = kNoCount;
    EXPECT_EQ(run_lipo(path.c_str(), &saved), 1);
    EXPECT_EQ(log_.lines(),
              std::vector<std::string>{"-remove's specified would result in an empty fat file"});
    EXPECT_EQ(readFile(path), bytes);
    EXPECT_EQ(saved, kNoCount);
}

// --- Remove list -------------------------------------------------------------------------

TEST_F(LipoTest, UnknownNameFailsSetupAndLeavesNoList) {
    std::string bytes = fatOf({{kX86, 3, 12, 64}, {kX86_64, 3, 12, 64}});
    std::string path = writeInput(bytes);
    for (const char* name : {"X86", "arm64", "", "x86 "}) {
        log_.clear();
        EXPECT_EQ(setup_lipo(std::vector<const char*>{"x86", name}.data(), 2), 0) << name;
        EXPECT_EQ(log_.lines(),
                  std::vector<std::string>{
                      std::string("unknown architecture specification flag: ") + name});
        // No list: a run does nothing (it must not treat the failure as an empty list).
        std::uint64_t saved = kNoCount;
        EXPECT_EQ(run_lipo(path.c_str(), &saved), 1) << name;
        EXPECT_EQ(readFile(path), bytes) << name;
    }
}

// --- Keeping the original ----------------------------------------------------------------

TEST_F(LipoTest, KeepsOwnerGroupAndModeIncludingSetIdBits) {
    struct Case {
        uid_t uid;
        gid_t gid;
        mode_t mode;
    };
    const bool root = ::geteuid() == 0;
    const Case cases[] = {
        {root ? 65534 : ::geteuid(), root ? 65534 : ::getegid(), 04755},
        {root ? 65534 : ::geteuid(), root ? 0 : ::getegid(), 06711},
        {::geteuid(), ::getegid(), 01640},
    };
    ASSERT_TRUE(setup({"x86"}));
    for (const Case& c : cases) {
        std::string path = writeInput(fatOf({{kX86, 3, 12, 64}, {kX86_64, 3, 12, 64}}));
        ASSERT_EQ(::chown(path.c_str(), c.uid, c.gid), 0);
        ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);
        std::uint64_t saved = kNoCount;
        ASSERT_EQ(run_lipo(path.c_str(), &saved), 0) << std::oct << c.mode;
        struct stat st;
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, c.uid);
        EXPECT_EQ(st.st_gid, c.gid);
        EXPECT_EQ(st.st_mode & 07777, c.mode) << std::oct << (st.st_mode & 07777);
        EXPECT_EQ(std::filesystem::file_size(path), 64u);
        ::unlink(path.c_str());
    }
}

TEST_F(LipoTest, FailedWriteKeepsTheOriginalByteForByte) {
    struct Case {
        rlim_t fileSizeLimit;
        std::vector<const char*> remove;
        const char* message;
    };
    const Case cases[] = {
        {0, {}, "can't write fat header to output file: "},
        {20, {}, "can't write fat arch to output file: "},
        {6000, {}, "can't write to output file: "},
        {100, {"x86", "ppc"}, "can't write to output file: "},
    };
    std::string bytes = fatOf({{kX86, 3, 12, 8192}, {kX86_64, 3, 12, 8192}, {kPpc, 0, 12, 64}});
    void (*oldHandler)(int) = ::signal(SIGXFSZ, SIG_IGN);
    for (const Case& c : cases) {
        log_.clear();
        std::string path = writeInput(bytes);
        ASSERT_TRUE(setup(c.remove));
        rlimit old{};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit limited = old;
        limited.rlim_cur = c.fileSizeLimit;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
        std::uint64_t saved = kNoCount;
        int answer = run_lipo(path.c_str(), &saved);
        ::setrlimit(RLIMIT_FSIZE, &old);
        EXPECT_EQ(answer, 1) << c.message;
        EXPECT_EQ(log_.lines(), std::vector<std::string>{c.message + path});
        EXPECT_EQ(readFile(path), bytes) << c.message;
        EXPECT_EQ(saved, kNoCount);
        EXPECT_EQ(entries(), std::vector<std::string>{"Foo"}) << c.message;
    }
    ::signal(SIGXFSZ, oldHandler);
}

TEST_F(LipoTest, FileChangedUnderTheRunIsNotReplaced) {
    struct Case {
        lipo_testing::Point point;
        const char* what;
        bool replaceEntry;  // put another file at the path instead of writing to it
    };
    const Case cases[] = {
        {lipo_testing::Point::BetweenStatusReads, "grows between status reads", false},
        {lipo_testing::Point::BeforeReplace, "grows while thinned", false},
        {lipo_testing::Point::BeforeReplace, "replaced while thinned", true},
    };
    std::string bytes = fatOf({{kX86, 3, 12, 64}, {kX86_64, 3, 12, 64}});
    ASSERT_TRUE(setup({"x86"}));
    for (const Case& c : cases) {
        log_.clear();
        std::string path = writeInput(bytes);
        std::string changed = bytes + "appended";
        lipo_testing::set_hook([&](lipo_testing::Point point, const char* p) {
            if (point != c.point) return;
            if (c.replaceEntry) {
                std::string other = dir_ / "other";
                std::ofstream(other, std::ios::binary) << changed;
                std::filesystem::rename(other, p);
            } else {
                std::ofstream(p, std::ios::binary | std::ios::app) << "appended";
            }
        });
        std::uint64_t saved = kNoCount;
        EXPECT_EQ(run_lipo(path.c_str(), &saved), 1) << c.what;
        lipo_testing::set_hook({});
        EXPECT_EQ(log_.lines(),
                  std::vector<std::string>{"Input file: " + path + " changed since opened"})
            << c.what;
        EXPECT_EQ(readFile(path), changed) << c.what;
        EXPECT_EQ(saved, kNoCount);
        EXPECT_EQ(entries(), std::vector<std::string>{"Foo"}) << c.what;
    }
}

TEST_F(LipoTest, RefusesAFileWithASecondNameAndKeepsBothNames) {
    // Rewriting one name would leave the other holding the fat content: more disk used, not
    // less, while a saving is reported.
    ASSERT_TRUE(setup({"x86"}));
    std::string bytes = fatOf({{kX86, 3, 12, 100}, {kX86_64, 3, 12, 100}});
    std::string path = writeInput(bytes);
    std::string other = dir_ / "Bar";
    ASSERT_EQ(::link(path.c_str(), other.c_str()), 0);
    struct stat before;
    ASSERT_EQ(::stat(path.c_str(), &before), 0);

    std::uint64_t saved = kNoCount;
    EXPECT_EQ(run_lipo(path.c_str(), &saved), 1);
    EXPECT_EQ(log_.lines(),
              std::vector<std::string>{"input file: " + path + " has more than one link"});
    EXPECT_EQ(saved, kNoCount);
    EXPECT_EQ(readFile(path), bytes);
    EXPECT_EQ(readFile(other), bytes);
    struct stat after;
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_nlink, 2u);
    EXPECT_EQ(entries(), (std::vector<std::string>{"Bar", "Foo"}));
}

TEST_F(LipoTest, CarriesUserAttributesOverAndRefusesAFileWithOthers) {
    // A file capability (here: bind to low ports) is the kind of attribute a new file made by
    // this rewrite cannot be given back safely.
    vfs_cap_data capability{};
    capability.magic_etc = VFS_CAP_REVISION_2;
    capability.data[0].permitted = 1u << CAP_NET_BIND_SERVICE;
    const std::string capabilityBytes(reinterpret_cast<const char*>(&capability), XATTR_CAPS_SZ_2);
    struct Case {
        const char* what;
        std::string name;
        std::string value;
        bool carried;
    };
    const Case cases[] = {
        {"user attribute", "user.origin", "downloaded", true},
        {"empty user attribute", "user.flag", "", true},
        {"file capability", "security.capability", capabilityBytes, false},
        {"trusted attribute", "trusted.note", "kept", false},
    };
    std::string bytes = fatOf({{kX86, 3, 12, 100}, {kX86_64, 3, 12, 100}});
    ASSERT_TRUE(setup({"x86"}));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        log_.clear();
        std::string path = writeInput(bytes);
        if (::setxattr(path.c_str(), c.name.c_str(), c.value.data(), c.value.size(), 0) != 0) {
            const int error = errno;
            ::unlink(path.c_str());
            if (error == ENOTSUP)
                GTEST_SKIP() << "the file system of " << dir_.path()
                             << " does not keep extended attributes";
            // Attributes outside the user namespace need privileges this run may not have.
            std::cerr << "skipped " << c.what << ": " << std::strerror(error) << "\n";
            continue;
        }
        std::uint64_t saved = kNoCount;
        const int answer = run_lipo(path.c_str(), &saved);
        std::string value(256, '\0');
        const ssize_t got = ::getxattr(path.c_str(), c.name.c_str(), value.data(), value.size());
        value.resize(got < 0 ? 0 : std::size_t(got));
        EXPECT_GE(got, 0) << "the attribute went";
        EXPECT_EQ(value, c.value);
        if (c.carried) {
            EXPECT_EQ(answer, 0);
            EXPECT_EQ(saved, bytes.size() - 100);
            EXPECT_EQ(std::filesystem::file_size(path), 100u);
            EXPECT_TRUE(log_.lines().empty());
        } else {
            EXPECT_EQ(answer, 1);
            EXPECT_EQ(saved, kNoCount);
            EXPECT_EQ(readFile(path), bytes);
            EXPECT_EQ(log_.lines(),
                      std::vector<std::string>{"input file: " + path +
                                               " has an attribute that can't be carried over (" +
                                               c.name + ")"});
        }
        EXPECT_EQ(entries(), std::vector<std::string>{"Foo"});
        ::unlink(path.c_str());
    }
}

TEST_F(LipoTest, AChangeThatOnlyTheChangeTimeShowsIsNotReplaced) {
    // Size and modification time stay; only the inode change time tells that someone was here
    // (a mode or an attribute changed, a name was added).
    struct Case {
        lipo_testing::Point point;
        const char* what;
        std::function<void(const char* path)> change;
    };
    const auto modeAndBack = [](const char* p) {
        struct stat st;
        ASSERT_EQ(::stat(p, &st), 0);
        ASSERT_EQ(::chmod(p, 0600), 0);
        ASSERT_EQ(::chmod(p, st.st_mode & 07777), 0);
    };
    const auto linkAndUnlink = [this](const char* p) {
        std::string second = dir_ / "second";
        ASSERT_EQ(::link(p, second.c_str()), 0);
        ASSERT_EQ(::unlink(second.c_str()), 0);
    };
    const Case cases[] = {
        {lipo_testing::Point::BetweenStatusReads, "mode changed and put back", modeAndBack},
        {lipo_testing::Point::BetweenStatusReads, "a name added and removed", linkAndUnlink},
        {lipo_testing::Point::BeforeReplace, "mode changed and put back while thinned",
         modeAndBack},
        {lipo_testing::Point::BeforeReplace, "a name added and removed while thinned",
         linkAndUnlink},
    };
    std::string bytes = fatOf({{kX86, 3, 12, 64}, {kX86_64, 3, 12, 64}});
    ASSERT_TRUE(setup({"x86"}));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        log_.clear();
        std::string path = writeInput(bytes);
        struct stat before {
        }, after{};
        lipo_testing::set_hook([&](lipo_testing::Point point, const char* p) {
            if (point != c.point) return;
            ASSERT_EQ(::stat(p, &before), 0);
            // Change times may tick coarsely: repeat until the change shows.
            for (int i = 0; i < 200; ++i) {
                c.change(p);
                ASSERT_EQ(::stat(p, &after), 0);
                if (after.st_ctim.tv_sec != before.st_ctim.tv_sec ||
                    after.st_ctim.tv_nsec != before.st_ctim.tv_nsec)
                    break;
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
        std::uint64_t saved = kNoCount;
        EXPECT_EQ(run_lipo(path.c_str(), &saved), 1);
        lipo_testing::set_hook({});
        // The fixture did what it claims: nothing but the change time moved.
        EXPECT_EQ(after.st_size, before.st_size);
        EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
        EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_nlink, before.st_nlink);
        EXPECT_NE(after.st_ctim.tv_nsec + after.st_ctim.tv_sec * 1000000000LL,
                  before.st_ctim.tv_nsec + before.st_ctim.tv_sec * 1000000000LL);
        EXPECT_EQ(log_.lines(),
                  std::vector<std::string>{"Input file: " + path + " changed since opened"});
        EXPECT_EQ(readFile(path), bytes);
        EXPECT_EQ(saved, kNoCount);
        EXPECT_EQ(entries(), std::vector<std::string>{"Foo"});
    }
}

}  // namespace
