#include "faults.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>

namespace zelko_service {
namespace {

constexpr std::array<Fault, 5> kCycle = {Fault::kServerError, Fault::kStall, Fault::kCutShort,
                                         Fault::kDropped, Fault::kGarbage};

struct Endpoint {
  std::string address;
  int port = -1;
};

Endpoint EndpointOf(const sockaddr_storage& address) {
  char text[INET6_ADDRSTRLEN] = {};
  Endpoint e;
  if (address.ss_family == AF_INET) {
    sockaddr_in v4{};
    std::copy_n(reinterpret_cast<const char*>(&address), sizeof v4, reinterpret_cast<char*>(&v4));
    inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
    e.port = ntohs(v4.sin_port);
  } else if (address.ss_family == AF_INET6) {
    sockaddr_in6 v6{};
    std::copy_n(reinterpret_cast<const char*>(&address), sizeof v6, reinterpret_cast<char*>(&v6));
    inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
    e.port = ntohs(v6.sin6_port);
  }
  e.address = text;
  return e;
}

// cpp-httplib gives a handler no access to its connection, but the two ends of a TCP
// connection name it uniquely: find the socket among this process's descriptors whose local
// port and peer are those of the request. -1 when there is none.
int ConnectionSocket(const httplib::Request& request) {
  DIR* dir = opendir("/proc/self/fd");
  if (dir == nullptr) return -1;
  int found = -1;
  while (dirent* entry = readdir(dir)) {
    char* end = nullptr;
    const long fd = std::strtol(entry->d_name, &end, 10);
    if (end == entry->d_name || *end != '\0') continue;
    const int descriptor = static_cast<int>(fd);
    struct stat info {};
    if (fstat(descriptor, &info) != 0 || !S_ISSOCK(info.st_mode)) continue;
    sockaddr_storage local{};
    sockaddr_storage peer{};
    socklen_t localSize = sizeof local;
    socklen_t peerSize = sizeof peer;
    if (getsockname(descriptor, reinterpret_cast<sockaddr*>(&local), &localSize) != 0) continue;
    if (getpeername(descriptor, reinterpret_cast<sockaddr*>(&peer), &peerSize) != 0) continue;
    const Endpoint l = EndpointOf(local);
    const Endpoint p = EndpointOf(peer);
    if (l.port == request.local_port && p.port == request.remote_port &&
        p.address == request.remote_addr) {
      found = descriptor;
      break;
    }
  }
  closedir(dir);
  return found;
}

// Writes the bytes (if any) straight to the connection and shuts it down both ways. The server
// then fails to write its own reply and closes the socket as after any broken connection.
bool BreakConnection(const httplib::Request& request, const std::string& bytes) {
  const int fd = ConnectionSocket(request);
  if (fd < 0) return false;
  if (!bytes.empty()) (void)send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
  shutdown(fd, SHUT_RDWR);
  return true;
}

std::string Garbage() {
  std::string bytes;
  for (int i = 0; i < 96; ++i) bytes += static_cast<char>((i * 73 + 151) & 0xFF);
  return bytes;
}

void ServerError(httplib::Response& response) {
  response.status = 500;
  response.set_content("Internal Server Error", "text/plain");
}

}  // namespace

const char* FaultName(Fault fault) {
  switch (fault) {
    case Fault::kNone:
      return "none";
    case Fault::kServerError:
      return "server error";
    case Fault::kStall:
      return "stall";
    case Fault::kCutShort:
      return "cut short";
    case Fault::kDropped:
      return "dropped";
    case Fault::kGarbage:
      return "garbage";
  }
  return "none";
}

FaultPlan::FaultPlan(double rate, double stallSeconds)
    : perMillion_(static_cast<std::uint64_t>(std::clamp(rate, 0.0, 1.0) * 1e6 + 0.5)),
      stallSeconds_(std::max(0.0, stallSeconds)) {}

Fault FaultPlan::Next() {
  std::lock_guard lock(mutex_);
  const std::uint64_t n = ++requests_;
  const std::uint64_t due = n * perMillion_ / 1'000'000u;
  if (due <= faults_) return Fault::kNone;
  faults_ = due;
  return kCycle[(faults_ - 1) % kCycle.size()];
}

void FaultPlan::Apply(Fault fault, const httplib::Request& request, httplib::Response& response) {
  switch (fault) {
    case Fault::kNone:
      return;
    case Fault::kServerError:
      ServerError(response);
      return;
    case Fault::kStall: {
      std::unique_lock lock(mutex_);
      wake_.wait_for(lock, std::chrono::duration<double>(stallSeconds_),
                     [this] { return cancelled_; });
      return;
    }
    case Fault::kCutShort: {
      const std::string half = response.body.substr(0, response.body.size() / 2);
      const std::string type = response.get_header_value("Content-Type");
      const std::size_t promised = response.body.size() + 100;
      response.body.clear();  // otherwise the server sends the body instead of the provider
      response.set_content_provider(
          promised, type.empty() ? "text/plain" : type,
          [half](std::size_t offset, std::size_t, httplib::DataSink& sink) {
            if (offset == 0 && !half.empty()) sink.write(half.data(), half.size());
            return false;  // the server gives up and closes the connection
          });
      return;
    }
    case Fault::kDropped:
      if (!BreakConnection(request, {})) ServerError(response);
      return;
    case Fault::kGarbage:
      if (!BreakConnection(request, Garbage())) ServerError(response);
      return;
  }
}

void FaultPlan::Cancel() {
  {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
  }
  wake_.notify_all();
}

}  // namespace zelko_service
