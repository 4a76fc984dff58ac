// Related-file discovery against find on the same generated Library folders.
//
//   bench_related_files [--entries N] [--quick] [FOLDER]
//
// Builds (inside FOLDER, default $TMPDIR or /tmp) a home and a volume root whose Library
// folders (Preferences, Caches, Logs, Saved Application State, Application Support, Downloads,
// Growl tickets; user and local domains) hold N entries (default 20,000; 2,000 with --quick),
// of which about one in 64 belongs to the bundle searched for (by name or identifier, files
// and small folders). With warm caches it times, best of 3, relatedFilesToApplicationAtPath
// against `find <the searched folders> -maxdepth 1` in the same run and prints the ratio.
// Exits 1 when the scan finds another number of hits than were made, 2 on a setup failure.
// The generated folders are removed at the end.

#include <sys/stat.h>
#include <unistd.h>
#include "bench/BenchTiming.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "appsManager/RelatedAppFilesScanner.h"

namespace {

namespace fs = std::filesystem;

struct Folder {
    std::string path;
    int weight;  // share of the entries
};

bool writeFile(const std::string& path, std::size_t size) {
    std::ofstream out(path, std::ios::binary);
    out << std::string(size, 'x');
    return static_cast<bool>(out);
}

/// Runs `command` and counts the lines it prints; -1 when it cannot run.
long countLines(const std::string& command) {
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    long lines = 0;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        lines += std::count(buffer, buffer + n, '\n');
    return pclose(pipe) == 0 ? lines : -1;
}

std::string quoted(const std::string& path) {
    std::string out = "'";
    for (char c : path)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

}  // namespace

int main(int argc, char** argv) {
    long entries = 20000;
    std::string base;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0) {
            entries = 2000;
        } else if (std::strcmp(argv[i], "--entries") == 0 && i + 1 < argc) {
            entries = std::max(1L, std::atol(argv[++i]));
        } else {
            base = argv[i];
        }
    }
    if (base.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        base = tmp && *tmp ? tmp : "/tmp";
    }
    std::string top = base + "/bench-related-XXXXXX";
    if (!mkdtemp(top.data())) return 2;
    const std::string home = top + "/home", root = top + "/root";
    const std::string U = home + "/Library", L = root + "/Library";
    const std::vector<Folder> folders = {
        {U + "/Preferences", 6},
        {L + "/Preferences", 2},
        {U + "/Caches", 5},
        {L + "/Caches", 2},
        {U + "/Logs", 2},
        {L + "/Logs", 1},
        {U + "/Saved Application State", 2},
        {U + "/Application Support", 4},
        {L + "/Application Support", 2},
        {home + "/Downloads", 1},
        {U + "/Application Support/Growl/Tickets", 1},
    };
    int weights = 0;
    for (const Folder& f : folders)
        weights += f.weight;

    std::error_code ec;
    long made = 0, hits = 0;
    bool ok = true;
    for (std::size_t f = 0; ok && f < folders.size(); ++f) {
        const Folder& folder = folders[f];
        fs::create_directories(folder.path, ec);
        if (ec) ok = false;
        bool growl = folder.path.ends_with("/Tickets");
        long share = f + 1 == folders.size() ? entries - made : entries * folder.weight / weights;
        for (long i = 0; ok && i < share; ++i, ++made) {
            std::string name;
            bool hit = i % 64 == 7;
            if (!hit) {
                name = "com.vendor" + std::to_string(i % 97) + ".app" + std::to_string(i) +
                       (growl ? ".growlTicket" : ".plist");
            } else if (growl) {
                name = "Foo Bar.growlTicket." + std::to_string(i);
            } else {
                name = (i / 64) % 2 ? "com.example.foobar." + std::to_string(i) + ".plist"
                                    : "FooBar " + std::to_string(i);
            }
            std::string path = folder.path + "/" + name;
            if (hit && i % 3 == 0 && !growl) {
                // A small support folder of three files.
                ok = fs::create_directory(path, ec) && writeFile(path + "/a", 512) &&
                     writeFile(path + "/b", 2048) && writeFile(path + "/c", 100);
            } else {
                ok = writeFile(path, hit ? 1024 : 64);
            }
            hits += hit ? 1 : 0;
        }
    }
    std::string app = root + "/Applications/Foo Bar.app/Contents";
    fs::create_directories(app + "/MacOS", ec);
    std::ofstream(app + "/Info.plist")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
           "<key>CFBundleName</key><string>Foo Bar</string>"
           "<key>CFBundleIdentifier</key><string>com.example.foobar</string>"
           "</dict></plist>\n";
    ok = ok && writeFile(app + "/MacOS/Foo Bar", 4096);
    if (!ok) {
        std::fprintf(stderr, "could not build the folders in %s\n", top.c_str());
        fs::remove_all(top, ec);
        return 2;
    }
    setenv("HOME", home.c_str(), 1);
    setenv("UNINSTALLER_ROOT", root.c_str(), 1);

    std::string bundle = root + "/Applications/Foo Bar.app";
    std::size_t found = 0;
    bool scanOk = false, findOk = false;
    double scan = bench::bestOfThree(
        [&] {
            found = RelatedAppFilesScanner::relatedFilesToApplicationAtPath(bundle).size();
            return true;
        },
        scanOk);
    std::string command = "find";
    for (const Folder& f : folders)
        command += " " + quoted(f.path);
    command += " -maxdepth 1";
    long listed = 0;
    double find = bench::bestOfThree(
        [&] {
            listed = countLines(command);
            return listed >= 0;
        },
        findOk);

    std::printf("entries %ld (hits %ld), found %zu records (bundle included), find listed %ld\n",
                made, hits, found, listed);
    if (findOk)
        std::printf(
            "relatedFilesToApplicationAtPath %.2f ms, find -maxdepth 1 %.2f ms, ratio %.2f\n", scan,
            find, scan / find);
    fs::remove_all(top, ec);
    if (!scanOk || !findOk) return 2;
    return found == static_cast<std::size_t>(hits) + 1 ? 0 : 1;
}
