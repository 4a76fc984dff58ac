#include "platform/security/Authorization.h"

#include <sys/random.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/security/HelperSession.h"

namespace {

using platform::detail::HelperSession;
using Token = std::array<unsigned char, kAuthorizationExternalFormLength>;

constexpr const char* kDefaultEscalationCommand = "/usr/bin/pkexec";
constexpr const char* kEscalationVariable = "UNINSTALLER_ESCALATION_COMMAND";

/// What the references made from one AuthorizationCreate share: the token of its external
/// form and, once rights were obtained without being root, the helper that holds them.
class AuthorizationState {
  public:
    explicit AuthorizationState(const Token& token) : token_(token) {}
    ~AuthorizationState();

    const Token& token() const { return token_; }

    /// Makes sure a live helper holds the rights, starting one if `flags` allow it.
    OSStatus acquire(AuthorizationFlags flags);
    std::shared_ptr<HelperSession> session() const {
        std::lock_guard lock(mutex_);
        return session_;
    }
    /// Whether rights were obtained through a helper that has since gone.
    bool lostHelper() const {
        std::lock_guard lock(mutex_);
        return session_ && !session_->alive();
    }
    /// Ends the helper now, if there is one.
    void endSession();

  private:
    const Token token_;
    std::mutex acquireMutex_;  // one helper start at a time; held while one ends
    mutable std::mutex mutex_;
    std::shared_ptr<HelperSession> session_;
};

struct Registry {
    std::mutex mutex;
    std::unordered_map<std::uintptr_t, std::shared_ptr<AuthorizationState>> references;
    std::map<Token, std::weak_ptr<AuthorizationState>> forms;
    std::uintptr_t nextReference = 1;
    std::optional<std::string> escalationCommand;
    std::optional<std::string> helperPath;
    std::optional<bool> root;
};

Registry& registry() {
    // Never destroyed: authorizations may be freed from threads that outlive static objects.
    static Registry* r = new Registry;
    return *r;
}

bool runsAsRoot() {
    Registry& r = registry();
    {
        std::lock_guard lock(r.mutex);
        if (r.root) return *r.root;
    }
    return ::geteuid() == 0;
}

/// The escalation program as a path that execv takes (a bare name is looked up in PATH).
std::string escalationCommand() {
    std::string command;
    {
        Registry& r = registry();
        std::lock_guard lock(r.mutex);
        if (r.escalationCommand) command = *r.escalationCommand;
    }
    if (command.empty()) {
        const char* fromEnvironment = std::getenv(kEscalationVariable);
        command = fromEnvironment && *fromEnvironment ? fromEnvironment : kDefaultEscalationCommand;
    }
    if (command.find('/') != std::string::npos) return command;
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    for (std::size_t start = 0; start <= folders.size();) {
        std::size_t stop = folders.find(':', start);
        if (stop == std::string::npos) stop = folders.size();
        std::string folder = folders.substr(start, stop - start);
        std::string candidate = (folder.empty() ? "." : folder) + "/" + command;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
        start = stop + 1;
    }
    return command;  // execv fails on it, and says so
}

bool helperExecutable(std::string* path) {
    {
        Registry& r = registry();
        std::lock_guard lock(r.mutex);
        if (r.helperPath) {
            *path = *r.helperPath;
            return true;
        }
    }
    // Resolved here: given to pkexec as is, /proc/self/exe would name pkexec itself.
    char buffer[4096];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buffer) return false;
    path->assign(buffer, static_cast<std::size_t>(n));
    return true;
}

AuthorizationState::~AuthorizationState() {
    endSession();
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    auto it = r.forms.find(token_);
    if (it != r.forms.end() && it->second.expired()) r.forms.erase(it);
}

OSStatus AuthorizationState::acquire(AuthorizationFlags flags) {
    std::lock_guard serial(acquireMutex_);
    std::shared_ptr<HelperSession> gone;
    {
        std::lock_guard lock(mutex_);
        if (session_ && session_->alive()) return errAuthorizationSuccess;
        gone = std::move(session_);
    }
    if (gone) gone->end();  // reaps a helper that died
    if (!(flags & kAuthorizationFlagExtendRights)) return errAuthorizationDenied;
    if (!(flags & kAuthorizationFlagInteractionAllowed))
        return errAuthorizationInteractionNotAllowed;
    std::string helper;
    if (!helperExecutable(&helper)) return errAuthorizationInternal;
    std::shared_ptr<HelperSession> started;
    OSStatus status = HelperSession::start(escalationCommand(), helper, &started);
    if (status == errAuthorizationSuccess) {
        std::lock_guard lock(mutex_);
        session_ = std::move(started);
    }
    return status;
}

