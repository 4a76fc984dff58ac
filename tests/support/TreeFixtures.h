#pragma once
// Large trees for the tests of the parallel walks: made by code in a temporary folder, with the
// bytes a size walk must find counted while they are made.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

namespace fixtures {

/// The shape of a generated tree: `width` folders at the top, each the root of a subtree
/// `depth` levels deep in which every folder holds `files` files and `fanout` sub-folders (the
/// deepest none). With `outside` set, every top folder also holds a link to that folder and one
/// to a file in it, which a walk must count as links and never enter.
struct TreeShape {
    const char* label;
    int width;
    int depth;
    int files;
    int fanout;
};

/// What a generated tree holds.
struct MadeTree {
    std::uint64_t bytes = 0;  ///< file sizes plus link target lengths
    std::uint64_t files = 0;
    std::uint64_t folders = 0;         ///< below the root
    std::vector<std::string> deepest;  ///< one folder of the deepest level per top folder
};

/// Makes `shape` inside the existing folder `root`; false on any failure.
inline bool makeTree(const std::string& root, const TreeShape& shape, MadeTree& made,
                     const std::string& outside = "") {
    std::uint64_t serial = 0;
    auto file = [&](const std::string& path) {
        const off_t size = static_cast<off_t>((++serial * 7919) % 5000);
        int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) return false;
        const bool ok = ftruncate(fd, size) == 0;
        close(fd);
        made.bytes += static_cast<std::uint64_t>(size);
        ++made.files;
        return ok;
    };
    auto link = [&](const std::string& target, const std::string& path) {
        made.bytes += target.size();
        return symlink(target.c_str(), path.c_str()) == 0;
    };
    // Depth-first, by an explicit stack of (path, level).
    std::vector<std::pair<std::string, int>> stack;
    for (int t = 0; t < shape.width; ++t) {
        const std::string top = root + "/top" + std::to_string(t);
        if (mkdir(top.c_str(), 0755) != 0) return false;
        ++made.folders;
        if (!outside.empty() &&
            (!link(outside, top + "/out") || !link(outside + "/big", top + "/outFile")))
            return false;
        stack.emplace_back(top, 1);
        std::string deepest = top;
        int deepestLevel = 1;
        while (!stack.empty()) {
            auto [folder, level] = stack.back();
            stack.pop_back();
            if (level > deepestLevel) deepest = folder, deepestLevel = level;
            for (int f = 0; f < shape.files; ++f)
                if (!file(folder + "/f" + std::to_string(f))) return false;
            if (level >= shape.depth) continue;
            for (int s = 0; s < shape.fanout; ++s) {
                const std::string sub = folder + "/d" + std::to_string(s);
                if (mkdir(sub.c_str(), 0755) != 0) return false;
                ++made.folders;
                stack.emplace_back(sub, level + 1);
            }
        }
        made.deepest.push_back(deepest);
    }
    return true;
}

/// The shapes the parallel walks are tried on: each has thousands of entries, enough to spread.
inline const std::vector<TreeShape>& largeShapes() {
    static const std::vector<TreeShape> shapes = {
        {"wide: many small top folders", 300, 2, 5, 2},
        {"deep: a few chains past the depth where tasks stop", 3, 70, 12, 1},
        {"bushy: few top folders, many levels of fan-out", 2, 6, 3, 4},
        {"one huge folder of files", 1, 1, 4000, 0},
    };
    return shapes;
}

}  // namespace fixtures
