#include "platform/security/HelperProtocol.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform::detail::helper {

PayloadWriter& PayloadWriter::u32(std::uint32_t v) {
    data_.append(reinterpret_cast<const char*>(&v), sizeof v);
    return *this;
}

PayloadWriter& PayloadWriter::i32(std::int32_t v) {
    data_.append(reinterpret_cast<const char*>(&v), sizeof v);
    return *this;
}

PayloadWriter& PayloadWriter::u64(std::uint64_t v) {
    data_.append(reinterpret_cast<const char*>(&v), sizeof v);
    return *this;
}

PayloadWriter& PayloadWriter::bytes(std::string_view s) {
    u32(static_cast<std::uint32_t>(s.size()));
    data_.append(s);
    return *this;
}

std::optional<std::uint32_t> PayloadReader::u32() {
    std::uint32_t v;
    if (data_.size() < sizeof v) return std::nullopt;
    std::memcpy(&v, data_.data(), sizeof v);
    data_.remove_prefix(sizeof v);
    return v;
}

std::optional<std::int32_t> PayloadReader::i32() {
    auto v = u32();
    if (!v) return std::nullopt;
    return static_cast<std::int32_t>(*v);
}

std::optional<std::uint64_t> PayloadReader::u64() {
    std::uint64_t v;
    if (data_.size() < sizeof v) return std::nullopt;
    std::memcpy(&v, data_.data(), sizeof v);
    data_.remove_prefix(sizeof v);
    return v;
}

std::optional<std::string> PayloadReader::bytes() {
    auto length = u32();
    if (!length || *length > data_.size()) return std::nullopt;
    std::string s(data_.substr(0, *length));
    data_.remove_prefix(*length);
    return s;
}

bool sendMessage(int socket, std::uint32_t type, std::string_view payload, int descriptor) {
    if (payload.size() > kMaxFrameLength - sizeof(std::uint32_t)) return false;
    std::string frame = PayloadWriter()
                            .u32(static_cast<std::uint32_t>(payload.size() + sizeof type))
                            .u32(type)
                            .data();
    frame.append(payload);

    std::size_t sent = 0;
    while (sent < frame.size()) {
        iovec io{frame.data() + sent, frame.size() - sent};
        msghdr header{};
        header.msg_iov = &io;
        header.msg_iovlen = 1;
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))];
        if (descriptor >= 0 && sent == 0) {
            std::memset(control, 0, sizeof control);
            header.msg_control = control;
            header.msg_controllen = sizeof control;
            cmsghdr* c = CMSG_FIRSTHDR(&header);
            c->cmsg_level = SOL_SOCKET;
            c->cmsg_type = SCM_RIGHTS;
            c->cmsg_len = CMSG_LEN(sizeof(int));
            std::memcpy(CMSG_DATA(c), &descriptor, sizeof(int));
        }
        ssize_t n = ::sendmsg(socket, &header, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

namespace {

void takeDescriptors(msghdr& header, std::vector<int>* descriptors) {
    for (cmsghdr* c = CMSG_FIRSTHDR(&header); c; c = CMSG_NXTHDR(&header, c)) {
        if (c->cmsg_level != SOL_SOCKET || c->cmsg_type != SCM_RIGHTS) continue;
        std::size_t count = (c->cmsg_len - CMSG_LEN(0)) / sizeof(int);
        for (std::size_t i = 0; i < count; ++i) {
            int fd;
            std::memcpy(&fd, CMSG_DATA(c) + i * sizeof(int), sizeof fd);
            if (descriptors)
                descriptors->push_back(fd);
            else
                ::close(fd);
        }
    }
}

/// Reads exactly `length` bytes; 0 when the peer closed before the first byte, -1 on a short
/// read or error, 1 when complete.
int receiveExactly(int socket, char* buffer, std::size_t length, std::vector<int>* descriptors) {
    std::size_t got = 0;
    while (got < length) {
        iovec io{buffer + got, length - got};
        msghdr header{};
        header.msg_iov = &io;
        header.msg_iovlen = 1;
        alignas(cmsghdr) char control[CMSG_SPACE(4 * sizeof(int))];
        header.msg_control = control;
        header.msg_controllen = sizeof control;
        ssize_t n = ::recvmsg(socket, &header, MSG_CMSG_CLOEXEC);
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        takeDescriptors(header, descriptors);
        if (n == 0) return got == 0 ? 0 : -1;
        got += static_cast<std::size_t>(n);
    }
    return 1;
}

}  // namespace

ReceiveResult receiveMessage(int socket, Message* message, std::vector<int>* descriptors) {
    char head[2 * sizeof(std::uint32_t)];
    int r = receiveExactly(socket, head, sizeof head, descriptors);
    if (r == 0) return ReceiveResult::kEnd;
    if (r < 0) return ReceiveResult::kMalformed;
    PayloadReader reader(std::string_view(head, sizeof head));
    std::uint32_t length = *reader.u32();
    message->type = *reader.u32();
    if (length < sizeof(std::uint32_t) || length > kMaxFrameLength)
        return ReceiveResult::kMalformed;
    message->payload.assign(length - sizeof(std::uint32_t), '\0');
    if (!message->payload.empty() &&
        receiveExactly(socket, message->payload.data(), message->payload.size(), descriptors) != 1)
        return ReceiveResult::kMalformed;
    return ReceiveResult::kMessage;
}

std::string encodeRemove(std::uint32_t id, const FileEntryRecord& record) {
    return PayloadWriter()
        .u32(id)
        .u64(static_cast<std::uint64_t>(record.device))
        .u64(static_cast<std::uint64_t>(record.inode))
        .u32(static_cast<std::uint32_t>(record.type))
        .bytes(record.parent)
        .bytes(record.name)
        .data();
}

bool decodeRemove(std::string_view payload, std::uint32_t* id, FileEntryRecord* record) {
    PayloadReader r(payload);
    auto i = r.u32();
    auto device = r.u64();
    auto inode = r.u64();
    auto type = r.u32();
    auto parent = r.bytes();
    auto name = r.bytes();
    if (!i || !device || !inode || !type || !parent || !name || !r.atEnd()) return false;
    *id = *i;
    record->device = static_cast<dev_t>(*device);
    record->inode = static_cast<ino_t>(*inode);
    record->type = static_cast<mode_t>(*type);
    record->parent = std::move(*parent);
    record->name = std::move(*name);
    return true;
}

}  // namespace platform::detail::helper
