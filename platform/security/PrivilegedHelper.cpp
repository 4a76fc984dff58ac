#include "platform/security/PrivilegedHelper.h"

#include <signal.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/foundation/EntryRemoval.h"
#include "platform/security/HelperProtocol.h"

// The helper runs as root: it trusts nothing of a request but its shape, and what it does with
// one is fixed (the recorded entry is found again and checked by RecordedEntry). It must not
// depend on other static state of the platform either, since some executables enter it very
// early.

namespace platform {

namespace detail {

namespace {

namespace hp = helper;

/// Handles one frame; false once the application has gone (or the framing broke).
bool serveOneRequest(int channel) {
    hp::Message m;
    // Descriptors sent along are closed unread: the helper works on nothing it is handed.
    hp::ReceiveResult r = hp::receiveMessage(channel, &m, nullptr);
    if (r != hp::ReceiveResult::kMessage) return false;
    std::uint32_t id = 0;
    FileEntryRecord record;
    if (m.type != hp::kRemove || !hp::decodeRemove(m.payload, &id, &record)) {
        // Any other request, or a removal that is not well formed: answered, not obeyed.
        std::uint32_t asked = hp::PayloadReader(m.payload).u32().value_or(0);
        int error = m.type == hp::kRemove ? EINVAL : EPERM;
        return hp::sendMessage(channel, hp::kRefused,
                               hp::PayloadWriter().u32(asked).i32(error).data());
    }
    EntryRemoval done = removeRecordedEntry(record);
    return hp::sendMessage(channel, hp::kRemoved,
                           hp::PayloadWriter()
                               .u32(id)
                               .u32(static_cast<std::uint32_t>(done.status))
                               .i32(done.error)
                               .data());
}

}  // namespace

int runPrivilegedHelper(int channel) {
    struct stat st {};
    if (::fstat(channel, &st) != 0 || !S_ISSOCK(st.st_mode)) {
        std::fprintf(stderr, "privileged helper: standard input is not the application\n");
        return 2;
    }
    ::signal(SIGPIPE, SIG_IGN);
    if (!hp::sendMessage(channel, hp::kReady, hp::PayloadWriter().u32(hp::kProtocolVersion).data()))
        return 2;
    while (serveOneRequest(channel)) {
    }
    return 0;
}

}  // namespace detail

std::optional<int> runPrivilegedHelperIfRequested(int argc, char** argv) {
    if (argc != 2 || !argv[1] || std::strcmp(argv[1], kPrivilegedHelperArgument) != 0)
        return std::nullopt;
    return detail::runPrivilegedHelper(0);
}

}  // namespace platform
