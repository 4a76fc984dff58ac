// Property lists over libplist 2.2. What libplist does not do for us, and how it is handled:
// - it recurses when it reads binary input and when it frees a tree: binary input is checked
//   for depth, cycles, keys and shared-reference blow-up before it is parsed (BinaryShape),
//   and an XML tree found too deep (the XML reader itself does not recurse) is freed on a
//   thread with a stack that fits it;
// - it has one unsigned integer type: a value above INT64_MAX is negative unless its XML form
//   says otherwise, and a large unsigned value is made by parsing its XML form;
// - its date API takes and gives int32 seconds and loses the sign of a fraction: exact dates
//   are read from the node's binary form and made from a binary form.
#include "platform/foundation/PropertyList.h"

#include <fcntl.h>
#include <plist/plist.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/NSURLConnection.h"

namespace {

// --- RAII over libplist ----------------------------------------------------------------------

struct PlistFree {
    void operator()(void* p) const {
        if (p) plist_free(static_cast<plist_t>(p));
    }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

struct MallocFree {
    void operator()(void* p) const { std::free(p); }
};
using CString = std::unique_ptr<char, MallocFree>;

/// A tree's XML or binary form, freed on scope exit.
struct Serialized {
    CString bytes;
    uint32_t length = 0;
};

Serialized toXml(plist_t node) {
    char* out = nullptr;
    uint32_t len = 0;
    plist_to_xml(node, &out, &len);
    return {CString(out), out ? len : 0};
}

Serialized toBin(plist_t node) {
    char* out = nullptr;
    uint32_t len = 0;
    plist_to_bin(node, &out, &len);
    return {CString(out), out ? len : 0};
}

uint64_t readBigEndian(const uint8_t* p, std::size_t n) {
    uint64_t v = 0;
    for (std::size_t i = 0; i < n; ++i)
        v = (v << 8) | p[i];
    return v;
}

constexpr char kBinaryMagic[] = "bplist00";
constexpr std::size_t kMagicLength = 8;
constexpr std::size_t kTrailerLength = 32;

bool isBinary(std::span<const uint8_t> bytes) {
    return bytes.size() >= kMagicLength &&
           std::memcmp(bytes.data(), kBinaryMagic, kMagicLength) == 0;
}

// --- Checking binary input before libplist sees it ------------------------------------------

/// Walks the object graph of a binary property list without recursion and answers whether
/// libplist may parse it: well-formed trailer and offsets, dictionary keys that are strings
/// without NUL, no reference cycle, nesting no deeper than kMaxDepth, and no more than
/// kMaxNodes nodes once shared references are copied (libplist copies an object for every
/// reference to it).
class BinaryShape {
  public:
    static constexpr uint64_t kMaxNodes = 1u << 22;

    explicit BinaryShape(std::span<const uint8_t> bytes) : b_(bytes) {}

    bool acceptable() {
        if (b_.size() < kMagicLength + kTrailerLength) return false;
        const uint8_t* t = b_.data() + b_.size() - kTrailerLength;
        offsetSize_ = t[6];
        refSize_ = t[7];
        objects_ = readBigEndian(t + 8, 8);
        uint64_t top = readBigEndian(t + 16, 8);
        tableOffset_ = readBigEndian(t + 24, 8);
        if (offsetSize_ < 1 || offsetSize_ > 8 || refSize_ < 1 || refSize_ > 8) return false;
        const uint64_t end = b_.size() - kTrailerLength;
        if (objects_ == 0 || top >= objects_ || tableOffset_ < kMagicLength || tableOffset_ > end)
            return false;
        if (objects_ > (end - tableOffset_) / offsetSize_ || objects_ > kMaxNodes) return false;

        state_.assign(objects_, 0);
        depth_.assign(objects_, 0);
        nodes_.assign(objects_, 0);
        return walk(top);
    }

  private:
    struct Frame {
        uint64_t object;
        uint64_t firstRef;  // byte offset of the first reference
        uint64_t refs;      // number of references
        uint64_t next;      // index of the next reference to visit
        uint64_t keys;      // references below this index are dictionary keys
    };

