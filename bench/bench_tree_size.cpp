// The tree-size walk against du and find on the same generated tree of application bundles.
//
//   bench_tree_size [--files N] [--quick] [FOLDER]
//
// Builds (inside FOLDER, default $TMPDIR or /tmp) a tree of N files (default 200,000; 5,000 with
// --quick) shaped like application bundles, with sparse files of 0..64 KiB and framework links,
// and no hard links (du would count an inode once, the walk once per link). With warm caches it
// times, best of 3: treeLogicalSize, `du -s --apparent-size -B1`, the same du run as 8 parallel
// processes over the tree's top-level folders (what eight cores give a tool that splits the
// work), and `find -type f -printf %s`. The walk must equal the regular-file sum plus the link
// sizes given by find; du also counts the folders themselves, so its totals are printed but not
// compared. Printed: the ratios to du, to the parallel du and to find, and the goal (the walk at
// most 0.3x du on a full run).
//
// A small bundle (60 files) must not pay for the parallel walk: 2,000 walks of one, best of 3,
// against 2,000 serial walks (DirectoryWalker, one fstatat per non-folder entry, as the size walk
// did before it was shared with workers).
//
// Exits 1 when the totals disagree, or (with --quick, where the tree is small and the machine
// may be busy) when the walk takes more than 3x du or the small walks more than 3x the serial
// ones; 2 on a setup failure. The generated tree is
// removed at the end.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "bench/BenchTiming.h"
#include "bench/TreeBench.h"
#include "platform/coreservices/TreeSize.h"
#include "platform/foundation/DirectoryWalker.h"
#include "platform/foundation/NSFileManager.h"

