// zelko-fake-service: a scriptable stand-in for the data service, for end-to-end tests.
//
//   zelko-fake-service --log FILE [--port N] [--dir DIR] [--reply KEY FILE]...
//
// KEY is a path ("/refresh/zelko2.4.txt") or a path with one query condition
// ("/login/zelko.php?menu=today"): a request takes the replies of the first conditioned key it
// satisfies, else those of its bare path, else a 404. The replies of a key are served in the
// order given and the last one repeats. FILE is sent byte for byte; "!STATUS" (for example
// "!404") answers with that status and no body. --dir DIR reads "KEY FILE" lines from
// DIR/replies.txt, files relative to DIR.
//
// Every request line is appended to the log as it arrived ("GET /path?query HTTP/1.1"). The
// bound port is printed on standard output, one line, once the server accepts connections.
// SIGTERM or SIGINT stops it.

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <deque>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <httplib.h>

namespace {

struct Canned {
  int status = 200;
  std::string body;
};

struct Route {
  std::string path;
  std::string condition;  // "name=value", or empty
  std::deque<Canned> replies;
};

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

class Replies {
 public:
  void Add(const std::string& key, const std::string& file, const std::string& base) {
    Canned canned;
    if (!file.empty() && file[0] == '!') {
      canned.status = std::stoi(file.substr(1));
    } else {
      canned.body = ReadWhole(base.empty() || file[0] == '/' ? file : base + "/" + file);
    }
    const std::size_t question = key.find('?');
    const std::string path = key.substr(0, question);
    const std::string condition = question == std::string::npos ? "" : key.substr(question + 1);
    for (Route& route : routes_) {
      if (route.path == path && route.condition == condition) {
        route.replies.push_back(std::move(canned));
        return;
      }
    }
    routes_.push_back({path, condition, {std::move(canned)}});
  }

  void AddDirectory(const std::string& dir) {
    std::ifstream manifest(dir + "/replies.txt");
    if (!manifest) throw std::runtime_error("cannot read " + dir + "/replies.txt");
    std::string line;
    while (std::getline(manifest, line)) {
      if (line.empty() || line[0] == '#') continue;
      const std::size_t space = line.find(' ');
      if (space == std::string::npos) throw std::runtime_error("bad manifest line: " + line);
      Add(line.substr(0, space), line.substr(space + 1), dir);
    }
  }

  Canned Next(const std::string& path, const std::string& query) {
    std::lock_guard lock(mutex_);
    Route* chosen = nullptr;
    for (Route& route : routes_) {
      if (route.path != path) continue;
      if (route.condition.empty()) {
        if (chosen == nullptr) chosen = &route;
      } else if (HasParameter(query, route.condition)) {
        chosen = &route;
        break;
      }
    }
    if (chosen == nullptr) return {404, ""};
    Canned canned = chosen->replies.front();
    if (chosen->replies.size() > 1) chosen->replies.pop_front();
    return canned;
  }

 private:
  static bool HasParameter(const std::string& query, const std::string& parameter) {
    std::size_t start = 0;
    while (start <= query.size()) {
      const std::size_t amp = query.find('&', start);
      const std::size_t end = amp == std::string::npos ? query.size() : amp;
      if (query.compare(start, end - start, parameter) == 0) return true;
      if (amp == std::string::npos) break;
      start = amp + 1;
    }
    return false;
  }

  std::mutex mutex_;
  std::vector<Route> routes_;
};

int Usage() {
  std::cerr
      << "usage: zelko-fake-service --log FILE [--port N] [--dir DIR] [--reply KEY FILE]...\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string logPath;
  int port = 0;
  Replies replies;
  try {
    for (int i = 1; i < argc; ++i) {
      const std::string arg = argv[i];
      if (arg == "--log" && i + 1 < argc) {
        logPath = argv[++i];
      } else if (arg == "--port" && i + 1 < argc) {
        port = std::stoi(argv[++i]);
      } else if (arg == "--dir" && i + 1 < argc) {
        replies.AddDirectory(argv[++i]);
      } else if (arg == "--reply" && i + 2 < argc) {
        const std::string key = argv[++i];
        const std::string file = argv[++i];
        replies.Add(key, file, "");
      } else {
        return Usage();
      }
    }
  } catch (const std::exception& error) {
    std::cerr << "zelko-fake-service: " << error.what() << '\n';
    return 2;
  }
  if (logPath.empty()) return Usage();
  std::ofstream log(logPath, std::ios::app | std::ios::binary);
  if (!log) {
    std::cerr << "zelko-fake-service: cannot write " << logPath << '\n';
    return 2;
  }

  // The signals are taken by one thread that then stops the server; the server's own threads
  // never see them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  httplib::Server server;
  std::mutex logMutex;
  server.Get(".*", [&](const httplib::Request& request, httplib::Response& response) {
    {
      std::lock_guard lock(logMutex);
      log << request.method << ' ' << request.target << ' ' << request.version << '\n'
          << std::flush;
    }
    const std::size_t question = request.target.find('?');
    const std::string query =
        question == std::string::npos ? "" : request.target.substr(question + 1);
    const Canned canned = replies.Next(request.path, query);
    response.status = canned.status;
    if (canned.status < 300) response.set_content(canned.body, "text/html");
  });

  const int bound = port == 0 ? server.bind_to_any_port("127.0.0.1")
                              : (server.bind_to_port("127.0.0.1", port) ? port : -1);
  if (bound <= 0) {
    std::cerr << "zelko-fake-service: cannot listen\n";
    return 1;
  }
  std::thread stopper([&] {
    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.stop();
  });
  std::atomic<bool> finished{false};
  std::thread announcer([&] {
    while (!server.is_running() && !finished) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (!finished) std::cout << bound << '\n' << std::flush;
  });
  server.listen_after_bind();
  finished = true;
  announcer.join();
  // Listening ended by itself (not by a signal): wake the stopper so it can be joined.
  pthread_kill(stopper.native_handle(), SIGTERM);
  stopper.join();
  return 0;
}
