#pragma once
// A reference to an existing file or folder, as the File Manager hands it out. Here it
// keeps the path it was made from; a reference to nothing is the zero-filled (empty) one.

#include <string>

struct FSRef {
    /// The path of the item; empty for a reference to nothing.
    std::string path;
    bool isZero() const { return path.empty(); }
};
