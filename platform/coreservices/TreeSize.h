#pragma once
// The fast tree-size walk: the logical size of everything at or below a path, as the sizes
// column of the application shows it.

#include <cstdint>
#include <string>

/// Sum of the logical sizes (st_size) of every item at or below `path` that is not a folder:
/// regular files at any depth (hidden files and package contents included), symbolic links with
/// their own size (the length of their target text; links are never followed), and fifos,
/// sockets and devices with whatever st_size they report (0 on Linux). Folders themselves count
/// nothing. A file or link path gives its own size, a missing path 0; a sub-folder that cannot
/// be opened or listed contributes nothing while its siblings are still counted. Hard links
/// count once per link. Safe at any depth and on any thread; a large tree is shared with idle
/// workers of the global queue.
std::uint64_t treeLogicalSize(const std::string& path);

/// The same for the item `name` of the folder open as `dirfd` (AT_FDCWD for the current folder).
std::uint64_t treeLogicalSizeAt(int dirfd, const char* name);
