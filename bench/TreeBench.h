#pragma once
// What the tree benchmarks share: the generator of a tree shaped like application bundles, and
// the running of reference commands over it (whole, or split into parallel groups of its
// top-level entries).

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace bench {

/// What a generated tree holds.
struct Generated {
    std::uint64_t files = 0;
    std::uint64_t links = 0;
    std::uint64_t bytes = 0;  // file sizes plus link target lengths: what the walk must find
};

/// Builds, inside an existing folder, App<b>.app bundles holding `files` files in all, with
/// sparse files of 0..64 KiB and framework links, and no hard links.
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

/// `s` quoted for the shell.
inline std::string quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

/// Sums the first number of every line a command prints; false when it could not run.
inline bool sumOfCommand(const std::string& command, std::uint64_t& sum) {
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return false;
    sum = 0;
    char line[4096];
    while (std::fgets(line, sizeof line, pipe))
        sum += std::strtoull(line, nullptr, 10);
    return pclose(pipe) == 0;
}

/// The names of the entries of `folder` (sorted; "." and ".." left out).
inline std::vector<std::string> entriesOf(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* e = readdir(dir))
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                names.emplace_back(e->d_name);
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

/// A shell command running `tool` (followed by its arguments) in `jobs` parallel processes, each
/// over an even share of the top-level entries of `folder`, and waiting for all of them.
inline std::string splitCommand(const std::string& tool, const std::string& folder, int jobs) {
    const std::vector<std::string> names = entriesOf(folder);
    std::string command;
    for (int j = 0; j < jobs; ++j) {
        std::string args;
        for (std::size_t i = j; i < names.size(); i += static_cast<std::size_t>(jobs))
            args += " " + quoted(folder + "/" + names[i]);
        if (!args.empty()) command += tool + args + " & ";
    }
    return "{ " + command + "wait; }";
}

/// The command line shared by the tree benchmarks: [--files N] [--quick] [FOLDER].
struct TreeOptions {
    std::uint64_t files = 200000;
    bool quick = false;
    std::string base;  ///< where the trees are made ($TMPDIR or /tmp by default)
};

/// Reads the command line into `options`; false (after printing the usage) when it is wrong.
inline bool parseTreeOptions(int argc, char** argv, TreeOptions& options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--quick") {
            options.quick = true;
            options.files = 5000;
        } else if (arg == "--files" && i + 1 < argc) {
            options.files = std::strtoull(argv[++i], nullptr, 10);
        } else if (!arg.empty() && arg[0] != '-') {
            options.base = arg;
        } else {
            std::fprintf(stderr, "usage: %s [--files N] [--quick] [FOLDER]\n", argv[0]);
            return false;
        }
    }
    if (options.base.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        options.base = tmp && *tmp ? tmp : "/tmp";
    }
    return true;
}

/// A new empty folder `base`/`prefix`XXXXXX; "" when it cannot be made.
inline std::string makeTempFolder(const std::string& base, const std::string& prefix) {
    std::string root = base + "/" + prefix + "XXXXXX";
    if (mkdtemp(root.data()) == nullptr) return "";
    return root;
}

}  // namespace bench
