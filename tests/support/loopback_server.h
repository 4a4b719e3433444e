#pragma once

// Test servers on 127.0.0.1 with ephemeral ports, for tests that talk HTTP.
//
//   LoopbackServer server;                       // an httplib::Server, not yet listening
//   server.http().Get("/x", [](const httplib::Request&, httplib::Response& res) {
//     res.set_content("hello", "text/plain");
//   });
//   server.Start();                              // bound and accepting when this returns
//   client.Get(server.Url("/x?a=1"));
//   server.Requests()[0].target == "/x?a=1"      // exactly as on the request line
//
// Register every handler before Start(); the server stops when the object goes.
//
// RawSocketServer is for replies httplib will not send (a body cut short, a silent peer): for
// each connection it reads the request head, logs it, and hands the socket to a script.
//
// Link with PkgConfig::HTTPLIB (pkg-config name cpp-httplib).

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <httplib.h>

namespace zelko::test {

inline constexpr const char* kLoopbackHost = "127.0.0.1";

// One request as the server received it.
struct LoggedRequest {
  std::string method;
  std::string target;  // path and raw query, undecoded, as on the request line
  std::string path;    // decoded path (LoopbackServer only)
  std::vector<std::pair<std::string, std::string>> headers;  // in arrival order where known
  std::string head;    // the raw request head up to the blank line (RawSocketServer only)
  int remotePort = 0;  // the client's port: equal for requests over one connection

  // The first header of that name (case-insensitive), or "" when absent.
  std::string Header(const std::string& name) const {
    for (const auto& [key, value] : headers) {
      if (SameName(key, name)) return value;
    }
    return {};
  }
  bool HasHeader(const std::string& name) const {
    return std::any_of(headers.begin(), headers.end(),
                       [&](const auto& header) { return SameName(header.first, name); });
  }

 private:
  static bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
             return std::tolower(static_cast<unsigned char>(x)) ==
                    std::tolower(static_cast<unsigned char>(y));
           });
  }
};

class LoopbackServer {
 public:
  LoopbackServer() {
    server_.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response&) {
      LoggedRequest logged;
      logged.method = req.method;
      logged.target = req.target;
      logged.path = req.path;
      logged.remotePort = req.remote_port;
      for (const auto& header : req.headers) logged.headers.emplace_back(header);
      std::lock_guard lock(mutex_);
      requests_.push_back(std::move(logged));
      return httplib::Server::HandlerResponse::Unhandled;
    });
  }
  ~LoopbackServer() { Stop(); }
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  httplib::Server& http() { return server_; }

  void Start() {
    port_ = server_.bind_to_any_port(kLoopbackHost);
    if (port_ <= 0) throw std::runtime_error("loopback server could not bind");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  void Stop() {
    if (thread_.joinable()) {
      server_.stop();
      thread_.join();
    }
  }

  int port() const { return port_; }
  // "127.0.0.1:port", the form the service host takes.
  std::string HostPort() const { return std::string(kLoopbackHost) + ":" + std::to_string(port_); }
  std::string Url(const std::string& pathAndQuery) const {
    return "http://" + HostPort() + pathAndQuery;
  }

  std::vector<LoggedRequest> Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
  }

 private:
  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
  mutable std::mutex mutex_;
  std::vector<LoggedRequest> requests_;
};

// Writes all of `bytes` to the socket; false when the peer has gone.
inline bool SendAll(int fd, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

// Blocks until the peer closes the connection or `limit` passes.
inline void WaitForPeerClose(int fd, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  char buffer[512];
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 20) > 0 && ::recv(fd, buffer, sizeof buffer, 0) <= 0) return;
  }
}

// A port on 127.0.0.1 that nothing listens on (bound once, then released).
inline int UnusedLoopbackPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(fd);
    throw std::runtime_error("no free loopback port");
  }
  ::close(fd);
  return ntohs(address.sin_port);
}

class RawSocketServer {
 public:
  // Runs for each connection after its request head has been read; the socket is closed
  // when the script returns.
  using Script = std::function<void(int fd, const LoggedRequest& request)>;

  explicit RawSocketServer(Script script) : script_(std::move(script)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    const int yes = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 8) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      ::close(listener_);
      throw std::runtime_error("raw loopback server could not bind");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~RawSocketServer() {
    stop_ = true;
    thread_.join();
    ::close(listener_);
  }
  RawSocketServer(const RawSocketServer&) = delete;
  RawSocketServer& operator=(const RawSocketServer&) = delete;

  int port() const { return port_; }
  std::string HostPort() const { return std::string(kLoopbackHost) + ":" + std::to_string(port_); }
  std::string Url(const std::string& pathAndQuery) const {
    return "http://" + HostPort() + pathAndQuery;
  }
  std::vector<LoggedRequest> Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
  }

 private:
  // One connection at a time: enough for a client that sends one request at a time.
  void Serve() {
    while (!stop_) {
      pollfd p{listener_, POLLIN, 0};
      if (::poll(&p, 1, 20) <= 0) continue;
      const int fd = ::accept(listener_, nullptr, nullptr);
      if (fd < 0) continue;
      LoggedRequest request;
      if (ReadHead(fd, request)) {
        {
          std::lock_guard lock(mutex_);
          requests_.push_back(request);
        }
        script_(fd, request);
      }
      ::close(fd);
    }
  }

  static bool ReadHead(int fd, LoggedRequest& request) {
    std::string head;
    char c = 0;
    while (head.size() < 65536 && head.find("\r\n\r\n") == std::string::npos) {
      pollfd p{fd, POLLIN, 0};
      if (::poll(&p, 1, 2000) <= 0 || ::recv(fd, &c, 1, 0) != 1) return false;
      head.push_back(c);
    }
    request.head = head;
    const std::size_t lineEnd = head.find("\r\n");
    const std::string line = head.substr(0, lineEnd);
    const std::size_t space1 = line.find(' ');
    const std::size_t space2 = line.rfind(' ');
    request.method = line.substr(0, space1);
    if (space1 != std::string::npos && space2 > space1) {
      request.target = line.substr(space1 + 1, space2 - space1 - 1);
    }
    std::size_t pos = lineEnd + 2;
    while (pos < head.size()) {
      const std::size_t end = head.find("\r\n", pos);
      if (end == pos || end == std::string::npos) break;
      const std::string header = head.substr(pos, end - pos);
      const std::size_t colon = header.find(':');
      if (colon != std::string::npos) {
        std::size_t valueStart = colon + 1;
        while (valueStart < header.size() && header[valueStart] == ' ') ++valueStart;
        request.headers.emplace_back(header.substr(0, colon), header.substr(valueStart));
      }
      pos = end + 2;
    }
    return true;
  }

  Script script_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<LoggedRequest> requests_;
};

}  // namespace zelko::test
