// zelko-cli: the monitor's main form without a window, driven by a script or run for a person
// in the terminal.
//
//   zelko-cli [--service HOST[:PORT]] [--script FILE]       commands from FILE or stdin
//   zelko-cli watch --login L --password P [--service ...]   the live schedule until Ctrl-C

#include <csignal>

#include <chrono>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <thread>

#include <CLI/CLI.hpp>

#include "app/main_form.h"
#include "cli/cli_platform.h"
#include "cli/script.h"
#include "cli/watch.h"
#include "feed/service_url.h"

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int /*signal*/) {
  interrupted = 1;
  // A second Ctrl-C ends the program at once, even inside a request.
  std::signal(SIGINT, SIG_DFL);
}

int RunScript(const std::string& serviceHost, const std::string& scriptPath) {
  zelko::cli::CliPlatform platform(std::cout);
  zelko::MainForm form(platform, serviceHost);
  zelko::cli::ScriptRunner runner(form, std::cout, std::cerr);
  if (scriptPath.empty()) return runner.Run(std::cin);
  std::ifstream script(scriptPath);
  if (!script) {
    std::cerr << "zelko-cli: cannot open the script " << scriptPath << '\n';
    return 2;
  }
  return runner.Run(script);
}

int RunWatch(const std::string& serviceHost, const std::string& login,
             const std::string& password) {
  zelko::cli::WatchPlatform platform(std::cout);
  zelko::MainForm form(platform, serviceHost);
  zelko::cli::WatchSession session(form, std::cout);

  struct sigaction action {};
  action.sa_handler = &OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);

  if (!session.Start(login, password)) return 1;
  using Clock = std::chrono::steady_clock;
  while (interrupted == 0 && !form.Closed()) {
    // The next second starts when the last one's work has ended, as a window timer does.
    const auto due = Clock::now() + std::chrono::seconds(1);
    while (interrupted == 0 && Clock::now() < due) {
      std::this_thread::sleep_for(
          std::min<Clock::duration>(std::chrono::milliseconds(100), due - Clock::now()));
    }
    if (interrupted != 0) break;
    session.Second();
  }
  std::cout << "\nStopped.\n" << std::flush;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"The Zelko monitor without a window: scripted commands or the live terminal."};
  std::string service;
  std::string scriptPath;
  app.add_option("--service", service,
                 "The data service, HOST[:PORT] (else $ZELKO_SERVICE, else 127.0.0.1:8024)");
  app.add_option("--script", scriptPath, "Read commands from FILE instead of standard input");
  CLI::App* watch = app.add_subcommand("watch", "Log in and follow the boards until Ctrl-C");
  std::string login;
  std::string password;
  watch->add_option("--login", login, "Login")->required();
  watch->add_option("--password", password, "Password")->required();
  watch->fallthrough();

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::ParseError& error) {
    app.exit(error);
    return 2;
  }

  const std::string host =
      zelko::ResolveServiceHost(service.empty() ? std::nullopt : std::optional(service));
  try {
    if (watch->parsed()) return RunWatch(host, login, password);
    return RunScript(host, scriptPath);
  } catch (const std::exception& error) {
    std::cerr << "zelko-cli: " << error.what() << '\n';
    return 1;
  }
}