    bool offsetOf(uint64_t object, uint64_t& offset) const {
        offset = readBigEndian(b_.data() + tableOffset_ + object * offsetSize_, offsetSize_);
        return offset >= kMagicLength && offset < tableOffset_;
    }

    /// An ASCII or UTF-16 string within bounds and without NUL: libplist 2.2 takes any
    /// object as a key, and asserts when a key is not a string or holds a NUL.
    bool isKeyString(uint64_t object) const {
        uint64_t off;
        if (!offsetOf(object, off)) return false;
        const uint8_t type = b_[off] >> 4;
        if (type != 0x5 && type != 0x6) return false;
        uint64_t count = b_[off] & 0xF;
        uint64_t pos = off + 1;
        if (count == 0xF && !readCount(pos, count)) return false;
        const uint64_t unit = type == 0x6 ? 2 : 1;
        if (count > (tableOffset_ - pos) / unit) return false;
        for (uint64_t i = 0; i < count; ++i) {
            const uint8_t* c = b_.data() + pos + i * unit;
            if (c[0] == 0 && (unit == 1 || c[1] == 0)) return false;
        }
        return true;
    }

    /// Reads the integer object at `pos` that holds a count, moving `pos` past it.
    bool readCount(uint64_t& pos, uint64_t& count) const {
        if (pos >= tableOffset_) return false;
        const uint8_t im = b_[pos];
        if ((im >> 4) != 0x1 || (im & 0xF) > 3) return false;
        const uint64_t n = 1u << (im & 0xF);
        if (pos + 1 + n > tableOffset_) return false;
        count = readBigEndian(b_.data() + pos + 1, n);
        pos += 1 + n;
        return true;
    }

    /// Reads the container header at `object`; `refs` stays 0 for scalars.
    bool open(uint64_t object, Frame& f) const {
        uint64_t off;
        if (!offsetOf(object, off)) return false;
        f = {object, 0, 0, 0, 0};
        const uint8_t marker = b_[off];
        const uint8_t type = marker >> 4;
        if (type != 0xA && type != 0xC && type != 0xD) return true;
        uint64_t count = marker & 0xF;
        uint64_t pos = off + 1;
        if (count == 0xF && !readCount(pos, count)) return false;
        const uint64_t refs = type == 0xD ? count * 2 : count;
        if (count > tableOffset_ || refs > (tableOffset_ - pos) / refSize_) return false;
        f.firstRef = pos;
        f.refs = refs;
        f.keys = type == 0xD ? count : 0;
        return true;
    }

    bool walk(uint64_t top) {
        std::vector<Frame> stack;
        Frame f;
        if (!open(top, f)) return false;
        state_[top] = 1;
        stack.push_back(f);
        while (!stack.empty()) {
            Frame& cur = stack.back();
            if (cur.next < cur.refs) {
                const uint64_t ref =
                    readBigEndian(b_.data() + cur.firstRef + cur.next * refSize_, refSize_);
                const bool isKey = cur.next < cur.keys;
                ++cur.next;
                if (ref >= objects_) return false;
                if (isKey && !isKeyString(ref)) return false;
                if (state_[ref] == 1) return false;  // a cycle
                if (state_[ref] == 2) continue;
                Frame child;
                if (!open(ref, child)) return false;
                state_[ref] = 1;
                if (stack.size() + 1 > PropertyList::kMaxDepth) return false;
                stack.push_back(child);
                continue;
            }
            // All children are done: this object's depth and expanded size are known.
            uint32_t depth = 0;
            uint64_t nodes = 1;
            for (uint64_t i = 0; i < cur.refs; ++i) {
                const uint64_t ref =
                    readBigEndian(b_.data() + cur.firstRef + i * refSize_, refSize_);
                if (i >= cur.keys) depth = std::max(depth, depth_[ref]);
                nodes += nodes_[ref];
                if (nodes > kMaxNodes) return false;
            }
            depth_[cur.object] = cur.refs ? depth + 1 : 1;
            nodes_[cur.object] = static_cast<uint32_t>(nodes);
            if (depth_[cur.object] > PropertyList::kMaxDepth) return false;
            state_[cur.object] = 2;
            stack.pop_back();
        }
        return true;
    }

