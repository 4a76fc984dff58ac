#pragma once
// The messages between the application and its privileged helper, on a local stream socket.
// Every message is a frame: a 32-bit length (of what follows), a 32-bit type, then the payload
// of 32-bit numbers and length-prefixed byte strings, in the machine's byte order (both ends
// run on the same machine). A request to run a tool carries the descriptor the tool writes its
// output to, passed with the frame (SCM_RIGHTS), so the tool's output never flows through the
// helper.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::detail::helper {

/// Largest frame either side accepts; a longer length is a protocol error.
inline constexpr std::uint32_t kMaxFrameLength = 1u << 20;
inline constexpr std::uint32_t kProtocolVersion = 1;

enum MessageType : std::uint32_t {
    kReady = 1,    ///< helper -> application, first message: version
    kExecute = 2,  ///< application -> helper: id, flags, tool path and arguments; one descriptor
    kStarted = 3,  ///< helper -> application: id, pid of the tool
    kFailed = 4,   ///< helper -> application: id, errno of the refusal or failed exec
    kExited = 5,   ///< helper -> application: pid, wait status
};

/// Execute flag: the passed descriptor is the tool's standard input too (else /dev/null).
inline constexpr std::uint32_t kExecuteInputFromDescriptor = 1;

/// Builds a payload.
class PayloadWriter {
  public:
    PayloadWriter& u32(std::uint32_t v);
    PayloadWriter& i32(std::int32_t v);
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

/// The payload of kExecute; `argv[0]` is the tool path.
std::string encodeExecute(std::uint32_t id, std::uint32_t flags,
                          const std::vector<std::string>& argv);
/// Decodes a kExecute payload; false unless it is complete, has at least the tool path and no
/// string holds a NUL byte.
bool decodeExecute(std::string_view payload, std::uint32_t* id, std::uint32_t* flags,
                   std::vector<std::string>* argv);

}  // namespace platform::detail::helper
