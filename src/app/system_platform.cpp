#include "app/system_platform.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <ctime>
#include <fstream>
#include <iterator>
#include <system_error>
#include <utility>

#include "feed/curl_http_client.h"

namespace zelko {

namespace {

// Closes a descriptor on every path out of WriteFile.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() { Close(); }
  int get() const { return fd_; }
  bool Close() {
    if (fd_ < 0) return true;
    const bool ok = ::close(fd_) == 0;
    fd_ = -1;
    return ok;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

SystemPlatform::SystemPlatform(RequestLimits limits, std::filesystem::path directory)
    : limits_(limits), directory_(std::move(directory)) {}

std::unique_ptr<HttpClient> SystemPlatform::MakeClient(ClientProfile profile, std::string name) {
  return std::make_unique<CurlHttpClient>(profile, std::move(name), limits_);
}

ProbeOutcome SystemPlatform::ProbeStatus(const std::string& url) {
  return ProbeUrlStatus(url, limits_);
}

std::filesystem::path SystemPlatform::PathOf(const std::string& name) const {
  return directory_.empty() ? std::filesystem::path(name) : directory_ / name;
}

std::optional<std::string> SystemPlatform::ReadFile(const std::string& name) {
  std::ifstream in(PathOf(name), std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

bool SystemPlatform::WriteFile(const std::string& name, const std::string& bytes, bool ownerOnly) {
  static std::atomic<unsigned> counter{0};
  const std::filesystem::path target = PathOf(name);
  std::filesystem::path temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = target;
    temporary += ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    // Created owner-only from the first byte when asked, so the secret is never readable.
    const mode_t mode = ownerOnly ? S_IRUSR | S_IWUSR : 0666;
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  FileDescriptor file(fd);
  const bool written = (!ownerOnly || ::fchmod(file.get(), S_IRUSR | S_IWUSR) == 0) &&
                       WriteAll(file.get(), bytes) && ::fsync(file.get()) == 0;
  if (!file.Close() || !written || ::rename(temporary.c_str(), target.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

void SystemPlatform::RemoveFile(const std::string& name) {
  std::error_code ignored;
  std::filesystem::remove(PathOf(name), ignored);
}

TimeOfDay SystemPlatform::LocalTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (::localtime_r(&now, &local) == nullptr) return {};
  return {local.tm_hour, local.tm_min};
}

}  // namespace zelko