void AuthorizationState::endSession() {
    std::lock_guard serial(acquireMutex_);
    std::shared_ptr<HelperSession> ending;
    {
        std::lock_guard lock(mutex_);
        ending = std::move(session_);
    }
    if (ending) ending->end();
}

AuthorizationRef toReference(std::uintptr_t id) {
    return reinterpret_cast<AuthorizationRef>(id);
}

std::shared_ptr<AuthorizationState> lookUp(AuthorizationRef authorization) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    auto it = r.references.find(reinterpret_cast<std::uintptr_t>(authorization));
    return it == r.references.end() ? nullptr : it->second;
}

AuthorizationRef addReference(std::shared_ptr<AuthorizationState> state) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    std::uintptr_t id = r.nextReference++;
    r.forms.try_emplace(state->token(), state);
    r.references.emplace(id, std::move(state));
    return toReference(id);
}

bool randomToken(Token* token) {
    std::size_t got = 0;
    while (got < token->size()) {
        ssize_t n = ::getrandom(token->data() + got, token->size() - got, 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        got += static_cast<std::size_t>(n);
    }
    return true;
}

AuthorizationRights* copyItems(const std::vector<const AuthorizationItem*>& items) {
    auto* set = static_cast<AuthorizationRights*>(std::calloc(1, sizeof(AuthorizationRights)));
    if (!set) return nullptr;
    set->items = static_cast<AuthorizationItem*>(
        std::calloc(items.empty() ? 1 : items.size(), sizeof(AuthorizationItem)));
    if (!set->items) {
        std::free(set);
        return nullptr;
    }
    for (const AuthorizationItem* item : items) {
        AuthorizationItem& copy = set->items[set->count++];
        copy.name = ::strdup(item->name);
        copy.flags = item->flags;
        if (item->value && item->valueLength) {
            copy.value = std::malloc(item->valueLength);
            std::memcpy(copy.value, item->value, item->valueLength);
            copy.valueLength = item->valueLength;
        }
    }
    return set;
}

OSStatus removeEntry(AuthorizationRef authorization, const platform::FileEntryRecord& record,
                     platform::EntryRemoval* outcome) {
    if (!outcome) return errAuthorizationInvalidPointer;
    std::shared_ptr<AuthorizationState> state = lookUp(authorization);
    if (!state) return errAuthorizationInvalidRef;
    // Refused before anyone is asked for a password; the helper would refuse it too.
    if (!record.isWellFormed()) return errAuthorizationToolExecuteFailure;
    if (runsAsRoot()) {
        *outcome = platform::removeRecordedEntry(record);
        return errAuthorizationSuccess;
    }
    OSStatus status =
        state->acquire(kAuthorizationFlagInteractionAllowed | kAuthorizationFlagExtendRights);
    if (status != errAuthorizationSuccess) return status;
    std::shared_ptr<HelperSession> session = state->session();
    return session ? session->remove(record, outcome) : errAuthorizationToolEnvironmentError;
}

}  // namespace

OSStatus AuthorizationCreate(const AuthorizationRights* rights,
                             const AuthorizationEnvironment* environment, AuthorizationFlags flags,
                             AuthorizationRef* authorization) {
    bool withRights = rights && rights->count > 0;
    if (!authorization) {
        if (!withRights) return errAuthorizationSuccess;
        AuthorizationRef checking = nullptr;
        OSStatus status = AuthorizationCreate(rights, environment, flags, &checking);
        if (checking) AuthorizationFree(checking, kAuthorizationFlagDefaults);
        return status;
    }
    *authorization = nullptr;
    Token token;
    if (!randomToken(&token)) return errAuthorizationInternal;
    AuthorizationRef made = addReference(std::make_shared<AuthorizationState>(token));
    if (withRights) {
        OSStatus status = AuthorizationCopyRights(made, rights, environment, flags, nullptr);
        if (status != errAuthorizationSuccess) {
            AuthorizationFree(made, kAuthorizationFlagDefaults);
            return status;
        }
    }
    *authorization = made;
    return errAuthorizationSuccess;
}

