#include "appsManager/AMDeleteEngine.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "platform/foundation/NSFileManager.h"
#include "platform/foundation/NSLog.h"

namespace {

AuthorizationItem adminItem() {
    return AuthorizationItem{kAuthorizationRightExecute, 0, nullptr, 0};
}

/// Whether nothing is at `path` any more (a dangling link still counts as something).
bool isGone(const std::string& path) {
    if (path.find('\0') != std::string::npos) return false;
    struct stat st {};
    return ::lstat(path.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR);
}

}  // namespace

AMDeleteEngine::~AMDeleteEngine() {
    freeAuthorization();
}

bool AMDeleteEngine::removePath(const std::string& path, const Report& report) {
    // Nothing left to remove: no need to ask for a password to run a tool that does nothing.
    if (isGone(path)) {
        report(true);
        return true;
    }
    auto fileManager = NSFileManager::defaultManager();
    std::optional<unsigned> previousPermissions;
    if (!fileManager->isDeletableFileAtPath(path)) {
        auto before = fileManager->attributesOfItemAtPath(path);
        FileAttributeChanges open;
        open.posixPermissions = 0777;
        if (fileManager->setAttributes(open, path) && before)
            previousPermissions = before->posixPermissions;
    }
    // An item that survives must not stay world-writable.
    auto restorePermissions = [&] {
        if (!previousPermissions || isGone(path)) return;
        FileAttributeChanges back;
        back.posixPermissions = *previousPermissions;
        fileManager->setAttributes(back, path);
    };

    if (fileManager->removeItemAtPath(path)) {
        report(true);
        return true;
    }
    if (!allocAuthorization()) {
        NSLog("Alloc authorization failed!!!");
        restorePermissions();
        report(false);
        return false;
    }
    if (authDeleteAtPath(path)) {
        restorePermissions();
        report(true);
        return true;
    }
    restorePermissions();
    report(false);
    NSLog("Clean file by authorization failed: %@", path);
    return false;
}

bool AMDeleteEngine::allocAuthorization() {
    if (isValidAuth_) return true;
    isValidAuth_ = true;
    OSStatus status =
        AuthorizationCreate(nullptr, nullptr, kAuthorizationFlagDefaults, &authorizationRef_);
    if (status != errAuthorizationSuccess) {
        NSLog("Error Creating Initial Authorization: %d", status);
        freeAuthorization();
        return false;
    }
    AuthorizationItem item = adminItem();
    AuthorizationRights rights{1, &item};
    status =
        AuthorizationCopyRights(authorizationRef_, &rights, nullptr,
                                kAuthorizationFlagInteractionAllowed |
                                    kAuthorizationFlagExtendRights | kAuthorizationFlagPreAuthorize,
                                nullptr);
    if (status != errAuthorizationSuccess) {
        NSLog("Copy Rights Unsuccessful: %d", status);
        freeAuthorization();
        return false;
    }
    status = AuthorizationMakeExternalForm(authorizationRef_, &authForm_);
    if (status != errAuthorizationSuccess) {
        NSLog("Make ExternalForm Unsuccessful: %d", status);
        freeAuthorization();
        return false;
    }
    return true;
}

void AMDeleteEngine::freeAuthorization() {
    if (!isValidAuth_) return;
    OSStatus status = AuthorizationFree(authorizationRef_, kAuthorizationFlagDefaults);
    if (status != errAuthorizationSuccess) NSLog("Free authorization failed: %d", status);
    isValidAuth_ = false;
    authorizationRef_ = nullptr;
}

AuthorizationRef AMDeleteEngine::authorizationRef() {
    if (!isValidAuth_) return nullptr;
    AuthorizationRef fresh = nullptr;
    OSStatus status = AuthorizationCreateFromExternalForm(&authForm_, &fresh);
    if (status != errAuthorizationSuccess) {
        NSLog("Creat authorization failed: %d", status);
        return fresh;
    }
    AuthorizationItem item = adminItem();
    AuthorizationRights rights{1, &item};
    status = AuthorizationCopyRights(
        fresh, &rights, nullptr,
        kAuthorizationFlagInteractionAllowed | kAuthorizationFlagExtendRights, nullptr);
    if (status != errAuthorizationSuccess) {
        NSLog("Copy authorization failed: %d", status);
    } else {
        status = AuthorizationRightGet(kAuthorizationRightExecute, nullptr);
        if (status != errAuthorizationSuccess) NSLog("Get authoriztion failed: %d", status);
    }
    return fresh;
}

bool AMDeleteEngine::authDeleteAtPath(const std::string& path) {
    // The tool takes the path as an argument: a relative one would name something relative to
    // the helper's folder, and one starting with "-" would read as options.
    if (path.empty() || path.front() != '/' || path.find('\0') != std::string::npos) return false;
    AuthorizationRef fresh = authorizationRef();
    std::string force = "-rf";
    std::string target = path;
    char* arguments[] = {force.data(), target.data(), nullptr};
    FILE* pipe = nullptr;
    pid_t pid = -1;
    OSStatus status = AuthorizationExecuteWithPrivilegesAndPid(
        fresh, "/bin/rm", kAuthorizationFlagDefaults, arguments, &pipe, &pid);
    if (fresh != nullptr) AuthorizationFree(fresh, kAuthorizationFlagDefaults);
    if (status != errAuthorizationSuccess) {
        if (pipe != nullptr) std::fclose(pipe);
        return false;
    }
    ssize_t printed = 0;
    if (pipe != nullptr) {
        char buffer[128];
        do {
            printed = ::read(fileno(pipe), buffer, sizeof buffer);
        } while (printed < 0 && errno == EINTR);
        std::fclose(pipe);
    }
    int waitStatus = 0;
    bool exitedCleanly = AuthorizationWaitForProcess(pid, &waitStatus, 0) == pid &&
                         WIFEXITED(waitStatus) && WEXITSTATUS(waitStatus) == 0;
    return printed <= 0 && exitedCleanly;
}
