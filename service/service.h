#pragma once

#include <httplib.h>

#include <memory>
#include <string>
#include <vector>

#include "faults.h"
#include "sim_clock.h"
#include "simulation.h"
#include "store.h"

namespace zelko_service {

struct User {
  std::string login;  // UTF-8
  std::string password;
};

struct ServiceOptions {
  DayOptions day;
  std::string dbPath = ":memory:";
  int clockStart = 12 * 60;  // simulated minute at start
  double speed = 1.0;        // simulated seconds per real second
  double faultRate = 0.0;
  double faultDelaySeconds = 35.0;
  int versionStatus = 200;  // what the version marker answers
  std::vector<User> users = {{"demo", "demo"}};
  bool clockControl = false;  // serve /demo/clock, which sets the simulated clock
};

// The demo data service: the monitor's requests, the status page at "/", the store.
class DemoService {
 public:
  explicit DemoService(const ServiceOptions& options);
  ~DemoService();
  DemoService(const DemoService&) = delete;
  DemoService& operator=(const DemoService&) = delete;

  // Binds the listening socket; port 0 picks a free one. Gives the port, or -1.
  int Bind(const std::string& host, int port);
  // Serves until Stop; call after Bind.
  bool Listen();
  void Stop();

  SimClock& Clock() { return clock_; }
  Store& Signals() { return store_; }
  const Day& Today() const { return day_; }

 private:
  using Handler = void (DemoService::*)(const httplib::Request&, httplib::Response&);
  void Route(const char* path, Handler handler, bool faults);

  void Version(const httplib::Request& request, httplib::Response& response);
  void Login(const httplib::Request& request, httplib::Response& response);
  void Analysis(const httplib::Request& request, httplib::Response& response);
  void StrangeOrBigBet(const httplib::Request& request, httplib::Response& response);
  void StatusPage(const httplib::Request& request, httplib::Response& response);
  void ClockControl(const httplib::Request& request, httplib::Response& response);

  // Stores the request's values, converted to UTF-8, with the login of its session.
  void Record(const httplib::Request& request);
  std::string NewSession(const std::string& login);

  ServiceOptions options_;
  Day day_;
  SimClock clock_;
  Store store_;
  FaultPlan faults_;
  httplib::Server server_;
};

// Sends a UTF-8 text to the monitor in Windows-1251.
void ReplyToMonitor(httplib::Response& response, const std::string& utf8);

}  // namespace zelko_service
