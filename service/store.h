#pragma once

#include <mutex>
#include <string>
#include <vector>

struct sqlite3;

namespace zelko_service {

// One request the monitor posted: an analysis, a StrangeBet or a BigBet.
struct Signal {
  long long id = 0;
  std::string received;  // real time, "YYYY-MM-DD HH:MM:SS" UTC
  std::string clock;     // simulated time, "HH:MM"
  std::string login;     // from the session cookie; empty when the request had none
  std::string path;
  std::vector<std::pair<std::string, std::string>> values;  // in request order, UTF-8
};

// The service's SQLite file: the signals received and the sessions handed out. Requests arrive
// on several server threads, so every call takes the store's lock.
class Store {
 public:
  // Opens (creating when needed) the file; ":memory:" keeps nothing. Throws on failure.
  explicit Store(const std::string& path);
  ~Store();
  Store(const Store&) = delete;
  Store& operator=(const Store&) = delete;

  long long AddSignal(const Signal& signal);
  // The newest first; at most limit of them.
  std::vector<Signal> LatestSignals(int limit) const;
  long long SignalCount() const;

  void AddSession(const std::string& token, const std::string& login);
  // The login of a session token, or an empty text.
  std::string SessionLogin(const std::string& token) const;

 private:
  void Execute(const char* sql);

  mutable std::mutex mutex_;
  sqlite3* db_ = nullptr;
};

}  // namespace zelko_service
