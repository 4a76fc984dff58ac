#include "appsManager/NSStringFSRef.h"

#include <sys/stat.h>

FSRef fsref(const NSStringOpt& path) {
    struct stat st;
    if (!path || path->empty() || ::lstat(path->c_str(), &st) != 0) return FSRef{};
    return FSRef{*path};
}
