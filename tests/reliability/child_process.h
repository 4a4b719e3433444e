#pragma once

// A program run for a test: its standard input and output through pipes, its standard error
// into a file, read line by line with a time limit. Ended (SIGTERM, then SIGKILL) when the
// object goes, so that no test leaves a process behind.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace zelko::test {

class ChildProcess {
 public:
  ChildProcess(std::vector<std::string> argv, std::filesystem::path directory,
               std::filesystem::path stderrFile)
      : stderrFile_(std::move(stderrFile)) {
    int in[2];
    int out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) {
      throw std::runtime_error("pipe failed");
    }
    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
      // Only async-signal-safe calls from here on.
      const int err = ::open(stderrFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (::chdir(directory.c_str()) != 0 || err < 0) ::_exit(126);
      ::dup2(in[0], 0);
      ::dup2(out[1], 1);
      ::dup2(err, 2);
      std::vector<char*> args;
      for (std::string& arg : argv) args.push_back(arg.data());
      args.push_back(nullptr);
      ::execv(args[0], args.data());
      ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    input_ = in[1];
    output_ = out[0];
  }
  ~ChildProcess() {
    CloseInput();
    if (output_ >= 0) ::close(output_);
    if (pid_ > 0 && !exited_) {
      ::kill(pid_, SIGTERM);
      if (!Wait(std::chrono::seconds(5))) {
        ::kill(pid_, SIGKILL);
        Wait(std::chrono::seconds(5));
      }
    }
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t pid() const { return pid_; }

  bool WriteLine(const std::string& line) {
    const std::string bytes = line + "\n";
    std::size_t sent = 0;
    while (sent < bytes.size()) {
      const ssize_t n = ::write(input_, bytes.data() + sent, bytes.size() - sent);
      if (n <= 0) return false;
      sent += static_cast<std::size_t>(n);
    }
    return true;
  }
  void CloseInput() {
    if (input_ >= 0) ::close(input_);
    input_ = -1;
  }

  // The next line of standard output, or nothing when none came within `limit` or the output
  // ended.
  std::optional<std::string> ReadLine(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (true) {
      const std::size_t newline = buffer_.find('\n');
      if (newline != std::string::npos) {
        std::string line = buffer_.substr(0, newline);
        buffer_.erase(0, newline + 1);
        return line;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0 || output_ < 0) return std::nullopt;
      pollfd p{output_, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
      char chunk[65536];
      const ssize_t n = ::read(output_, chunk, sizeof chunk);
      if (n <= 0) {
        ::close(output_);
        output_ = -1;
        if (buffer_.empty()) return std::nullopt;
        buffer_.push_back('\n');
        continue;
      }
      buffer_.append(chunk, static_cast<std::size_t>(n));
    }
  }

  // Reads lines until one starts with `prefix`; the lines passed over are appended to `seen`.
  std::optional<std::string> ReadUntil(const std::string& prefix, std::chrono::milliseconds limit,
                                       std::vector<std::string>* seen = nullptr) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (true) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      auto line = ReadLine(std::max(left, std::chrono::milliseconds(0)));
      if (!line) return std::nullopt;
      if (line->rfind(prefix, 0) == 0) return line;
      if (seen != nullptr) seen->push_back(*line);
    }
  }

  // Waits for the exit; false when it did not come within `limit`.
  bool Wait(std::chrono::milliseconds limit) {
    if (exited_) return true;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
      int status = 0;
      const pid_t done = ::waitpid(pid_, &status, WNOHANG);
      if (done == pid_) {
        exited_ = true;
        status_ = status;
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
  bool Exited() const { return exited_; }
  // The exit status after Wait, or -1 for a signal.
  int ExitCode() const { return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1; }
  void Terminate() {
    if (!exited_) ::kill(pid_, SIGTERM);
  }

  std::string Stderr() const {
    std::ifstream in(stderrFile_);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  // A "Vm..." figure of /proc/<pid>/status in kB, or -1.
  long StatusKb(const std::string& key) const {
    std::ifstream in("/proc/" + std::to_string(pid_) + "/status");
    std::string line;
    while (std::getline(in, line)) {
      if (line.rfind(key + ":", 0) == 0)
        return std::strtol(line.c_str() + key.size() + 1, nullptr, 10);
    }
    return -1;
  }

 private:
  std::filesystem::path stderrFile_;
  pid_t pid_ = -1;
  int input_ = -1;
  int output_ = -1;
  std::string buffer_;
  bool exited_ = false;
  int status_ = 0;
};

// A fresh, empty folder under the system's temporary folder, removed when the object goes.
class TempDir {
 public:
  explicit TempDir(const std::string& stem) {
    std::string pattern = (std::filesystem::temp_directory_path() / (stem + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// The peak resident memory of this process in kB (VmHWM), or -1.
inline long OwnPeakKb() {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

// Whether this build runs under AddressSanitizer, whose quarantine holds freed memory for a
// while and so raises every peak.
inline constexpr bool kUnderAsan =
#if defined(__SANITIZE_ADDRESS__)
    true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    true;
#else
    false;
#endif
#else
    false;
#endif

}  // namespace zelko::test
