#pragma once

#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "service.h"

namespace zelko_service::testing {

// Options for a frozen, small, reproducible day.
inline ServiceOptions SmallDay(std::uint64_t seed = 7) {
  ServiceOptions options;
  options.day.seed = seed;
  options.day.matches = 120;
  options.day.today = "10.05.2025";
  options.day.tomorrow = "11.05.2025";
  options.clockStart = 12 * 60;
  options.speed = 0;
  return options;
}

// A service on 127.0.0.1 with a port of its own, serving from a thread of the test.
class RunningService {
 public:
  explicit RunningService(const ServiceOptions& options)
      : service_(std::make_unique<DemoService>(options)) {
    port_ = service_->Bind("127.0.0.1", 0);
    if (port_ > 0) thread_ = std::thread([this] { service_->Listen(); });
  }
  ~RunningService() {
    service_->Stop();
    if (thread_.joinable()) thread_.join();
  }
  RunningService(const RunningService&) = delete;
  RunningService& operator=(const RunningService&) = delete;

  int Port() const { return port_; }
  DemoService& Service() { return *service_; }

  httplib::Client Client() const {
    httplib::Client client("127.0.0.1", port_);
    client.set_connection_timeout(5);
    client.set_read_timeout(10);
    return client;
  }

  // The body of a GET that must succeed, as the service sent it (Windows-1251).
  std::string Get(const std::string& target) const {
    auto client = Client();
    auto result = client.Get(target.c_str());
    if (!result || result->status != 200) return "<request failed>";
    return result->body;
  }

 private:
  std::unique_ptr<DemoService> service_;
  int port_ = -1;
  std::thread thread_;
};

// What a raw connection saw: the bytes, and whether it waited in vain for the next one.
struct RawReply {
  std::string bytes;
  bool timedOut = false;
};

// One request over a plain socket, to see exactly what arrives, broken replies included.
inline RawReply RawGet(int port, const std::string& target, int waitMs) {
  RawReply reply;
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return reply;
  }
  const std::string request =
      "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
  (void)send(fd, request.data(), request.size(), MSG_NOSIGNAL);
  char buffer[4096];
  for (;;) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, waitMs) <= 0) {
      reply.timedOut = true;
      break;
    }
    const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    reply.bytes.append(buffer, static_cast<std::size_t>(n));
  }
  close(fd);
  return reply;
}

}  // namespace zelko_service::testing
