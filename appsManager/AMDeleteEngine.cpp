#include "appsManager/AMDeleteEngine.h"

#include <sys/stat.h>

#include <cerrno>
#include <memory>

#include "platform/foundation/EntryRemoval.h"
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

bool AMDeleteEngine::removeEntry(const std::string& path,
                                 const std::optional<platform::FileEntryRecord>& record,
                                 const Report& report) {
    using platform::EntryRemovalStatus;
    if (!record || !record->isWellFormed()) {
        // Made some other way than by discovery: what the path names now was never reviewed.
        if (isGone(path)) {
            report(true);
            return true;
        }
        NSLog("No record of the entry found, left alone: %@", path);
        report(false);
        return false;
    }
    std::unique_ptr<platform::RecordedEntry> entry;
    platform::EntryRemoval found = platform::RecordedEntry::open(*record, &entry);
    // Nothing left to remove: no need to ask for a password for nothing.
    if (found.status == EntryRemovalStatus::kGone) {
        report(true);
        return true;
    }
    auto changed = [&] {
        NSLog("Not the entry that was found, left alone: %@", path);
        report(false);
        return false;
    };
    if (found.status == EntryRemovalStatus::kChanged) return changed();
    if (entry) {
        // Only the owner can change a mode: the group and other bits would give it nothing.
        if (!entry->isDeletable()) entry->grantOwnerAccess();
        platform::EntryRemoval plain = entry->remove();
        if (plain.succeeded()) {
            entry->restoreMode();  // the object may live on through another hard link
            report(true);
            return true;
        }
        if (plain.status == EntryRemovalStatus::kChanged) {
            entry->restoreMode();
            return changed();
        }
    }
    // The entry (or its parent) is held open meanwhile: the mode is put back on that object.
    auto restoreMode = [&] {
        if (entry) entry->restoreMode();
    };
    if (!allocAuthorization()) {
        NSLog("Alloc authorization failed!!!");
        restoreMode();
        report(false);
        return false;
    }
    if (authDeleteAtPath(*record)) {
        restoreMode();
        report(true);
        return true;
    }
    restoreMode();
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

bool AMDeleteEngine::authDeleteAtPath(const platform::FileEntryRecord& record) {
    if (!record.isWellFormed()) return false;
    AuthorizationRef fresh = authorizationRef();
    platform::EntryRemoval outcome;
    OSStatus status = AuthorizationRemoveEntryWithPrivileges(fresh, record, &outcome);
    if (fresh != nullptr) AuthorizationFree(fresh, kAuthorizationFlagDefaults);
    return status == errAuthorizationSuccess && outcome.succeeded();
}
