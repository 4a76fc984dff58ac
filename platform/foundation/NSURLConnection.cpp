#include "platform/foundation/NSURLConnection.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <mutex>
#include <string>

namespace {

constexpr long kMaxRedirects = 5;

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;

struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using HeaderList = std::unique_ptr<curl_slist, ListDeleter>;

struct FileDescriptor {
    int fd = -1;
    explicit FileDescriptor(int f) : fd(f) {}
    ~FileDescriptor() {
        if (fd >= 0) close(fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
};

/// libcurl's global state, set up once before the first handle on any thread.
bool curlReady() {
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] { ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
    return ready;
}

/// The body being received and the most it may hold.
struct Sink {
    NSData body;
    std::size_t limit;
};

size_t appendBody(char* data, size_t size, size_t count, void* userdata) {
    auto* sink = static_cast<Sink*>(userdata);
    size_t bytes = size * count;
    if (bytes > sink->limit - sink->body.size()) return 0;  // too long: libcurl aborts
    try {
        sink->body.insert(sink->body.end(), data, data + bytes);
    } catch (...) {
        return 0;  // out of memory: libcurl aborts the transfer
    }
    return bytes;
}

long timeoutMilliseconds(NSTimeInterval seconds) {
    if (!(seconds > 0)) seconds = 60;
    double ms = std::ceil(seconds * 1000.0);
    constexpr double kMax = 24.0 * 3600 * 1000 * 365;  // a year is as good as forever
    return static_cast<long>(ms > kMax ? kMax : ms);
}

/// Loopback never goes through a proxy, whatever the environment says about others.
std::string noProxyHosts() {
    std::string hosts = "localhost,127.0.0.1,::1";
    const char* env = std::getenv("no_proxy");
    if (!env || !*env) env = std::getenv("NO_PROXY");
    if (env && *env) hosts = std::string(env) + "," + hosts;
    return hosts;
}

std::optional<NSData> readFile(const NSURL& url, std::size_t limit) {
    NSStringOpt host = url.host();
    if (host && *host != "localhost") return std::nullopt;
    std::string path = url.path();
    if (path.empty()) return std::nullopt;
    // O_NONBLOCK keeps a FIFO from blocking the open; only regular files are read.
    FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.fd < 0) return std::nullopt;
    struct stat st {};
    if (fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    if (static_cast<std::uint64_t>(st.st_size) > limit) return std::nullopt;
    NSData data;
    try {
        data.reserve(static_cast<size_t>(st.st_size));
    } catch (...) {
        return std::nullopt;
    }
    uint8_t buffer[64 * 1024];
    for (;;) {
        ssize_t n = read(file.fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        if (static_cast<std::size_t>(n) > limit - data.size()) return std::nullopt;  // it grew
        data.insert(data.end(), buffer, buffer + n);
    }
    return data;
}

std::optional<NSData> load(const NSURLRequest& request, std::size_t limit) {
    if (!curlReady()) return std::nullopt;
    EasyHandle handle(curl_easy_init());
    if (!handle) return std::nullopt;
    CURL* curl = handle.get();

    HeaderList headers;
    NSURLRequestCachePolicy policy = request.cachePolicy();
    if (policy == NSURLRequestReloadIgnoringLocalCacheData ||
        policy == NSURLRequestReloadIgnoringLocalAndRemoteCacheData) {
        for (const char* header : {"Cache-Control: no-cache", "Pragma: no-cache"}) {
            curl_slist* appended = curl_slist_append(headers.get(), header);
            if (!appended) return std::nullopt;
            (void)headers.release();
            headers.reset(appended);
        }
    }

    Sink sink{{}, limit};
    long timeout = timeoutMilliseconds(request.timeoutInterval());
    std::string noProxy = noProxyHosts();
    const std::string& url = request.URL().absoluteString();
    bool ok = curl_easy_setopt(curl, CURLOPT_URL, url.c_str()) == CURLE_OK &&
              curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK &&
              curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK &&
              curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
              curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L) == CURLE_OK &&
              curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK &&
              curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects) == CURLE_OK &&
              curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeout) == CURLE_OK &&
              curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, timeout) == CURLE_OK &&
              curl_easy_setopt(curl, CURLOPT_NOPROXY, noProxy.c_str()) == CURLE_OK &&
              curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "") == CURLE_OK &&
              curl_easy_setopt(curl, CURLOPT_USERAGENT, "uninstaller") == CURLE_OK &&
              curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendBody) == CURLE_OK &&
              curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink) == CURLE_OK;
    if (ok && headers) ok = curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get()) == CURLE_OK;
    if (!ok) return std::nullopt;

    if (curl_easy_perform(curl) != CURLE_OK) return std::nullopt;
    long status = 0;
    if (curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK) return std::nullopt;
    // libcurl reports success for any answer: the status decides.
    if (status < 200 || status > 399) return std::nullopt;
    return std::move(sink.body);
}

}  // namespace

std::optional<NSData> NSURLConnection::sendSynchronousRequest(const NSURLRequest& request) {
    return sendSynchronousRequest(request, std::numeric_limits<std::size_t>::max());
}

std::optional<NSData> NSURLConnection::sendSynchronousRequest(const NSURLRequest& request,
                                                              std::size_t maxBodyBytes) {
    // Nothing is cached, so a cache-only load has nothing to answer.
    if (request.cachePolicy() == NSURLRequestReturnCacheDataDontLoad) return std::nullopt;
    const NSURL& url = request.URL();
    if (url.isFileURL()) return readFile(url, maxBodyBytes);
    std::string scheme = ns::lowercaseString(url.scheme());
    if (scheme != "http" && scheme != "https") return std::nullopt;
    try {
        return load(request, maxBodyBytes);
    } catch (...) {
        return std::nullopt;
    }
}
