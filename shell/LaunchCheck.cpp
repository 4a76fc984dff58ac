#include "shell/LaunchCheck.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

bool isFolder(const std::string& path, int* error) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        *error = errno;
        return false;
    }
    *error = S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    return *error == 0;
}

}  // namespace

std::optional<std::string> LaunchCheck::volumeProblem() {
    const char* named = std::getenv("UNINSTALLER_ROOT");
    if (named == nullptr || *named == '\0') return std::nullopt;
    const std::string root = named;
    const std::string hint =
        " Name the folder of a macOS-style volume (one with Applications and Library folders), "
        "or leave UNINSTALLER_ROOT unset to use /.";
    int error = 0;
    if (!isFolder(root, &error))
        return "UNINSTALLER_ROOT names \"" + root + "\", which is not a folder (" +
               std::strerror(error) + ")." + hint;
    if (!isFolder(root + "/Applications", &error))
        return "UNINSTALLER_ROOT names \"" + root + "\", which has no Applications folder (" +
               std::strerror(error) + ")." + hint;
    return std::nullopt;
}
