#pragma once

// A MainForm on a FakePlatform with a scriptable service: the login, today and live replies
// queue per menu (the last one repeats), and any of them may be made to throw.

#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

#include "app/main_form.h"
#include "support/fake_platform.h"
#include "support/feed_builder.h"

namespace zelko::testing {

inline constexpr const char* kHost = "svc.test:8024";
inline constexpr const char* kFeedPath = "/login/zelko.php";

// One answer of the scripted service.
struct Answer {
  HttpReply reply = FakeNetwork::Ok("");
  bool raise = false;  // the client itself throws instead of answering

  static Answer Body(const std::string& utf8) { return {FakeNetwork::Ok(utf8), false}; }
  static Answer Status(int status) {
    HttpReply r;
    r.failed = true;
    r.status = status;
    r.error = status == 0 ? "connection refused" : "HTTP " + std::to_string(status);
    return {r, false};
  }
  static Answer Throw() { return {{}, true}; }
};

class ScriptedService {
 public:
  explicit ScriptedService(FakePlatform& platform) {
    platform.network.Handle(kFeedPath, [this](const SentRequest& request) {
      std::deque<Answer>& queue = QueueFor(request.query);
      if (queue.empty()) return FakeNetwork::Ok("");
      const Answer answer = queue.front();
      if (queue.size() > 1) queue.pop_front();
      if (answer.raise) throw std::runtime_error("feed client broke down");
      return answer.reply;
    });
  }
  std::deque<Answer> login{Answer::Body("OK")};
  std::deque<Answer> today;
  std::deque<Answer> live;

 private:
  std::deque<Answer>& QueueFor(const std::string& query) {
    if (query.find("&menu=today") != std::string::npos) return today;
    if (query.find("&menu=live") != std::string::npos) return live;
    return login;
  }
};

// A day's record that the today load takes.
inline Element TodayMatch(const std::string& id, const std::string& status, const std::string& home,
                          const std::string& away) {
  Element radar;
  radar.Add("fsum", "10000").Add("f1", "50").Add("fx", "20").Add("f2", "30");
  radar.Add("fk1", "2.10").Add("fkx", "3.40").Add("fk2", "3.20").Add("last", "13:00");
  Element record;
  record.Add("status", status).Add("id", id).Add("day", "1").Add("liga", "England. Premier");
  record.Add("my", "my" + id).Add("date", "10.12").Add("vr", "15:00");
  record.Add("home", home).Add("away", away).Add("score", "0:0");
  record.Add("s1", "5000>>6000>>2.10>>").Add("sx", "5000>>1000>>3.40>>");
  record.Add("s2", "5000>>2000>>3.20>>");
  record.Nested("radar", radar);
  return record;
}

inline Element LiveMatch(const std::string& id, const std::string& home, const std::string& away,
                         const std::string& score, const std::string& minute) {
  Element record;
  record.Add("id", id).Add("liga", "England. Premier").Add("vr", "15:00").Add("time", minute);
  record.Add("home", home).Add("away", away).Add("score", score).Add("tv", "-");
  return record;
}

// The requests of one menu ("" for the login request).
inline int FeedRequests(const FakePlatform& platform, const std::string& menu) {
  int n = 0;
  for (const SentRequest& r : platform.network.To(kFeedPath)) {
    const bool hasMenu = r.query.find("&menu=") != std::string::npos;
    if (menu.empty() ? !hasMenu : r.query.find("&menu=" + menu) != std::string::npos) ++n;
  }
  return n;
}

struct FormHarness {
  FakePlatform platform;
  ScriptedService service{platform};
  MainForm form{platform, kHost};

  // Start-up, the two boxes typed, LOGIN.
  void Login(const std::string& login = "demo", const std::string& password = "demo") {
    form.FormCreate();
    form.SetLoginText(login);
    form.SetPasswordText(password);
    form.spSkinXFormButton7Click();
  }
  bool OnLoginPage() const {
    return form.PageActive() == 0 && form.PageTabs()[0].visible && !form.PageTabs()[1].visible &&
           !form.Timer1().enabled && !form.Timer2().enabled;
  }
  bool OnBoardPage() const {
    return form.PageActive() == 1 && !form.PageTabs()[0].visible && form.PageTabs()[1].visible &&
           form.Timer1().enabled && form.Timer2().enabled;
  }
};

}  // namespace zelko::testing
