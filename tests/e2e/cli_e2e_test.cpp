// zelko-cli end to end: real processes, real HTTP on 127.0.0.1, a scripted fake service that
// records every request line, and the JSON the twin prints.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "e2e/process.h"
#include "feed/codec.h"
#include "support/feed_builder.h"

namespace zelko::e2e {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using testing::Element;
using testing::Reply;
using namespace std::chrono_literals;

constexpr const char* kProbeLine = "GET /refresh/zelko2.4.txt HTTP/1.1";
constexpr const char* kLoginLine = "GET /login/zelko.php?login=demo&pass=demo HTTP/1.1";
constexpr const char* kTodayLine = "GET /login/zelko.php?login=demo&pass=demo&menu=today HTTP/1.1";
constexpr const char* kLiveLine = "GET /login/zelko.php?login=demo&pass=demo&menu=live HTTP/1.1";

Element TodayMatch(const std::string& id, const std::string& status, const std::string& home,
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

Element LiveMatch(const std::string& id, const std::string& home, const std::string& away,
                  const std::string& score, const std::string& minute) {
  Element record;
  record.Add("id", id).Add("liga", "England. Premier").Add("vr", "15:00").Add("time", minute);
  record.Add("home", home).Add("away", away).Add("score", score).Add("tv", "-");
  return record;
}

// One test's world: a temporary working folder, the fake service's replies and its log.
class CliEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() /
           ("zelko-e2e-" + std::to_string(::getpid()) + "-" + info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "replies");
    fs::create_directories(dir_ / "cwd");
  }
  void TearDown() override {
    service_.reset();
    if (!HasFailure()) fs::remove_all(dir_);
  }

  // Queues a reply for KEY ("/path" or "/path?menu=today"); `body` is UTF-8 and goes out in
  // Windows-1251, as the service speaks. "!404" as body queues a status.
  void Serve(const std::string& key, const std::string& body) {
    if (!body.empty() && body[0] == '!') {
      manifest_ << key << ' ' << body << '\n';
      return;
    }
    const std::string name = "r" + std::to_string(files_++) + ".txt";
    std::ofstream(dir_ / "replies" / name, std::ios::binary) << Utf8ToCp1251(body);
    manifest_ << key << ' ' << name << '\n';
  }
  // The usual day: the marker, a login that passes, and the given feeds.
  void ServeDay(const std::string& today, const std::string& live) {
    Serve("/refresh/zelko2.4.txt", "2.4");
    Serve("/login/zelko.php", "OK");
    Serve("/login/zelko.php?menu=today", today);
    Serve("/login/zelko.php?menu=live", live);
  }

  void StartService() {
    std::ofstream(dir_ / "replies" / "replies.txt") << manifest_.str();
    service_ =
        std::make_unique<Child>(ZELKO_FAKE_SERVICE_PATH,
                                std::vector<std::string>{"--log", (dir_ / "requests.log").string(),
                                                         "--dir", (dir_ / "replies").string()},
                                dir_.string());
    const std::string port = service_->ReadLine(10s);
    ASSERT_FALSE(port.empty()) << "the fake service did not start";
    host_ = "127.0.0.1:" + port;
  }

  struct Run {
    int exitCode = -1;
    std::vector<json> lines;
    std::string err;
    // The lines with this top-level key, in order.
    std::vector<json> With(const std::string& key) const {
      std::vector<json> out;
      for (const json& line : lines)
        if (line.contains(key)) out.push_back(line);
      return out;
    }
    std::vector<json> Events(const std::string& kind) const {
      std::vector<json> out;
      for (const json& line : lines)
        if (line.value("event", "") == kind) out.push_back(line);
      return out;
    }
  };

