#pragma once
// The messages between the application and its privileged helper, on a local stream socket.
// Every message is a frame: a 32-bit length (of what follows), a 32-bit type, then the payload
// of 32- and 64-bit numbers and length-prefixed byte strings, in the machine's byte order (both
// ends run on the same machine). The helper knows one request: remove one recorded entry
// (FileEntryRecord.h). Descriptors that arrive with a frame are closed unread.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/FileEntryRecord.h"

namespace platform::detail::helper {

/// Largest frame either side accepts; a longer length is a protocol error.
inline constexpr std::uint32_t kMaxFrameLength = 1u << 20;
inline constexpr std::uint32_t kProtocolVersion = 2;

enum MessageType : std::uint32_t {
    kReady = 1,    ///< helper -> application, first message: version
    kRemove = 6,   ///< application -> helper: id, then the record (encodeRemove)
    kRemoved = 7,  ///< helper -> application: id, EntryRemovalStatus, errno
    kRefused = 8,  ///< helper -> application: id (0 when unreadable), errno; nothing was done
};

/// Builds a payload.
class PayloadWriter {
  public:
    PayloadWriter& u32(std::uint32_t v);
    PayloadWriter& i32(std::int32_t v);
    PayloadWriter& u64(std::uint64_t v);
    /// A 32-bit length, then the bytes.
    PayloadWriter& bytes(std::string_view s);
    const std::string& data() const { return data_; }

  private:
    std::string data_;
};

/// Reads a payload; every read fails (nullopt) once the payload is too short.
class PayloadReader {
  public:
    explicit PayloadReader(std::string_view data) : data_(data) {}
    std::optional<std::uint32_t> u32();
    std::optional<std::int32_t> i32();
    std::optional<std::uint64_t> u64();
    std::optional<std::string> bytes();
    bool atEnd() const { return data_.empty(); }

  private:
    std::string_view data_;
};

struct Message {
    std::uint32_t type = 0;
    std::string payload;
};

/// Writes one frame, with `descriptor` attached when it is >= 0; false when the peer is gone.
/// Never raises SIGPIPE.
bool sendMessage(int socket, std::uint32_t type, std::string_view payload, int descriptor = -1);

enum class ReceiveResult { kMessage, kEnd, kMalformed };
/// Reads one frame. Descriptors that arrive with it are appended to `descriptors` (close-on-exec)
/// or closed when it is null. kEnd: the peer closed between frames; kMalformed: a cut or
/// oversized frame or a read error.
ReceiveResult receiveMessage(int socket, Message* message, std::vector<int>* descriptors);

/// The payload of kRemove.
std::string encodeRemove(std::uint32_t id, const FileEntryRecord& record);
/// Decodes a kRemove payload; false unless it is complete and nothing follows. The record is
/// not checked here (RecordedEntry::open refuses a malformed one).
bool decodeRemove(std::string_view payload, std::uint32_t* id, FileEntryRecord* record);

}  // namespace platform::detail::helper