OSStatus AuthorizationFree(AuthorizationRef authorization, AuthorizationFlags flags) {
    std::shared_ptr<AuthorizationState> state;
    {
        Registry& r = registry();
        std::lock_guard lock(r.mutex);
        auto it = r.references.find(reinterpret_cast<std::uintptr_t>(authorization));
        if (it == r.references.end()) return errAuthorizationInvalidRef;
        state = std::move(it->second);
        r.references.erase(it);
    }
    if (flags & kAuthorizationFlagDestroyRights) state->endSession();
    state.reset();  // the last reference ends the helper
    return errAuthorizationSuccess;
}

OSStatus AuthorizationCopyRights(AuthorizationRef authorization, const AuthorizationRights* rights,
                                 const AuthorizationEnvironment*, AuthorizationFlags flags,
                                 AuthorizationRights** authorizedRights) {
    if (authorizedRights) *authorizedRights = nullptr;
    std::shared_ptr<AuthorizationState> state = lookUp(authorization);
    if (!state) return errAuthorizationInvalidRef;
    if (!rights || (rights->count > 0 && !rights->items)) return errAuthorizationInvalidSet;
    std::vector<const AuthorizationItem*> granted;
    for (std::uint32_t i = 0; i < rights->count; ++i) {
        const AuthorizationItem& item = rights->items[i];
        if (!item.name) return errAuthorizationInvalidSet;
        if (std::strcmp(item.name, kAuthorizationRightExecute) == 0)
            granted.push_back(&item);
        else if (!(flags & kAuthorizationFlagPartialRights))
            return errAuthorizationDenied;
    }
    if (!granted.empty() && !runsAsRoot()) {
        OSStatus status = state->acquire(flags);
        if (status != errAuthorizationSuccess) return status;
    }
    if (authorizedRights) {
        *authorizedRights = copyItems(granted);
        if (!*authorizedRights) return errAuthorizationInternal;
    }
    return errAuthorizationSuccess;
}

OSStatus AuthorizationFreeItemSet(AuthorizationItemSet* set) {
    if (!set) return errAuthorizationInvalidSet;
    for (std::uint32_t i = 0; i < set->count; ++i) {
        std::free(const_cast<char*>(set->items[i].name));
        std::free(set->items[i].value);
    }
    std::free(set->items);
    std::free(set);
    return errAuthorizationSuccess;
}

OSStatus AuthorizationMakeExternalForm(AuthorizationRef authorization,
                                       AuthorizationExternalForm* externalForm) {
    std::shared_ptr<AuthorizationState> state = lookUp(authorization);
    if (!state) return errAuthorizationInvalidRef;
    if (!externalForm) return errAuthorizationInvalidPointer;
    std::memcpy(externalForm->bytes, state->token().data(), kAuthorizationExternalFormLength);
    return errAuthorizationSuccess;
}

OSStatus AuthorizationCreateFromExternalForm(const AuthorizationExternalForm* externalForm,
                                             AuthorizationRef* authorization) {
    if (!externalForm || !authorization) return errAuthorizationInvalidPointer;
    *authorization = nullptr;
    Token token;
    std::memcpy(token.data(), externalForm->bytes, token.size());
    std::shared_ptr<AuthorizationState> state;
    {
        Registry& r = registry();
        std::lock_guard lock(r.mutex);
        auto it = r.forms.find(token);
        if (it != r.forms.end()) state = it->second.lock();
    }
    // Dropped (if need be, destroyed) outside the registry's lock.
    if (!state || state->lostHelper()) return errAuthorizationInvalidRef;
    *authorization = addReference(std::move(state));
    return errAuthorizationSuccess;
}

OSStatus AuthorizationRightGet(const char* rightName, void* rightDefinition) {
    if (!rightName) return errAuthorizationInvalidSet;
    if (std::strcmp(rightName, kAuthorizationRightExecute) != 0) return errAuthorizationDenied;
    if (rightDefinition) return errAuthorizationInvalidPointer;
    return errAuthorizationSuccess;
}

OSStatus AuthorizationRemoveEntryWithPrivileges(AuthorizationRef authorization,
                                                const platform::FileEntryRecord& record,
                                                platform::EntryRemoval* outcome) {
    return removeEntry(authorization, record, outcome);
}

namespace platform {

void setEscalationCommand(std::optional<std::string> program) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.escalationCommand = std::move(program);
}

void setPrivilegedHelperPath(std::optional<std::string> path) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.helperPath = std::move(path);
}

void setRunsAsRootForTesting(std::optional<bool> root) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.root = root;
}

}  // namespace platform