  // The script against this test's service, with no ZELKO_SERVICE from outside.
  Run RunCli(const std::string& script) {
    return RunCliWith(script, {"--service", host_}, {{"ZELKO_SERVICE", ""}});
  }
  Run RunCliWith(const std::string& script, std::vector<std::string> args,
                 const std::map<std::string, std::string>& env) {
    const fs::path scriptFile = dir_ / "script.txt";
    std::ofstream(scriptFile) << script;
    args.push_back("--script");
    args.push_back(scriptFile.string());
    Child cli(ZELKO_CLI_PATH, args, (dir_ / "cwd").string(), env);
    const Finished done = cli.Wait(120s);
    Run run;
    run.exitCode = done.exitCode;
    run.err = done.err;
    std::istringstream out(done.out);
    std::string line;
    while (std::getline(out, line)) {
      if (line.empty()) continue;
      json parsed = json::parse(line, nullptr, false);
      EXPECT_FALSE(parsed.is_discarded()) << "not JSON: " << line;
      run.lines.push_back(std::move(parsed));
    }
    return run;
  }

  std::vector<std::string> RequestLines() const {
    std::vector<std::string> lines;
    std::ifstream log(dir_ / "requests.log");
    std::string line;
    while (std::getline(log, line)) lines.push_back(line);
    return lines;
  }
  int CountLines(const std::string& exact) const {
    const auto lines = RequestLines();
    return static_cast<int>(std::count(lines.begin(), lines.end(), exact));
  }
  int CountPrefixed(const std::string& prefix) const {
    int n = 0;
    for (const std::string& line : RequestLines()) n += line.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
  }

  static constexpr const char* kLogin = "type loginedit demo\ntype passedit demo\nclick LOGIN\n";

  fs::path dir_;
  std::ostringstream manifest_;
  int files_ = 0;
  std::unique_ptr<Child> service_;
  std::string host_;
};

TEST_F(CliEndToEnd, ALoginThatFailsStaysOnTheLoginPage) {
  Serve("/refresh/zelko2.4.txt", "2.4");
  Serve("/login/zelko.php", "Login Fail");
  StartService();
  const Run run = RunCli(std::string(kLogin) + "dump form\n");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  ASSERT_EQ(run.Events("message").size(), 1u);
  EXPECT_EQ(run.Events("message")[0]["text"], "Autorization Failed!");
  const json form = run.With("form").at(0)["form"];
  EXPECT_EQ(form["tabs"]["Page"]["active"], 0);
  EXPECT_EQ(form["tabs"]["Page"]["tabs"][0]["visible"], true);
  EXPECT_EQ(form["Timer1"], false);
  EXPECT_EQ(RequestLines(), (std::vector<std::string>{kProbeLine, kLoginLine}));
  EXPECT_FALSE(fs::exists(dir_ / "cwd" / "log.log"));
}