    std::span<const uint8_t> b_;
    uint8_t offsetSize_ = 0, refSize_ = 0;
    uint64_t objects_ = 0, tableOffset_ = 0;
    std::vector<uint8_t> state_;  // 0 unseen, 1 on the path, 2 done
    std::vector<uint32_t> depth_, nodes_;
};

/// The key of a dictionary's value node; false when that node has no proper key.
bool keyOf(plist_t value, std::string& key) {
    plist_t keyNode = plist_dict_item_get_key(value);
    if (!keyNode || plist_get_node_type(keyNode) != PLIST_KEY) return false;
    char* k = nullptr;
    plist_get_key_val(keyNode, &k);
    CString owned(k);
    if (!k) return false;
    key = k;
    return true;
}

/// The nesting depth of a libplist tree, found without recursion.
std::size_t treeDepth(plist_t root) {
    struct Frame {
        plist_t node;
        uint32_t next;         // arrays: index of the next child
        plist_dict_iter iter;  // dictionaries
    };
    std::vector<Frame> stack{{root, 0, nullptr}};
    if (plist_get_node_type(root) == PLIST_DICT) plist_dict_new_iter(root, &stack.back().iter);
    std::size_t depth = 1;
    while (!stack.empty()) {
        Frame& f = stack.back();
        plist_t child = nullptr;
        if (plist_get_node_type(f.node) == PLIST_ARRAY) {
            if (f.next < plist_array_get_size(f.node))
                child = plist_array_get_item(f.node, f.next++);
        } else if (f.iter) {
            plist_dict_next_item(f.node, f.iter, nullptr, &child);
        }
        if (!child) {
            std::free(f.iter);
            stack.pop_back();
            continue;
        }
        const plist_type t = plist_get_node_type(child);
        if (t != PLIST_ARRAY && t != PLIST_DICT) continue;
        Frame c{child, 0, nullptr};
        if (t == PLIST_DICT) plist_dict_new_iter(child, &c.iter);
        stack.push_back(c);
        depth = std::max(depth, stack.size());
    }
    return depth;
}

void* freeTree(void* root) {
    plist_free(static_cast<plist_t>(root));
    return nullptr;
}

/// Frees a tree deeper than the stack allows: plist_free recurses (about 32 bytes a level),
/// so it runs on a thread whose stack fits the tree. Only XML trees get here: the XML reader
/// does not recurse, binary trees were checked before parsing. When no such thread can be
/// made, the tree is left unfreed rather than crash.
void freeDeepTree(plist_t root) {
    const std::size_t bytes = treeDepth(root) * 128 + (1u << 20);
    pthread_attr_t attr;
    if (pthread_attr_init(&attr) != 0) return;
    pthread_t thread;
    const bool started = pthread_attr_setstacksize(&attr, bytes) == 0 &&
                         pthread_create(&thread, &attr, freeTree, root) == 0;
    pthread_attr_destroy(&attr);
    if (started) pthread_join(thread, nullptr);
}

// --- libplist -> PlistValue ---------------------------------------------------------------------

/// An integer node whose unsigned value is above INT64_MAX: negative unless libplist marks
/// it unsigned, which only its XML form shows.
bool isNegativeInteger(plist_t node) {
    PlistPtr copy(plist_copy(node));
    if (!copy) return true;
    Serialized xml = toXml(copy.get());
    if (!xml.bytes) return true;
    return std::string_view(xml.bytes.get(), xml.length).find("<integer>-") !=
           std::string_view::npos;
}

/// Seconds since 2001 of a date node, exactly (from its binary form, a big-endian double).
double dateSinceReferenceDate(plist_t node) {
    PlistPtr copy(plist_copy(node));
    if (copy) {
        Serialized bin = toBin(copy.get());
        const auto* p = reinterpret_cast<const uint8_t*>(bin.bytes.get());
        if (p && bin.length >= kMagicLength + 9 + kTrailerLength && p[kMagicLength] == 0x33) {
            uint64_t bits = readBigEndian(p + kMagicLength + 1, 8);
            double d;
            std::memcpy(&d, &bits, sizeof d);
            return d;
        }
    }
    int32_t sec = 0, usec = 0;
    plist_get_date_val(node, &sec, &usec);
    return sec < 0 ? sec - usec / 1e6 : sec + usec / 1e6;
}

std::string stringOf(plist_t node) {
    uint64_t len = 0;
    const char* p = plist_get_string_ptr(node, &len);
    return p ? std::string(p, len) : std::string();
}

/// Converts a libplist tree; false when it is nested deeper than kMaxDepth.
bool fromPlist(plist_t node, std::size_t depth, PlistValue& out) {
    if (depth > PropertyList::kMaxDepth) return false;
    switch (plist_get_node_type(node)) {
        case PLIST_DICT: {
            PlistValue::Dictionary dict;
            plist_dict_iter it = nullptr;
            plist_dict_new_iter(node, &it);
            std::unique_ptr<void, MallocFree> iter(it);
            while (it) {
                // The key is read only once it is known to be a key: libplist 2.2 can build
                // a dictionary from hostile input whose "key" is another node, and asserts.
                plist_t value = nullptr;
                plist_dict_next_item(node, it, nullptr, &value);
                if (!value) break;
                std::string key;
                if (!keyOf(value, key)) return false;
                PlistValue v(false);
                if (!fromPlist(value, depth + 1, v)) return false;
                dict.insert_or_assign(std::move(key), std::move(v));
            }
            out = PlistValue(std::move(dict));
            return true;
        }
        case PLIST_ARRAY: {
            PlistValue::Array array;
            const uint32_t n = plist_array_get_size(node);
            array.reserve(n);
            for (uint32_t i = 0; i < n; ++i) {
                plist_t item = plist_array_get_item(node, i);
                if (!item) continue;
                PlistValue v(false);
                if (!fromPlist(item, depth + 1, v)) return false;
                array.push_back(std::move(v));
            }
            out = PlistValue(std::move(array));
            return true;
        }
        case PLIST_STRING:
        case PLIST_KEY:
            out = PlistValue(stringOf(node));
            return true;
        case PLIST_BOOLEAN: {
            uint8_t b = 0;
            plist_get_bool_val(node, &b);
            out = PlistValue(b != 0);
            return true;
        }
        case PLIST_UINT: {
            uint64_t u = 0;
            plist_get_uint_val(node, &u);
            if (u > static_cast<uint64_t>(INT64_MAX) && isNegativeInteger(node)) {
                out = PlistValue(static_cast<int64_t>(u));
            } else {
                out = PlistValue(u);
            }
            return true;
        }
        case PLIST_REAL: {
            double d = 0;
            plist_get_real_val(node, &d);
            out = PlistValue(d);
            return true;
        }
        case PLIST_DATE:
            out = PlistValue::dateWithTimeIntervalSince1970(dateSinceReferenceDate(node) +
                                                            NSTimeIntervalSince1970);
            return true;
        case PLIST_DATA: {
            uint64_t len = 0;
            const char* p = plist_get_data_ptr(node, &len);
            const auto* u = reinterpret_cast<const uint8_t*>(p);
            out = PlistValue(p ? NSData(u, u + len) : NSData());
            return true;
        }
        case PLIST_UID: {
            // As the platform reads a keyed archive's reference: {"CF$UID" = n}.
            uint64_t uid = 0;
            plist_get_uid_val(node, &uid);
            PlistValue dict;
            dict.setObject(PlistValue(uid), "CF$UID");
            out = dict;
            return true;
        }
        default:
            return false;
    }
}

// --- PlistValue -> libplist ---------------------------------------------------------------------

plist_t parseXmlFragment(const std::string& element) {
    const std::string doc = "<plist version=\"1.0\">" + element + "</plist>";
    plist_t node = nullptr;
    plist_from_xml(doc.data(), static_cast<uint32_t>(doc.size()), &node);
    return node;
}

/// A date node holding exactly `since2001` seconds: made from a one-object binary form,
/// since libplist's date API takes int32 seconds.
plist_t makeDate(double since2001) {
    uint8_t b[kMagicLength + 9 + 1 + kTrailerLength] = {};
    std::memcpy(b, kBinaryMagic, kMagicLength);
    b[8] = 0x33;
    uint64_t bits;
    std::memcpy(&bits, &since2001, sizeof bits);
    for (int i = 0; i < 8; ++i)
        b[9 + i] = static_cast<uint8_t>(bits >> (56 - 8 * i));
    b[17] = 8;                      // offset table: the one object at offset 8
    uint8_t* t = b + 18;            // trailer
    t[6] = 1, t[7] = 1, t[15] = 1;  // offset size, reference size, one object
    t[31] = 17;                     // offset table position
    plist_t node = nullptr;
    plist_from_bin(reinterpret_cast<const char*>(b), sizeof b, &node);
    if (node) return node;
    const double clamped =
        std::isfinite(since2001) ? std::fmax(std::fmin(since2001, INT32_MAX), INT32_MIN) : 0.0;
    const auto sec = static_cast<int32_t>(clamped);
    return plist_new_date(sec, static_cast<int32_t>((clamped - sec) * 1e6));
}

PlistPtr toPlist(const PlistValue& v, std::size_t depth) {
    if (depth > PropertyList::kMaxDepth) return nullptr;
    switch (v.kind()) {
        case PlistValue::Kind::Dictionary: {
            PlistPtr dict(plist_new_dict());
            for (const auto& [key, value] : *v.dictionaryValue()) {
                PlistPtr item = toPlist(value, depth + 1);
                if (!item) return nullptr;
                plist_dict_set_item(dict.get(), key.c_str(), item.release());
            }
            return dict;
        }
        case PlistValue::Kind::Array: {
            PlistPtr array(plist_new_array());
            for (const auto& value : *v.arrayValue()) {
                PlistPtr item = toPlist(value, depth + 1);
                if (!item) return nullptr;
                plist_array_append_item(array.get(), item.release());
            }
            return array;
        }
        case PlistValue::Kind::String:
            return PlistPtr(plist_new_string(v.stringValue()->c_str()));
        case PlistValue::Kind::Integer:
            if (v.isUnsignedInteger()) {
                const std::string e =
                    "<integer>" + std::to_string(v.unsignedIntegerValue()) + "</integer>";
                if (plist_t node = parseXmlFragment(e)) return PlistPtr(node);
            }
            return PlistPtr(plist_new_uint(static_cast<uint64_t>(v.integerValue())));
        case PlistValue::Kind::Real:
            return PlistPtr(plist_new_real(v.doubleValue()));
        case PlistValue::Kind::Boolean:
            return PlistPtr(plist_new_bool(v.boolValue() ? 1 : 0));
        case PlistValue::Kind::Date:
            return PlistPtr(
                makeDate(v.dateValue()->timeIntervalSince1970() - NSTimeIntervalSince1970));
        case PlistValue::Kind::Data: {
            const NSData& d = *v.dataValue();
            return PlistPtr(plist_new_data(reinterpret_cast<const char*>(d.data()), d.size()));
        }
    }
    return nullptr;
}

NSData toNSData(const Serialized& s) {
    const auto* p = reinterpret_cast<const uint8_t*>(s.bytes.get());
    return p ? NSData(p, p + s.length) : NSData();
}

// --- Files -------------------------------------------------------------------------------------

bool writeAll(int fd, const uint8_t* p, std::size_t n) {
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

/// The process's umask, read without changing it (other threads may be creating files).
mode_t currentUmask() {
    if (FILE* f = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (std::fgets(line, sizeof line, f)) {
            if (std::sscanf(line, "Umask: %o", &mask) == 1) {
                found = true;
                break;
            }
        }
        std::fclose(f);
        if (found) return static_cast<mode_t>(mask);
    }
    return 022;
}

}  // namespace

namespace PropertyList {

std::optional<PlistValue> readData(std::span<const uint8_t> bytes) {
    if (bytes.empty() || bytes.size() > kMaxBytes) return std::nullopt;
    plist_t root = nullptr;
    const auto* p = reinterpret_cast<const char*>(bytes.data());
    const auto n = static_cast<uint32_t>(bytes.size());
    if (isBinary(bytes)) {
        if (!BinaryShape(bytes).acceptable()) return std::nullopt;
        plist_from_bin(p, n, &root);
    } else {
        // XML never holds a NUL character; libplist would keep one and then assert on it.
        if (std::memchr(p, 0, n)) return std::nullopt;
        plist_from_xml(p, n, &root);
    }
    if (!root) return std::nullopt;
    PlistValue value;
    if (!fromPlist(root, 1, value)) {
        // Binary trees were checked for depth before parsing; an XML tree may be deep.
        if (isBinary(bytes))
            plist_free(root);
        else
            freeDeepTree(root);
        return std::nullopt;
    }
    plist_free(root);
    return value;
}

std::optional<PlistValue> readData(std::string_view bytes) {
    return readData(
        std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

std::optional<PlistValue> readFile(const std::string& path, std::size_t maxBytes) {
    return readFileAt(AT_FDCWD, path, maxBytes);
}

std::optional<PlistValue> readFileAt(int folder, const std::string& path, std::size_t maxBytes) {
    // Non-blocking so that a FIFO in the way cannot hang the reader (regular files ignore it).
    const int fd = ::openat(folder, path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0 ||
        static_cast<uint64_t>(st.st_size) > std::min(maxBytes, kMaxBytes)) {
        ::close(fd);
        return std::nullopt;
    }
    std::vector<uint8_t> bytes(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    while (got < bytes.size()) {
        ssize_t r = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        got += static_cast<std::size_t>(r);
    }
    ::close(fd);
    bytes.resize(got);  // a file that shrank while being read is parsed as far as it went
    return readData(std::span<const uint8_t>(bytes));
}

NSData xmlData(const PlistValue& value) {
    PlistPtr root = toPlist(value, 1);
    if (!root) return {};
    return toNSData(toXml(root.get()));
}

NSData binaryData(const PlistValue& value) {
    PlistPtr root = toPlist(value, 1);
    if (!root) return {};
    return toNSData(toBin(root.get()));
}

bool writeFileAtomically(const PlistValue& value, const std::string& path) {
    if (path.empty() || path.back() == '/') return false;
    const NSData xml = xmlData(value);
    if (xml.empty()) return false;

    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash ? slash : 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string tmp = dir + "/." + name + ".XXXXXX";

    const int fd = ::mkostemp(tmp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    auto fail = [&](bool closeFd) {
        if (closeFd) ::close(fd);
        ::unlink(tmp.c_str());
        return false;
    };

    struct stat st {};
    mode_t mode;
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        mode = st.st_mode & 07777;
        if (::geteuid() == 0) (void)!::fchown(fd, st.st_uid, st.st_gid);
    } else {
        mode = 0644 & ~currentUmask();
    }
    if (::fchmod(fd, mode) != 0) return fail(true);
    if (!writeAll(fd, xml.data(), xml.size())) return fail(true);
    if (::fsync(fd) != 0) return fail(true);
    if (::close(fd) != 0) return fail(false);
    if (::rename(tmp.c_str(), path.c_str()) != 0) return fail(false);

    // Make the rename itself durable; the file is in place whatever this answers.
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

}  // namespace PropertyList

std::optional<PlistValue> NSDictionaryFromFile(const std::string& path) {
    auto v = PropertyList::readFile(path);
    if (!v || !v->isDictionary()) return std::nullopt;
    return v;
}

std::optional<PlistValue> NSDictionaryFromURL(const NSURL& url, std::size_t maxBytes) {
    maxBytes = std::min(maxBytes, PropertyList::kMaxBytes);
    auto body =
        NSURLConnection::sendSynchronousRequest(NSURLRequest::requestWithURL(url), maxBytes);
    if (!body) return std::nullopt;
    auto v = PropertyList::readData(std::span<const uint8_t>(body->data(), body->size()));
    if (!v || !v->isDictionary()) return std::nullopt;
    return v;
}

std::optional<PlistValue> NSArrayFromFile(const std::string& path) {
    auto v = PropertyList::readFile(path);
    if (!v || !v->isArray()) return std::nullopt;
    return v;
}
