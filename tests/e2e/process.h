#pragma once

// Child processes for the end-to-end tests: spawn in a folder, feed nothing, collect standard
// output and error, wait with a deadline.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace zelko::e2e {

struct Finished {
  int exitCode = -1;  // -1 when killed at the deadline or by a signal
  std::string out;
  std::string err;
};

class Child {
 public:
  // Starts `program` with `args` in `cwd`; `env` entries are set ("" removes the variable).
  Child(const std::string& program, const std::vector<std::string>& args, const std::string& cwd,
        const std::map<std::string, std::string>& env = {}) {
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
      throw std::runtime_error("pipe");
    }
    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("fork");
    if (pid_ == 0) {
      ::dup2(out[1], 1);
      ::dup2(err[1], 2);
      const int devnull = ::open("/dev/null", O_RDONLY);
      ::dup2(devnull, 0);
      if (::chdir(cwd.c_str()) != 0) ::_exit(126);
      for (const auto& [name, value] : env) {
        if (value.empty()) {
          ::unsetenv(name.c_str());
        } else {
          ::setenv(name.c_str(), value.c_str(), 1);
        }
      }
      std::vector<char*> argv;
      argv.push_back(const_cast<char*>(program.c_str()));
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      ::execv(program.c_str(), argv.data());
      ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    out_ = out[0];
    err_ = err[0];
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  ~Child() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) ::close(out_);
    if (err_ >= 0) ::close(err_);
  }

  // Reads standard output until a whole line has come (without its end), or the deadline.
  std::string ReadLine(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (true) {
      const std::size_t end = pendingOut_.find('\n');
      if (end != std::string::npos) {
        std::string line = pendingOut_.substr(0, end);
        pendingOut_.erase(0, end + 1);
        return line;
      }
      if (!Pump(deadline, /*wantOut=*/true)) return {};
    }
  }

  // Waits for the end, collecting all output; kills the child at the deadline.
  Finished Wait(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (out_ >= 0 || err_ >= 0) {
      if (!Pump(deadline, false)) break;
    }
    Finished done;
    if (out_ >= 0 || err_ >= 0) ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    if (WIFEXITED(status)) done.exitCode = WEXITSTATUS(status);
    done.out = std::move(pendingOut_);
    done.err = std::move(pendingErr_);
    return done;
  }

  void Terminate() {
    if (pid_ > 0) ::kill(pid_, SIGTERM);
  }

 private:
  // One round of reading; false at the deadline or when the wanted stream has closed.
  bool Pump(std::chrono::steady_clock::time_point deadline, bool wantOut) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
    if (::poll(fds, 2, static_cast<int>(left.count())) <= 0) return false;
    char buffer[4096];
    bool open = true;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || (fds[i].revents & (POLLIN | POLLHUP)) == 0) continue;
      const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        (i == 0 ? pendingOut_ : pendingErr_).append(buffer, static_cast<std::size_t>(n));
      } else {
        ::close(fds[i].fd);
        (i == 0 ? out_ : err_) = -1;
        if (i == 0 && wantOut) open = false;
      }
    }
    return open;
  }

  pid_t pid_ = -1;
  int out_ = -1;
  int err_ = -1;
  std::string pendingOut_;
  std::string pendingErr_;
};

}  // namespace zelko::e2e
