// The tree-size walk against du and find on the same generated tree of application bundles.
//
//   bench_tree_size [--files N] [--quick] [FOLDER]
//
// Builds (inside FOLDER, default $TMPDIR or /tmp) a tree of N files (default 200,000; 5,000 with
// --quick) shaped like application bundles, with sparse files of 0..64 KiB and framework links,
// and no hard links (du would count an inode once, the walk once per link). With warm caches it
// times, best of 3: treeLogicalSize, `du -s --apparent-size -B1` and `find -type f -printf %s`.
// The walk must equal the regular-file sum plus the link sizes given by find; du also counts the
// folders themselves, so its total is printed but not compared. Exits 1 when the totals disagree,
// 2 on a setup failure. The generated tree is removed at the end.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include "bench/BenchTiming.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "platform/coreservices/TreeSize.h"
#include "platform/foundation/NSFileManager.h"

namespace {

struct Generated {
    std::uint64_t files = 0;
    std::uint64_t links = 0;
    std::uint64_t bytes = 0;  // file sizes plus link target lengths: what the walk must find
};

class Generator {
  public:
    explicit Generator(std::uint64_t files) : wanted_(files) {}

    bool build(const std::string& root) {
        int rootfd = open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (rootfd < 0) return false;
        const std::uint64_t bundles = std::clamp<std::uint64_t>(wanted_ / 50, 1, 400);
        bool ok = true;
        for (std::uint64_t b = 0; ok && b < bundles; ++b) {
            // Spread the files evenly; the first bundles take the remainder.
            std::uint64_t share = wanted_ / bundles + (b < wanted_ % bundles ? 1 : 0);
            ok = bundle(rootfd, b, share);
        }
        close(rootfd);
        return ok;
    }

    const Generated& result() const { return made_; }

  private:
    static constexpr int kLanguages = 30;
    static constexpr const char* kLanguageNames[kLanguages] = {
        "en", "de", "fr", "ja", "es",    "it", "nl", "ko", "zh_CN", "zh_TW",
        "da", "fi", "nb", "pt", "pt_PT", "ru", "sv", "pl", "tr",    "ar",
        "cs", "el", "he", "hu", "id",    "ro", "sk", "th", "uk",    "vi"};

    std::uint64_t nextSize() {
        seed_ = seed_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return (seed_ >> 33) % (64 * 1024 + 1);
    }

    int folder(int dirfd, const char* name) {
        if (mkdirat(dirfd, name, 0755) != 0 && errno != EEXIST) return -1;
        return openat(dirfd, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }

    bool file(int dirfd, const std::string& name, std::uint64_t& budget) {
        if (budget == 0) return true;
        int fd = openat(dirfd, name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) return false;
        std::uint64_t size = nextSize();
        bool ok = ftruncate(fd, static_cast<off_t>(size)) == 0;
        close(fd);
        made_.files++;
        made_.bytes += size;
        budget--;
        return ok;
    }

    bool link(int dirfd, const char* target, const char* name) {
        if (symlinkat(target, dirfd, name) != 0) return false;
        made_.links++;
        made_.bytes += std::strlen(target);
        return true;
    }

    // App<b>.app/Contents/{Info.plist,PkgInfo,MacOS,Resources/<30 lproj>,Frameworks/...}
    bool bundle(int rootfd, std::uint64_t b, std::uint64_t budget) {
        const std::string app = "App" + std::to_string(b) + ".app";
        int appfd = folder(rootfd, app.c_str());
        if (appfd < 0) return false;
        int contents = folder(appfd, "Contents");
        close(appfd);
        if (contents < 0) return false;
        bool ok = file(contents, "Info.plist", budget) && file(contents, "PkgInfo", budget) &&
                  file(contents, ".DS_Store", budget);
        int macos = folder(contents, "MacOS");
        ok = ok && macos >= 0 && file(macos, "App" + std::to_string(b), budget);
        if (macos >= 0) close(macos);

        // A versioned framework with its usual links.
        int frameworks = folder(contents, "Frameworks");
        int framework = frameworks >= 0 ? folder(frameworks, "Core.framework") : -1;
        int versions = framework >= 0 ? folder(framework, "Versions") : -1;
        int a = versions >= 0 ? folder(versions, "A") : -1;
        int fwResources = a >= 0 ? folder(a, "Resources") : -1;
        int headers = a >= 0 ? folder(a, "Headers") : -1;
        ok = ok && fwResources >= 0 && headers >= 0 && file(a, "Core", budget) &&
             file(fwResources, "Info.plist", budget) && link(versions, "A", "Current") &&
             link(framework, "Versions/Current/Core", "Core") &&
             link(framework, "Versions/Current/Resources", "Resources") &&
             link(framework, "Versions/Current/Headers", "Headers");

        int resources = folder(contents, "Resources");
        ok = ok && resources >= 0 && file(resources, "AppIcon.icns", budget);
        int lproj[kLanguages];
        for (int i = 0; i < kLanguages; ++i) {
            std::string name = std::string(kLanguageNames[i]) + ".lproj";
            lproj[i] = resources >= 0 ? folder(resources, name.c_str()) : -1;
            ok = ok && lproj[i] >= 0;
        }
        // The rest: four in five files into the localisations, the others into the headers.
        for (std::uint64_t k = 0; ok && budget > 0; ++k) {
            if (k % 5 == 4)
                ok = file(headers, "H" + std::to_string(k) + ".h", budget);
            else
                ok = file(lproj[k % kLanguages], "S" + std::to_string(k) + ".strings", budget);
        }
        for (int fd : lproj)
            if (fd >= 0) close(fd);
        for (int fd :
             {resources, headers, fwResources, a, versions, framework, frameworks, contents})
            if (fd >= 0) close(fd);
        return ok;
    }

    std::uint64_t wanted_;
    std::uint64_t seed_ = 0x9e3779b97f4a7c15ULL;
    Generated made_;
};

std::string quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Sums the first number of every line a command prints; false when it could not run.
bool sumOfCommand(const std::string& command, std::uint64_t& sum) {
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return false;
    sum = 0;
    char line[4096];
    while (std::fgets(line, sizeof line, pipe))
        sum += std::strtoull(line, nullptr, 10);
    return pclose(pipe) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::uint64_t files = 200000;
    std::string base;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--quick") {
            files = 5000;
        } else if (arg == "--files" && i + 1 < argc) {
            files = std::strtoull(argv[++i], nullptr, 10);
        } else if (!arg.empty() && arg[0] != '-') {
            base = arg;
        } else {
            std::fprintf(stderr, "usage: %s [--files N] [--quick] [FOLDER]\n", argv[0]);
            return 2;
        }
    }
    if (base.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        base = tmp && *tmp ? tmp : "/tmp";
    }
    std::string root = base + "/tree-size-bench-XXXXXX";
    if (mkdtemp(root.data()) == nullptr) {
        std::perror("mkdtemp");
        return 2;
    }

