#pragma once
// Authorization Services: obtaining administrator rights and removing recorded entries with
// them; nothing else is done with the rights.
//
// The layer knows one right, "system.privilege.admin". A process that runs as root holds it
// always and removes entries itself. Any other process obtains it by starting one privileged
// helper per authorization through the escalation command (polkit's pkexec: the user
// authenticates once); removals then happen in that helper, which does nothing else, and
// freeing the authorization ends it. The escalation
// command is UNINSTALLER_ESCALATION_COMMAND when set (a program, no shell), else
// /usr/bin/pkexec; the helper is this executable started again, whose main must therefore call
// platform::runPrivilegedHelperIfRequested first (see PrivilegedHelper.h).
//
// Every function is thread-safe. An external form names an authorization of this process only.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/foundation/EntryRemoval.h"

using OSStatus = std::int32_t;
using AuthorizationFlags = std::uint32_t;

/// An authorization: an opaque handle, valid until AuthorizationFree.
using AuthorizationRef = const struct AuthorizationOpaqueRef*;

inline constexpr AuthorizationFlags kAuthorizationFlagDefaults = 0;
inline constexpr AuthorizationFlags kAuthorizationFlagInteractionAllowed = 1 << 0;
inline constexpr AuthorizationFlags kAuthorizationFlagExtendRights = 1 << 1;
inline constexpr AuthorizationFlags kAuthorizationFlagPartialRights = 1 << 2;
inline constexpr AuthorizationFlags kAuthorizationFlagDestroyRights = 1 << 3;
inline constexpr AuthorizationFlags kAuthorizationFlagPreAuthorize = 1 << 4;

inline constexpr OSStatus errAuthorizationSuccess = 0;
inline constexpr OSStatus errAuthorizationInvalidSet = -60001;
inline constexpr OSStatus errAuthorizationInvalidRef = -60002;
inline constexpr OSStatus errAuthorizationInvalidPointer = -60004;
inline constexpr OSStatus errAuthorizationDenied = -60005;
inline constexpr OSStatus errAuthorizationCanceled = -60006;
inline constexpr OSStatus errAuthorizationInteractionNotAllowed = -60007;
inline constexpr OSStatus errAuthorizationInternal = -60008;
inline constexpr OSStatus errAuthorizationToolExecuteFailure = -60031;
inline constexpr OSStatus errAuthorizationToolEnvironmentError = -60032;

/// The right to run tools as administrator.
inline constexpr const char* kAuthorizationRightExecute = "system.privilege.admin";

/// One right (or environment entry): its name and an optional value.
struct AuthorizationItem {
    const char* name;
    std::size_t valueLength;
    void* value;
    std::uint32_t flags;
};

struct AuthorizationItemSet {
    std::uint32_t count;
    AuthorizationItem* items;
};
using AuthorizationRights = AuthorizationItemSet;
using AuthorizationEnvironment = AuthorizationItemSet;

inline constexpr std::size_t kAuthorizationExternalFormLength = 32;
/// An authorization as bytes, to make another reference to it later (in this process).
struct AuthorizationExternalForm {
    char bytes[kAuthorizationExternalFormLength];
};

/// Makes an authorization holding no rights, then copies `rights` into it with `flags` when
/// given (see AuthorizationCopyRights). A null `authorization` only checks the rights.
OSStatus AuthorizationCreate(const AuthorizationRights* rights,
                             const AuthorizationEnvironment* environment, AuthorizationFlags flags,
                             AuthorizationRef* authorization);

/// Releases a reference. The rights end with the last reference to them (then the helper
/// answers what it was asked and exits; this returns once it has), or at once for every reference
/// with kAuthorizationFlagDestroyRights. errAuthorizationInvalidRef for an unknown reference.
OSStatus AuthorizationFree(AuthorizationRef authorization, AuthorizationFlags flags);

/// Obtains `rights` for `authorization`. Rights already held (or held by root) are granted at
/// once. Otherwise: without kAuthorizationFlagExtendRights errAuthorizationDenied, without
/// kAuthorizationFlagInteractionAllowed errAuthorizationInteractionNotAllowed; else the helper
/// is started, which asks the user: errAuthorizationCanceled when dismissed,
/// errAuthorizationDenied when refused or when no authentication is available. An unknown right
/// is denied (left out with kAuthorizationFlagPartialRights). `authorizedRights`, when given,
/// receives the granted set (free it with AuthorizationFreeItemSet). `environment` is ignored.
OSStatus AuthorizationCopyRights(AuthorizationRef authorization, const AuthorizationRights* rights,
                                 const AuthorizationEnvironment* environment,
                                 AuthorizationFlags flags, AuthorizationRights** authorizedRights);

/// Frees a set returned by AuthorizationCopyRights.
OSStatus AuthorizationFreeItemSet(AuthorizationItemSet* set);

/// The external form of `authorization`: a random token, valid while the authorization lives.
OSStatus AuthorizationMakeExternalForm(AuthorizationRef authorization,
                                       AuthorizationExternalForm* externalForm);

/// A new reference to the authorization named by `externalForm`, sharing its rights.
/// errAuthorizationInvalidRef when that authorization was freed, its helper has gone, or the
/// form is not one of this process.
OSStatus AuthorizationCreateFromExternalForm(const AuthorizationExternalForm* externalForm,
                                             AuthorizationRef* authorization);

/// Whether the rights database has `rightName` (errAuthorizationDenied if not). Definitions are
/// not published: `rightDefinition` must be null.
OSStatus AuthorizationRightGet(const char* rightName, void* rightDefinition);

/// Removes the entry of `record` as administrator, obtaining the right first if needed
/// (interaction allowed): a process that runs as root removes it itself, any other asks its
/// helper. The entry is found again beneath its recorded parent without following a link and
/// removed only while it is the recorded object (EntryRemoval.h); `outcome` (not null) tells
/// how that went. errAuthorizationToolEnvironmentError when the helper is gone,
/// errAuthorizationToolExecuteFailure when it refused the request (a malformed record).
OSStatus AuthorizationRemoveEntryWithPrivileges(AuthorizationRef authorization,
                                                const platform::FileEntryRecord& record,
                                                platform::EntryRemoval* outcome);

namespace platform {

/// Uses `program` as the escalation command in place of UNINSTALLER_ESCALATION_COMMAND and
/// pkexec (tests install a recording fake); nullopt restores the default.
void setEscalationCommand(std::optional<std::string> program);
/// Uses `path` as the helper executable in place of this executable; nullopt restores it.
void setPrivilegedHelperPath(std::optional<std::string> path);
/// Decides whether the process counts as root in place of geteuid() == 0 (tests); nullopt
/// restores the real check.
void setRunsAsRootForTesting(std::optional<bool> root);

}  // namespace platform
