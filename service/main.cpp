// zelko-demo-service: a stand-in for the Zelko data service, so that the monitor can be seen
// working without the real one.
#include <CLI/CLI.hpp>

#include <csignal>
#include <ctime>
#include <iostream>
#include <thread>

#include "service.h"

namespace {

zelko_service::DemoService* running = nullptr;

extern "C" void StopOnSignal(int) {
  // httplib's stop only closes the listening socket and sets a flag: safe enough here.
  if (running != nullptr) running->Stop();
}

std::string DateText(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char text[16];
  std::strftime(text, sizeof text, "%d.%m.%Y", &local);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  using zelko_service::ParseClock;
  zelko_service::ServiceOptions options;
  std::string bind = "127.0.0.1";
  int port = 8024;
  std::string clock = "12:00";
  std::string date;
  bool noVersion = false;
  std::vector<std::string> users;
  options.dbPath = "zelko-demo.sqlite";

  CLI::App app{"Demo data service for the Zelko monitor"};
  app.add_option("--bind", bind, "Address to listen on")->capture_default_str();
  app.add_option("--port", port, "Port to listen on; 0 picks a free one")
      ->capture_default_str()
      ->check(CLI::Range(0, 65535));
  app.add_option("--db", options.dbPath, "SQLite file for the signals received (or :memory:)")
      ->capture_default_str();
  app.add_option("--matches", options.day.matches, "Matches of the simulated day")
      ->capture_default_str()
      ->check(CLI::Range(0, 100000));
  app.add_option("--seed", options.day.seed, "Seed of the simulated day")->capture_default_str();
  app.add_option("--clock", clock, "Simulated time at start, HH:MM")->capture_default_str();
  app.add_option("--date", date, "Date of the simulated day, DD.MM.YYYY (default: today)");
  app.add_option("--speed", options.speed, "Simulated seconds per real second; 0 freezes the clock")
      ->capture_default_str()
      ->check(CLI::NonNegativeNumber);
  app.add_option("--faults", options.faultRate, "Share of requests that get a fault (0..1)")
      ->capture_default_str()
      ->check(CLI::Range(0.0, 1.0));
  app.add_option("--fault-delay", options.faultDelaySeconds,
                 "Seconds a stalled reply waits before it is sent")
      ->capture_default_str()
      ->check(CLI::NonNegativeNumber);
  app.add_option("--version-status", options.versionStatus,
                 "Status of the version marker; anything but 200 asks the monitor to update")
      ->capture_default_str();
  app.add_flag("--no-version", noVersion, "The version marker answers 404");
  app.add_option("--user", users, "LOGIN:PASSWORD of an account (repeatable; default demo:demo)");
  // For tests and scripts: GET /demo/clock?set=HH:MM&speed=X moves the simulated clock.
  app.add_flag("--clock-control", options.clockControl)->group("");
  CLI11_PARSE(app, argc, argv);

  options.clockStart = ParseClock(clock.c_str());
  if (options.clockStart < 0) {
    std::cerr << "--clock: HH:MM expected, got \"" << clock << "\"\n";
    return 2;
  }
  if (noVersion) options.versionStatus = 404;
  if (!users.empty()) {
    options.users.clear();
    for (const std::string& user : users) {
      const std::size_t colon = user.find(':');
      if (colon == std::string::npos) {
        std::cerr << "--user: LOGIN:PASSWORD expected, got \"" << user << "\"\n";
        return 2;
      }
      options.users.push_back({user.substr(0, colon), user.substr(colon + 1)});
    }
  }
  const std::time_t now = std::time(nullptr);
  options.day.today = date.empty() ? DateText(now) : date;
  options.day.tomorrow = DateText(now + 24 * 60 * 60);
  if (!date.empty()) {
    std::tm given{};
    if (strptime(date.c_str(), "%d.%m.%Y", &given) == nullptr) {
      std::cerr << "--date: DD.MM.YYYY expected, got \"" << date << "\"\n";
      return 2;
    }
    given.tm_hour = 12;
    given.tm_mday += 1;
    options.day.tomorrow = DateText(std::mktime(&given));
  }

  try {
    zelko_service::DemoService service(options);
    const int bound = service.Bind(bind, port);
    if (bound < 0) {
      std::cerr << "zelko-demo-service: cannot listen on " << bind << ":" << port << "\n";
      return 1;
    }
    running = &service;
    std::signal(SIGINT, StopOnSignal);
    std::signal(SIGTERM, StopOnSignal);
    std::cout << "zelko-demo-service listening on http://" << bind << ":" << bound << "\n"
              << "demo login: " << options.users.front().login << " / "
              << options.users.front().password << "\n"
              << std::flush;
    const bool ok = service.Listen();
    running = nullptr;
    return ok ? 0 : 1;
  } catch (const std::exception& error) {
    std::cerr << "zelko-demo-service: " << error.what() << "\n";
    return 1;
  }
}