namespace {

using platform::detail::DirectoryWalker;

// The serial reference: sizes of non-folder entries, folders entered.
class SerialSize final : public DirectoryWalker::Visitor {
  public:
    DirectoryWalker::Step entry(int dirfd, const char* name, unsigned char type) override {
        if (type == DT_DIR) return DirectoryWalker::Step::Descend;
        struct stat st {};
        if (fstatat(dirfd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return DirectoryWalker::Step::Next;
        if (S_ISDIR(st.st_mode)) return DirectoryWalker::Step::Descend;
        total += static_cast<std::uint64_t>(st.st_size);
        return DirectoryWalker::Step::Next;
    }
    std::uint64_t total = 0;
};

std::uint64_t serialSize(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return 0;
    SerialSize visitor;
    DirectoryWalker(visitor).walk(fd);
    close(fd);
    return visitor.total;
}

}  // namespace

int main(int argc, char** argv) {
    bench::TreeOptions options;
    if (!bench::parseTreeOptions(argc, argv, options)) return 2;
    const std::string root = bench::makeTempFolder(options.base, "tree-size-bench-");
    if (root.empty()) {
        std::perror("mkdtemp");
        return 2;
    }

    auto fm = NSFileManager::defaultManager();
    bench::Generator generator(options.files);
    auto genStart = std::chrono::steady_clock::now();
    if (!generator.build(root)) {
        std::perror("generating the tree");
        fm->removeItemAtPath(root);
        return 2;
    }
    std::chrono::duration<double> genTime = std::chrono::steady_clock::now() - genStart;
    const bench::Generated& made = generator.result();
    std::printf("tree %s: %llu files, %llu links, made in %.1f s\n", root.c_str(),
                static_cast<unsigned long long>(made.files),
                static_cast<unsigned long long>(made.links), genTime.count());

    std::uint64_t ours = 0, du = 0, du8 = 0, findFiles = 0, findLinks = 0;
    bool okOurs = false, okDu = false, okDu8 = false, okFind = false, okLinks = false;
    const std::string q = bench::quoted(root);
    const std::string du8Command =
        bench::splitCommand("du -s --apparent-size -B1", root, 8) + " 2>/dev/null";
    double tOurs = bench::bestOfThree([&] { return (ours = treeLogicalSize(root)), true; }, okOurs);
    double tDu = bench::bestOfThree(
        [&] { return bench::sumOfCommand("du -s --apparent-size -B1 " + q, du); }, okDu);
    double tDu8 = bench::bestOfThree([&] { return bench::sumOfCommand(du8Command, du8); }, okDu8);
    double tFind = bench::bestOfThree(
        [&] { return bench::sumOfCommand("find " + q + " -type f -printf '%s\\n'", findFiles); },
        okFind);
    okLinks = bench::sumOfCommand("find " + q + " -type l -printf '%s\\n'", findLinks);

    std::printf("treeLogicalSize  %14llu bytes  %9.1f ms\n", static_cast<unsigned long long>(ours),
                tOurs);
    std::printf("du --apparent    %14llu bytes  %9.1f ms  (counts folders too)\n",
                static_cast<unsigned long long>(du), tDu);
    std::printf("8 parallel du    %14llu bytes  %9.1f ms  (counts folders too)\n",
                static_cast<unsigned long long>(du8), tDu8);
    std::printf("find -type f     %14llu bytes  %9.1f ms  (+ %llu bytes of links)\n",
                static_cast<unsigned long long>(findFiles), tFind,
                static_cast<unsigned long long>(findLinks));
    std::printf("ratio ours/du %.2f  (goal at most 0.30; 8 parallel du/du %.2f)  ours/find %.2f\n",
                tOurs / tDu, tDu8 / tDu, tOurs / tFind);

    int status = 0;
    if (!okDu || !okDu8 || !okFind || !okLinks) {
        std::fprintf(stderr, "du or find failed\n");
        status = 2;
    } else if (ours != findFiles + findLinks || ours != made.bytes) {
        std::fprintf(stderr, "MISMATCH: ours %llu, find files + links %llu, generated %llu\n",
                     static_cast<unsigned long long>(ours),
                     static_cast<unsigned long long>(findFiles + findLinks),
                     static_cast<unsigned long long>(made.bytes));
        status = 1;
    } else if (options.quick && tOurs > 3 * tDu) {
        std::fprintf(stderr, "TOO SLOW: the walk took %.2fx du (the limit is 3x)\n", tOurs / tDu);
        status = 1;
    } else {
        std::printf("totals agree\n");
    }

    // Small bundles: the cost of a walk that never spreads.
    const std::string small = root + "/small";
    bench::Generator smallGenerator(60);
    if (mkdir(small.c_str(), 0755) != 0 || !smallGenerator.build(small)) {
        std::perror("generating the small tree");
        status = 2;
    } else {
        constexpr int kWalks = 2000;
        std::uint64_t smallOurs = 0, smallSerial = 0;
        bool okSmall = false, okSerial = false;
        double tSmall = bench::bestOfThree(
            [&] {
                for (int i = 0; i < kWalks; ++i)
                    smallOurs = treeLogicalSize(small);
                return true;
            },
            okSmall);
        double tSerial = bench::bestOfThree(
            [&] {
                for (int i = 0; i < kWalks; ++i)
                    smallSerial = serialSize(small);
                return true;
            },
            okSerial);
        std::printf(
            "small bundle, %d walks: treeLogicalSize %.1f ms, serial walk %.1f ms, "
            "ratio %.2f\n",
            kWalks, tSmall, tSerial, tSmall / tSerial);
        if (smallOurs != smallSerial || smallOurs != smallGenerator.result().bytes) {
            std::fprintf(stderr, "MISMATCH on the small bundle: ours %llu, serial %llu\n",
                         static_cast<unsigned long long>(smallOurs),
                         static_cast<unsigned long long>(smallSerial));
            status = 1;
        } else if (options.quick && tSmall > 3 * tSerial && status == 0) {
            std::fprintf(stderr, "TOO SLOW: small walks took %.2fx the serial ones\n",
                         tSmall / tSerial);
            status = 1;
        }
    }

    std::string error;
    if (!fm->removeItemAtPath(root, &error)) {
        std::fprintf(stderr, "removing %s: %s\n", root.c_str(), error.c_str());
        if (status == 0) status = 2;
    }
    return status;
}
