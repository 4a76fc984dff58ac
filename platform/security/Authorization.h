#pragma once
// Authorization Services: obtaining administrator rights and running tools with them.
//
// The layer knows one right, "system.privilege.admin". A process that runs as root holds it
// always and runs tools itself. Any other process obtains it by starting one privileged helper
// per authorization through the escalation command (polkit's pkexec: the user authenticates
// once); tools then run in that helper, and freeing the authorization ends it. The escalation
// command is UNINSTALLER_ESCALATION_COMMAND when set (a program, no shell), else
// /usr/bin/pkexec; the helper is this executable started again, whose main must therefore call
// platform::runPrivilegedHelperIfRequested first (see PrivilegedHelper.h).
//
// Every function is thread-safe. An external form names an authorization of this process only.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

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
/// finishes running tools and exits; this returns once it has), or at once for every reference
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

/// Runs the tool at the absolute path `pathToTool` with `arguments` (null-terminated, may be
/// null) as administrator, obtaining the right first if needed (interaction allowed). Without
/// a shell: every argument arrives as its bytes. With `communicationsPipe`, the tool's standard
/// input, output and error are the returned stream (a socket, "r+": read the output, write
/// input, fclose when done); without it, the tool reads nothing and writes to our standard
/// error. The tool's end is collected by the layer. `options` is reserved.
/// errAuthorizationToolExecuteFailure when the tool cannot be run (relative path, missing,
/// not executable), errAuthorizationToolEnvironmentError when the helper is gone.
OSStatus AuthorizationExecuteWithPrivileges(AuthorizationRef authorization, const char* pathToTool,
                                            AuthorizationFlags options, char* const* arguments,
                                            FILE** communicationsPipe);

/// The same, and answers the tool's pid in `processIdentifier` (not null): wait for it with
/// AuthorizationWaitForProcess, not with waitpid (the tool may run in the helper).
OSStatus AuthorizationExecuteWithPrivilegesAndPid(AuthorizationRef authorization,
                                                  const char* pathToTool,
                                                  AuthorizationFlags options,
                                                  char* const* arguments, FILE** communicationsPipe,
                                                  pid_t* processIdentifier);

/// Waits for a tool started by AuthorizationExecuteWithPrivilegesAndPid, and for that tool
/// only, like waitpid(pid, status, options) with options 0 or WNOHANG: answers `pid` once it
/// ended (the status decodes with WIFEXITED, WEXITSTATUS, ...; a tool whose helper vanished
/// reads as killed by SIGKILL), 0 with WNOHANG while it runs, -1 with errno ECHILD for a pid
/// that is not a tool of ours or was already waited for. Never fails with EINTR.
pid_t AuthorizationWaitForProcess(pid_t pid, int* status, int options);

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
