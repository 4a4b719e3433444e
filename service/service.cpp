#include "service.h"

#include <csignal>
#include <random>

#include "cp1251.h"
#include "feed_format.h"
#include "query.h"
#include "rng.h"
#include "status_page.h"

namespace zelko_service {
namespace {

constexpr const char* kSessionCookie = "zelko_session";

// The session token of the request's Cookie header, or an empty text.
std::string SessionToken(const httplib::Request& request) {
  const std::string cookies = request.get_header_value("Cookie");
  const std::string wanted = std::string(kSessionCookie) + "=";
  std::size_t at = 0;
  while (at < cookies.size()) {
    while (at < cookies.size() && (cookies[at] == ' ' || cookies[at] == ';')) ++at;
    const std::size_t end = cookies.find(';', at);
    const std::string_view cookie =
        std::string_view(cookies).substr(at, end == std::string::npos ? end : end - at);
    if (cookie.substr(0, wanted.size()) == wanted) return std::string(cookie.substr(wanted.size()));
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return {};
}

// The request's path without its query, as the store keeps it.
std::string PathOf(const httplib::Request& request) {
  return request.target.substr(0, request.target.find('?'));
}

}  // namespace

void ReplyToMonitor(httplib::Response& response, const std::string& utf8) {
  response.status = 200;
  response.set_content(Utf8ToCp1251(utf8), "text/plain; charset=windows-1251");
}

DemoService::DemoService(const ServiceOptions& options)
    : options_(options),
      day_(options.day),
      clock_(options.clockStart * 60.0, options.speed),
      store_(options.dbPath),
      faults_(options.faultRate, options.faultDelaySeconds) {
  Route("/refresh/zelko2.4.txt", &DemoService::Version, true);
  Route("/login/zelko.php", &DemoService::Login, true);
  Route("/bf/bffa.php", &DemoService::Analysis, true);
  Route("/bf/sb.php", &DemoService::StrangeOrBigBet, true);
  Route("/bf/bb.php", &DemoService::StrangeOrBigBet, true);
  // The page for people and the test clock never fail on purpose.
  Route("/", &DemoService::StatusPage, false);
  if (options_.clockControl) Route("/demo/clock", &DemoService::ClockControl, false);
}

DemoService::~DemoService() {
  Stop();
}

void DemoService::Route(const char* path, Handler handler, bool faults) {
  server_.Get(
      path, [this, handler, faults](const httplib::Request& request, httplib::Response& response) {
        const Fault fault = faults ? faults_.Next() : Fault::kNone;
        (this->*handler)(request, response);
        faults_.Apply(fault, request, response);
      });
}

int DemoService::Bind(const std::string& host, int port) {
  if (port == 0) return server_.bind_to_any_port(host);
  return server_.bind_to_port(host, port) ? port : -1;
}

bool DemoService::Listen() {
  // Faults break connections on purpose; a write to one must not end the process.
  std::signal(SIGPIPE, SIG_IGN);
  return server_.listen_after_bind();
}

void DemoService::Stop() {
  faults_.Cancel();
  server_.stop();
}

void DemoService::Version(const httplib::Request&, httplib::Response& response) {
  if (options_.versionStatus == 200) {
    ReplyToMonitor(response, "zelko 2.4\r\n");
    return;
  }
  response.status = options_.versionStatus;
  response.set_content("Not Found", "text/plain");
}

void DemoService::Login(const httplib::Request& request, httplib::Response& response) {
  const auto query = ParseQuery(request.target);
  const std::string login = Cp1251ToUtf8(QueryValue(query, "login"));
  const std::string password = Cp1251ToUtf8(QueryValue(query, "pass"));
  bool known = false;
  for (const User& user : options_.users) {
    known = known || (user.login == login && user.password == password);
  }
  if (!known) {
    ReplyToMonitor(response, "Autorization Fail");
    return;
  }
  const std::string menu = QueryValue(query, "menu");
  const int minute = clock_.Minute();
  if (menu == "today") {
    ReplyToMonitor(response, TodayFeed(day_, minute));
  } else if (menu == "live") {
    ReplyToMonitor(response, LiveFeed(day_, minute));
  } else if (menu.empty()) {
    response.set_header("Set-Cookie",
                        std::string(kSessionCookie) + "=" + NewSession(login) + "; Path=/");
    ReplyToMonitor(response, "Autorization OK\r\n<login>" + login + "</login>");
  } else {
    ReplyToMonitor(response, "");
  }
}

void DemoService::Analysis(const httplib::Request& request, httplib::Response& response) {
  Record(request);
  ReplyToMonitor(response, "OK<last>" + ClockText(clock_.Minute()) + "</last>");
}

void DemoService::StrangeOrBigBet(const httplib::Request& request, httplib::Response& response) {
  Record(request);
  ReplyToMonitor(response, "OK");
}

void DemoService::StatusPage(const httplib::Request&, httplib::Response& response) {
  const std::string page = RenderStatusPage(day_, clock_.Minute(), clock_.Speed(),
                                            store_.LatestSignals(50), store_.SignalCount());
  response.set_content(page, "text/html; charset=utf-8");
}

void DemoService::ClockControl(const httplib::Request& request, httplib::Response& response) {
  const auto query = ParseQuery(request.target);
  if (HasKey(query, "speed")) clock_.SetSpeed(std::atof(QueryValue(query, "speed").c_str()));
  if (HasKey(query, "set")) {
    const int minute = ParseClock(QueryValue(query, "set").c_str());
    if (minute < 0) {
      response.status = 400;
      response.set_content("set=HH:MM expected", "text/plain");
      return;
    }
    clock_.SetSeconds(minute * 60.0);
  }
  response.set_content(ClockText(clock_.Minute()), "text/plain");
}

void DemoService::Record(const httplib::Request& request) {
  Signal signal;
  signal.clock = ClockText(clock_.Minute());
  const std::string token = SessionToken(request);
  if (!token.empty()) signal.login = store_.SessionLogin(token);
  signal.path = PathOf(request);
  for (auto& pair : ParseQuery(request.target)) {
    signal.values.emplace_back(Cp1251ToUtf8(pair.key), Cp1251ToUtf8(pair.value));
  }
  store_.AddSignal(signal);
}

std::string DemoService::NewSession(const std::string& login) {
  static std::random_device entropy;
  const std::uint64_t a = Mix((static_cast<std::uint64_t>(entropy()) << 32) ^ entropy());
  const std::uint64_t b = Mix(
      a ^ static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  char token[40];
  std::snprintf(token, sizeof token, "%016llx%016llx", static_cast<unsigned long long>(a),
                static_cast<unsigned long long>(b));
  store_.AddSession(token, login);
  return token;
}

}  // namespace zelko_service
