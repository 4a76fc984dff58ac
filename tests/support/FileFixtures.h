#pragma once
// Fixtures for file-system tests: a temporary folder, scoped environment variables, small file
// makers, and running a check as the unprivileged user 65534 when the tests run as root.

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace fixtures {

/// A fresh folder under $TMPDIR (or /tmp), searchable by everyone, removed with its contents.
class TempDir {
  public:
    TempDir() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/uninstaller-test-XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
            chmod(path_.c_str(), 0755);  // so that the unprivileged user can reach fixtures
        }
    }
    ~TempDir() {
        if (path_.empty()) return;
        std::error_code ec;
        // Fixtures may hold read-only folders: open them up before removing.
        for (auto it = std::filesystem::recursive_directory_iterator(
                 path_, std::filesystem::directory_options::skip_permission_denied, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            if (it->is_directory(ec) && !it->is_symlink(ec)) chmod(it->path().c_str(), 0700);
        }
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    /// `relative` inside the folder.
    std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }
    /// Writes `content` to `relative`, making the folders on the way; returns the full path.
    std::string write(const std::string& relative, const std::string& content) const {
        std::string full = *this / relative;
        std::filesystem::create_directories(std::filesystem::path(full).parent_path());
        std::ofstream(full, std::ios::binary) << content;
        return full;
    }
    /// Makes the folder `relative` and its parents; returns the full path.
    std::string mkdir(const std::string& relative) const {
        std::string full = *this / relative;
        std::filesystem::create_directories(full);
        return full;
    }

  private:
    std::string path_;
};

/// Sets (or unsets, with nullopt) an environment variable for the scope, then restores it.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = std::string(old);
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_)
            setenv(name_.c_str(), old_->c_str(), 1);
        else
            unsetenv(name_.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    std::string name_;
    std::optional<std::string> old_;
};

/// Writes a file of `size` bytes (made sparse by ftruncate); true on success.
inline bool makeFile(const std::string& path, off_t size = 0) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = ftruncate(fd, size) == 0;
    close(fd);
    return ok;
}

inline bool makeFolder(const std::string& path, mode_t mode = 0755) {
    return mkdir(path.c_str(), mode) == 0 && chmod(path.c_str(), mode) == 0;
}

/// A whole file ("" when it cannot be read).
inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

/// The regular-file bytes at or below `path` (symbolic links not followed), counted
/// independently of the size walks under test.
inline std::uint64_t bytesAt(const std::string& path) {
    namespace fs = std::filesystem;
    if (fs::is_regular_file(fs::symlink_status(path))) return fs::file_size(path);
    std::uint64_t total = 0;
    for (const auto& entry : fs::recursive_directory_iterator(path))
        if (entry.is_regular_file() && !entry.is_symlink()) total += entry.file_size();
    return total;
}

/// Links that fan out without a cycle: the folder `first`, then `count - 1` folders below
/// `elsewhere` ("f01", "f02", ...), each but the last holding two links, "a" and "b", to the
/// next one, so that 2^(count-1) paths lead to the last. Returns the folders in chain order.
inline std::vector<std::string> makeLinkFanOut(const std::string& first,
                                               const std::string& elsewhere, int count) {
    namespace fs = std::filesystem;
    std::vector<std::string> folders{first};
    for (int i = 1; i < count; ++i)
        folders.push_back(elsewhere + "/f" + (i < 10 ? "0" : "") + std::to_string(i));
    for (const std::string& folder : folders)
        fs::create_directories(folder);
    for (std::size_t i = 0; i + 1 < folders.size(); ++i)
        for (const char* link : {"a", "b"})
            fs::create_directory_symlink(folders[i + 1], folders[i] + "/" + link);
    return folders;
}

/// For the folders of makeLinkFanOut: the path by which a depth-first walk in listing order
/// reaches each one first, through the link that its predecessor lists first.
inline std::vector<std::string> firstReachedPaths(const std::vector<std::string>& folders) {
    namespace fs = std::filesystem;
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        if (i == 0) {
            paths.push_back(folders[0]);
            continue;
        }
        std::string link;
        for (const auto& entry : fs::directory_iterator(folders[i - 1])) {
            const std::string name = entry.path().filename().string();
            if (name == "a" || name == "b") {
                link = name;
                break;
            }
        }
        paths.push_back(paths.back() + "/" + link);
    }
    return paths;
}

/// The unprivileged user and group that checks run as.
constexpr uid_t kNobody = 65534;
constexpr gid_t kNogroup = 65534;

/// Runs `check` in a child process (after `prepare` there, when given) and returns its result
/// (0..124; 125 when the child died of a signal); nullopt when `prepare` failed or fork did.
inline std::optional<int> runInChild(const std::function<int()>& check,
                                     const std::function<bool()>& prepare = nullptr) {
    pid_t pid = fork();
    if (pid < 0) return std::nullopt;
    if (pid == 0) {
        if (prepare && !prepare()) _exit(126);
        _exit(check() % 125);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return std::nullopt;
    }
    if (!WIFEXITED(status)) return 125;
    if (WEXITSTATUS(status) == 126) return std::nullopt;
    return WEXITSTATUS(status);
}

/// Runs `check` as by runInChild, as user and group 65534 when this process is root (else as
/// the current user); nullopt when the identity could not be dropped, so that callers can skip.
inline std::optional<int> runUnprivileged(const std::function<int()>& check) {
    return runInChild(check, [] {
        if (geteuid() != 0) return true;
        return setgroups(0, nullptr) == 0 && setresgid(kNogroup, kNogroup, kNogroup) == 0 &&
               setresuid(kNobody, kNobody, kNobody) == 0;
    });
}

/// Runs `compute` as by runUnprivileged and hands its result (a trivially copyable value) back
/// through a pipe: nullopt when the identity could not be dropped, an empty inner value when the
/// child did not report one.
template <class T>
std::optional<std::optional<T>> computeUnprivileged(const std::function<T()>& compute) {
    int pipefd[2];
    if (pipe(pipefd) != 0) return std::optional<T>();
    auto result = runUnprivileged([&] {
        T value = compute();
        return write(pipefd[1], &value, sizeof value) == static_cast<ssize_t>(sizeof value) ? 0 : 1;
    });
    close(pipefd[1]);
    T value{};
    const ssize_t got = read(pipefd[0], &value, sizeof value);
    close(pipefd[0]);
    if (!result) return std::nullopt;
    if (*result != 0 || got != static_cast<ssize_t>(sizeof value)) return std::optional<T>();
    return std::optional<T>(value);
}

/// The uid that runUnprivileged checks run as.
inline uid_t unprivilegedUid() {
    return geteuid() == 0 ? kNobody : geteuid();
}

}  // namespace fixtures