    auto fm = NSFileManager::defaultManager();
    Generator generator(files);
    auto genStart = std::chrono::steady_clock::now();
    if (!generator.build(root)) {
        std::perror("generating the tree");
        fm->removeItemAtPath(root);
        return 2;
    }
    std::chrono::duration<double> genTime = std::chrono::steady_clock::now() - genStart;
    const Generated& made = generator.result();
    std::printf("tree %s: %llu files, %llu links, made in %.1f s\n", root.c_str(),
                static_cast<unsigned long long>(made.files),
                static_cast<unsigned long long>(made.links), genTime.count());

    std::uint64_t ours = 0, du = 0, findFiles = 0, findLinks = 0;
    bool okOurs = false, okDu = false, okFind = false, okLinks = false;
    const std::string q = quoted(root);
    double tOurs = bench::bestOfThree([&] { return (ours = treeLogicalSize(root)), true; }, okOurs);
    double tDu = bench::bestOfThree(
        [&] { return sumOfCommand("du -s --apparent-size -B1 " + q, du); }, okDu);
    double tFind = bench::bestOfThree(
        [&] { return sumOfCommand("find " + q + " -type f -printf '%s\\n'", findFiles); }, okFind);
    okLinks = sumOfCommand("find " + q + " -type l -printf '%s\\n'", findLinks);

    std::printf("treeLogicalSize  %14llu bytes  %9.1f ms\n", static_cast<unsigned long long>(ours),
                tOurs);
    std::printf("du --apparent    %14llu bytes  %9.1f ms  (counts folders too)\n",
                static_cast<unsigned long long>(du), tDu);
    std::printf("find -type f     %14llu bytes  %9.1f ms  (+ %llu bytes of links)\n",
                static_cast<unsigned long long>(findFiles), tFind,
                static_cast<unsigned long long>(findLinks));
    std::printf("ratio ours/du %.2f  ours/find %.2f\n", tOurs / tDu, tOurs / tFind);

    int status = 0;
    if (!okDu || !okFind || !okLinks) {
        std::fprintf(stderr, "du or find failed\n");
        status = 2;
    } else if (ours != findFiles + findLinks || ours != made.bytes) {
        std::fprintf(stderr, "MISMATCH: ours %llu, find files + links %llu, generated %llu\n",
                     static_cast<unsigned long long>(ours),
                     static_cast<unsigned long long>(findFiles + findLinks),
                     static_cast<unsigned long long>(made.bytes));
        status = 1;
    } else {
        std::printf("totals agree\n");
    }

    auto rmStart = std::chrono::steady_clock::now();
    std::string error;
    if (!fm->removeItemAtPath(root, &error)) {
        std::fprintf(stderr, "removing %s: %s\n", root.c_str(), error.c_str());
        if (status == 0) status = 2;
    }
    std::chrono::duration<double, std::milli> rmTime = std::chrono::steady_clock::now() - rmStart;
    std::printf("removeItemAtPath %9.1f ms\n", rmTime.count());
    return status;
}
