#pragma once
// A small HTTP server on 127.0.0.1 for tests: it answers by path, one connection at a time;
// a silent server accepts and reads but never answers. It serves at most 64 connections and
// stops when destroyed.
//
// Paths: /ok ("hello"), /empty, /missing (404), /error (500), /unchanged (304), /redirect
// (302 to /ok), /headers (echoes the request head), /chain/N (N redirects, then "end"), and
// any path a test adds with serve().

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace platform::testing {

/// A listening socket on 127.0.0.1 with a kernel-chosen port.
inline int listenOnLoopback(int* port) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd, 16) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        close(fd);
        return -1;
    }
    *port = ntohs(addr.sin_port);
    return fd;
}

/// A small HTTP server on loopback that answers by path, one connection at a time; a silent
/// server accepts and reads but never answers. It serves at most 64 connections and stops
/// when destroyed.
class LoopbackServer {
  public:
    explicit LoopbackServer(bool silent = false) : silent_(silent) {
        listenFd_ = listenOnLoopback(&port_);
        if (listenFd_ >= 0) thread_ = std::thread([this] { run(); });
    }
    ~LoopbackServer() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        if (listenFd_ >= 0) close(listenFd_);
    }
    bool ok() const { return listenFd_ >= 0; }
    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    std::vector<std::string> requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    /// Answers `path` with `body` and the status line `status` from now on (before the fixed
    /// paths).
    void serve(const std::string& path, std::string body, std::string status = "200 OK") {
        std::lock_guard lock(mutex_);
        routes_[path] = {std::move(status), std::move(body)};
    }

  private:
    void run() {
        std::vector<int> held;  // connections a silent server keeps open
        for (int served = 0; !stop_ && served < 64;) {
            pollfd p{listenFd_, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0) continue;
            int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) continue;
            ++served;
            std::string head = readHead(fd);
            {
                std::lock_guard lock(mutex_);
                requests_.push_back(head);
            }
            if (silent_) {
                held.push_back(fd);
                continue;
            }
            std::string answer = answerWithRoutes(head);
            send(fd, answer.data(), answer.size(), MSG_NOSIGNAL);
            close(fd);
        }
        for (int fd : held)
            close(fd);
    }

    std::string readHead(int fd) {
        std::string head;
        char buffer[1024];
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (head.find("\r\n\r\n") == std::string::npos && !stop_ &&
               std::chrono::steady_clock::now() < deadline) {
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0) continue;
            ssize_t n = recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            head.append(buffer, static_cast<size_t>(n));
        }
        return head;
    }

    static std::string response(const std::string& status, const std::string& body,
                                const std::string& extra = "") {
        return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
               "\r\nConnection: close\r\n" + extra + "\r\n" + body;
    }

    static std::string pathOf(const std::string& head) {
        std::size_t start = head.find(' ') + 1, end = head.find(' ', start);
        return start == 0 ? "" : head.substr(start, end - start);
    }

    std::string answerWithRoutes(const std::string& head) {
        {
            std::lock_guard lock(mutex_);
            auto route = routes_.find(pathOf(head));
            if (route != routes_.end()) return response(route->second.first, route->second.second);
        }
        return answerFor(head);
    }

    static std::string answerFor(const std::string& head) {
        std::string path = pathOf(head);
        if (path == "/ok") return response("200 OK", "hello");
        if (path == "/empty") return response("200 OK", "");
        if (path == "/missing") return response("404 Not Found", "no such page");
        if (path == "/error") return response("500 Internal Server Error", "broken");
        if (path == "/unchanged") return response("304 Not Modified", "");
        if (path == "/redirect") return response("302 Found", "moved", "Location: /ok\r\n");
        if (path == "/headers") return response("200 OK", head);
        if (path.starts_with("/chain/")) {  // /chain/N redirects N times before answering
            int n = std::stoi(path.substr(7));
            if (n == 0) return response("200 OK", "end");
            return response("301 Moved Permanently", "",
                            "Location: /chain/" + std::to_string(n - 1) + "\r\n");
        }
        return response("404 Not Found", "");
    }

    bool silent_;
    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::map<std::string, std::pair<std::string, std::string>> routes_;  // path: status, body
};

/// A port on 127.0.0.1 on which nothing listens (bound, then closed).
inline int refusedLoopbackPort() {
    int port = 0;
    int fd = listenOnLoopback(&port);
    if (fd >= 0) close(fd);
    return port;
}

}  // namespace platform::testing