TEST_F(CliEndToEnd, ALoginThatSucceedsLoadsTheBoardsAndRemembersTheUser) {
  ServeDay(
      Reply({TodayMatch("7", "SOON", "Alpha", "Beta"), TodayMatch("8", "LIVE", "Gamma", "Delta")}),
      Reply({LiveMatch("8", "Gamma", "Delta", "1:0", "12")}));
  StartService();
  const Run run = RunCli(std::string("click zap\n") + kLogin + "dump form\ndump RX2\n");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(run.Events("message").empty());
  EXPECT_TRUE(run.Events("error").empty());

  const json form = run.With("form").at(0)["form"];
  EXPECT_EQ(form["caption"], "ZELKO");
  EXPECT_EQ(form["resizable"], true);
  EXPECT_EQ(form["tabs"]["Page"]["active"], 1);
  EXPECT_EQ(form["tabs"]["Page"]["tabs"],
            json::parse(R"([{"caption":"ABOUT","visible":false},{"caption":"Zelko","visible":true},
                            {"caption":"LIVE","visible":false}])"));
  EXPECT_EQ(form["tabs"]["Page2"]["tabs"][1]["visible"], false);
  EXPECT_EQ(form["Timer1"], true);
  EXPECT_EQ(form["Timer2"], true);
  EXPECT_EQ(form["LiveCountdown"], 60);
  EXPECT_EQ(form["MoneyCountdown"], 300);
  EXPECT_EQ(form["count"], "Count: 2");
  EXPECT_EQ(form["zap"], true);
  for (const char* key :
       {"livetime", "livetime2", "progress", "LiveOption", "loginedit", "passedit", "filtr", "sort",
        "auto", "checker1", "checker2", "checker3", "checker4", "checker5", "checker6"}) {
    EXPECT_TRUE(form.contains(key)) << key;
  }

  const json grid = run.With("grid").at(0);
  EXPECT_EQ(grid["grid"], "RX2");
  EXPECT_EQ(grid["rows"], 2);
  EXPECT_EQ(grid["columns"], 115);
  EXPECT_EQ(grid["visible"].size(), 115u);
  ASSERT_EQ(grid["cells"].size(), 2u);
  EXPECT_EQ(grid["cells"][0][6]["text"], "Alpha");
  EXPECT_EQ(grid["cells"][1][72]["text"], "1:0");
  EXPECT_TRUE(grid["cells"][0][3].contains("checked"));  // the favourite box
  EXPECT_TRUE(grid["cells"][0][4].contains("image"));    // the flag
  EXPECT_FALSE(grid["cells"][0][6].contains("image"));
  EXPECT_TRUE(grid["cells"][0][6]["color"].is_number_unsigned());

  EXPECT_EQ(RequestLines(),
            (std::vector<std::string>{kProbeLine, kLoginLine, kTodayLine, kLiveLine}));
  const fs::path saved = dir_ / "cwd" / "log.log";
  ASSERT_TRUE(fs::exists(saved));
  std::ifstream in(saved, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "demo\r\ndemo\r\n");
  struct stat info {};
  ASSERT_EQ(::stat(saved.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(CliEndToEnd, TicksRunUpToBothRefreshes) {
  ServeDay(Reply({TodayMatch("7", "SOON", "Alpha", "Beta")}), "");
  StartService();
  const Run run = RunCli(std::string("tick Timer1\n") + kLogin +  // dropped: not running yet
                         "tick Timer1 59\ntick Timer2 299\ndump form\n"
                         "tick Timer1\ndump form\ntick Timer2\ndump form\n"
                         "tick Timer1\ntick Timer2\ndump form\n");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<json> forms = run.With("form");
  ASSERT_EQ(forms.size(), 4u);
  EXPECT_EQ(forms[0]["form"]["livetime"], "LIVE Refresh from 1 sec.");
  EXPECT_EQ(forms[0]["form"]["livetime2"], "Refresh Money 1 sec.");
  EXPECT_EQ(forms[1]["form"]["livetime"], "LIVE Refresh from 0 sec.");
  EXPECT_EQ(forms[1]["form"]["LiveCountdown"], 60);
  EXPECT_EQ(forms[2]["form"]["livetime2"], "Refresh Money 0 sec.");
  EXPECT_EQ(forms[2]["form"]["MoneyCountdown"], 300);
  EXPECT_EQ(forms[3]["form"]["livetime"], "LIVE Refresh from 59 sec.");
  EXPECT_EQ(forms[3]["form"]["livetime2"], "Refresh Money 299 sec.");
  EXPECT_EQ(RequestLines(), (std::vector<std::string>{kProbeLine, kLoginLine, kTodayLine, kLiveLine,
                                                      kLiveLine, kTodayLine}));
}

TEST_F(CliEndToEnd, APausedCountdownDropsItsTicks) {
  ServeDay(Reply({TodayMatch("7", "SOON", "Alpha", "Beta")}), "");
  StartService();
  const Run run = RunCli(std::string(kLogin) +
                         "tick Timer1 10\nclick livetime\ntick Timer1 100\ndump form\n"
                         "click livetime\ntick Timer1\ndump form\n");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<json> forms = run.With("form");
  ASSERT_EQ(forms.size(), 2u);
  EXPECT_EQ(forms[0]["form"]["Timer1"], false);
  EXPECT_EQ(forms[0]["form"]["LiveCountdown"], 50);
  EXPECT_EQ(forms[1]["form"]["livetime"], "LIVE Refresh from 49 sec.");
  EXPECT_EQ(CountLines(kLiveLine), 1);
}

TEST_F(CliEndToEnd, AFavouriteAndItsReport) {
  ServeDay(
      Reply({TodayMatch("7", "SOON", "Alpha", "Beta"), TodayMatch("8", "SOON", "Gamma", "Delta")}),
      "");
  StartService();
  const Run run = RunCli(std::string(kLogin) + "click RX2 3 1\ndump form\ndump RX3\nclick SAVE\n");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const json form = run.With("form").at(0)["form"];
  EXPECT_EQ(form["tabs"]["Page2"]["tabs"][1],
            json::parse(R"j({"caption":"Favorite (1)","visible":true})j"));
  const json rx3 = run.With("grid").at(0);
  EXPECT_EQ(rx3["grid"], "RX3");
  ASSERT_EQ(rx3["rows"], 1);
  EXPECT_EQ(rx3["cells"][0][6]["text"], "Gamma");
  EXPECT_EQ(rx3["cells"][0][3]["image"], 0);  // the red cross

  ASSERT_EQ(run.Events("open").size(), 1u);
  EXPECT_EQ(run.Events("open")[0]["target"], "report.html");
  const fs::path report = dir_ / "cwd" / "report.html";
  ASSERT_TRUE(fs::exists(report));
  std::ifstream in(report, std::ios::binary);
  const std::string html(std::istreambuf_iterator<char>(in), {});
  EXPECT_NE(html.find("Gamma"), std::string::npos);
  EXPECT_EQ(html.find("Alpha"), std::string::npos);
}

TEST_F(CliEndToEnd, AGoalWithAutoTickedIsAnalysed) {
  ServeDay(Reply({TodayMatch("8", "LIVE", "Gamma", "Delta")}),
           Reply({LiveMatch("8", "Gamma", "Delta", "0:0", "30")}));
  Serve("/login/zelko.php?menu=live", Reply({LiveMatch("8", "Gamma", "Delta", "1:0", "31")}));
  Serve("/bf/bffa.php", "<last>14:07</last>");
  StartService();
  const Run run = RunCli(std::string(kLogin) +
                         "click auto\ntick Timer1 60\ndump LiveStatGrid\n"
                         "dump form\n");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(run.Events("error").empty()) << run.Events("error")[0];
  EXPECT_GE(CountPrefixed("GET /bf/bffa.php?my=my8&status=LIVE&score=1%3A0&"), 1);
  const json goals = run.With("grid").at(0);
  EXPECT_EQ(goals["grid"], "LiveStatGrid");
  EXPECT_GE(goals["rows"], 1);
  EXPECT_EQ(run.With("form").at(0)["form"]["Timer1"], true);
}

TEST_F(CliEndToEnd, AGoalWithoutAutoIsNotAnalysed) {
  ServeDay(Reply({TodayMatch("8", "LIVE", "Gamma", "Delta")}),
           Reply({LiveMatch("8", "Gamma", "Delta", "0:0", "30")}));
  Serve("/login/zelko.php?menu=live", Reply({LiveMatch("8", "Gamma", "Delta", "1:0", "31")}));
  StartService();
  const Run run = RunCli(std::string(kLogin) + "tick Timer1 60\n");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(CountPrefixed("GET /bf/bffa.php"), 0);
  EXPECT_EQ(CountLines(kLiveLine), 2);
}

TEST_F(CliEndToEnd, AnOutdatedReleaseOpensTheProductPageAndCloses) {
  Serve("/refresh/zelko2.4.txt", "!404");
  StartService();
  const Run run = RunCli(std::string(kLogin) + "dump form\n");
  EXPECT_EQ(run.exitCode, 0);
  ASSERT_EQ(run.lines.size(), 3u);  // nothing runs after the window has closed
  EXPECT_EQ(run.lines[0]["event"], "message");
  EXPECT_EQ(run.lines[0]["text"],
            "Update Programm from site zelko.example\n\rОбновите программу с сайта!");
  EXPECT_EQ(run.lines[1],
            json::parse(R"({"event":"open","target":"http://zelko.example/index.php?option=)"
                        R"(com_content&view=article&id=303&Itemid=42"})"));
  EXPECT_EQ(run.lines[2], json::parse(R"({"event":"closed"})"));
  EXPECT_EQ(RequestLines(), std::vector<std::string>{kProbeLine});
}

TEST_F(CliEndToEnd, AServiceOutOfReachKeepsTheWindowOpen) {
  StartService();
  service_.reset();  // nothing listens on its port any more
  const Run run = RunCli(std::string(kLogin) + "dump form\n");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  ASSERT_EQ(run.Events("message").size(), 1u);
  EXPECT_EQ(run.Events("message")[0]["text"], "The service cannot be reached.");
  EXPECT_TRUE(run.Events("closed").empty());
  EXPECT_EQ(run.With("form").size(), 1u);
}

TEST_F(CliEndToEnd, AFailedLoginRequestSaysSoAndSavesNothing) {
  Serve("/refresh/zelko2.4.txt", "2.4");
  Serve("/login/zelko.php", "!500");
  StartService();
  const Run run = RunCli(std::string("click zap\n") + kLogin + "dump form\n");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  ASSERT_EQ(run.Events("message").size(), 1u);
  EXPECT_EQ(run.Events("message")[0]["text"], "Connection to the service failed.");
  EXPECT_EQ(run.With("form").at(0)["form"]["tabs"]["Page"]["active"], 0);
  EXPECT_FALSE(fs::exists(dir_ / "cwd" / "log.log"));
}

TEST_F(CliEndToEnd, TheServiceComesFromTheOptionElseTheEnvironment) {
  Serve("/refresh/zelko2.4.txt", "2.4");
  Serve("/login/zelko.php", "Fail");
  StartService();
  // The environment alone.
  Run run = RunCliWith(kLogin, {}, {{"ZELKO_SERVICE", host_}});
  EXPECT_EQ(CountLines(kLoginLine), 1);
  EXPECT_EQ(run.Events("message").at(0)["text"], "Autorization Failed!");
  // The option wins over the environment.
  run = RunCliWith(kLogin, {"--service", host_}, {{"ZELKO_SERVICE", "127.0.0.1:1"}});
  EXPECT_EQ(CountLines(kLoginLine), 2);
  EXPECT_EQ(run.Events("message").at(0)["text"], "Autorization Failed!");
}

TEST_F(CliEndToEnd, AnUnreadableCommandNamesItsLineAndExitsWith2) {
  StartService();
  const Run run = RunCli("# a comment\n\ndump form\nclick nowhere\ndump form\n");
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.err.find("line 4"), std::string::npos) << run.err;
  EXPECT_EQ(run.With("form").size(), 1u);
}

TEST_F(CliEndToEnd, CredentialsOfOneLineFromAnEarlierRunFillTheLoginBox) {
  StartService();
  std::ofstream(dir_ / "cwd" / "log.log", std::ios::binary) << "anna\r\n";
  const Run run = RunCli("dump form\n");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const json form = run.With("form").at(0)["form"];
  EXPECT_EQ(form["loginedit"], "anna");
  EXPECT_EQ(form["passedit"], "");
  EXPECT_EQ(form["zap"], true);
  EXPECT_EQ(form["sort"], "Time");
}

}  // namespace
}  // namespace zelko::e2e
