#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <string>

#include "cp1251.h"
#include "service_fixture.h"

namespace zelko_service {
namespace {

using testing::RunningService;
using testing::SmallDay;

TEST(ServiceLogin, WrongPasswordOrLoginGivesFail) {
  RunningService running(SmallDay());
  EXPECT_NE(running.Get("/login/zelko.php?login=demo&pass=wrong").find("Fail"), std::string::npos);
  EXPECT_NE(running.Get("/login/zelko.php?login=nobody&pass=demo").find("Fail"), std::string::npos);
  EXPECT_NE(running.Get("/login/zelko.php?login=demo&pass=wrong&menu=today").find("Fail"),
            std::string::npos);
  EXPECT_NE(running.Get("/login/zelko.php?login=demo&pass=wrong&menu=live").find("Fail"),
            std::string::npos);
  EXPECT_EQ(running.Get("/login/zelko.php?login=demo&pass=wrong&menu=today").find("<match>"),
            std::string::npos);
}

TEST(ServiceLogin, RightPasswordGivesOkAndASessionCookie) {
  RunningService running(SmallDay());
  auto client = running.Client();
  auto result = client.Get("/login/zelko.php?login=demo&pass=demo");
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 200);
  EXPECT_EQ(result->body.find("Fail"), std::string::npos);
  EXPECT_EQ(result->get_header_value("Set-Cookie").rfind("zelko_session=", 0), 0u);
}

TEST(ServiceLogin, PercentEncodedWindows1251Credentials) {
  ServiceOptions options = SmallDay();
  options.users = {{"Иван", "p&ss w"}};
  RunningService running(options);
  // "Иван" in Windows-1251 is C8 E2 E0 ED.
  EXPECT_EQ(running.Get("/login/zelko.php?login=%C8%E2%E0%ED&pass=p%26ss%20w").find("Fail"),
            std::string::npos);
  EXPECT_NE(running.Get("/login/zelko.php?login=%C8%E2%E0%ED&pass=p").find("Fail"),
            std::string::npos);
}

TEST(ServiceVersion, MarkerAnswers200OrTheConfiguredStatus) {
  RunningService present(SmallDay());
  auto client = present.Client();
  auto ok = client.Get("/refresh/zelko2.4.txt");
  ASSERT_TRUE(ok);
  EXPECT_EQ(ok->status, 200);

  ServiceOptions options = SmallDay();
  options.versionStatus = 404;
  RunningService gone(options);
  auto goneClient = gone.Client();
  auto missing = goneClient.Get("/refresh/zelko2.4.txt");
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->status, 404);
}

TEST(ServiceSignals, AnalysisAnswersWithTheSimulatedTime) {
  ServiceOptions options = SmallDay();
  options.clockStart = 14 * 60 + 7;
  RunningService running(options);
  const std::string reply = running.Get(
      "/bf/bffa.php?my=500001&status=SOON&score=-&k1=1.85&pr1=40&s1=2000&kx=3.40&prx=30"
      "&sx=1500&k2=4.10&pr2=30&s2=1500&ko05=1.05&pro05=90&so05=900&ku05=9.00&pru05=10&su05=100"
      "&ko15=1.30&pro15=70&so15=700&ku15=3.20&pru15=30&su15=300&ko25=1.90&pro25=55&so25=550"
      "&ku25=1.90&pru25=45&su25=450&ko35=3.10&pro35=30&so35=300&ku35=1.35&pru35=70&su35=700"
      "&ko45=6.00&pro45=10&so45=100&ku45=1.10&pru45=90&su45=900");
  EXPECT_NE(reply.find("<last>14:07</last>"), std::string::npos) << reply;
  const auto signals = running.Service().Signals().LatestSignals(1);
  ASSERT_EQ(signals.size(), 1u);
  EXPECT_EQ(signals[0].path, "/bf/bffa.php");
  EXPECT_EQ(signals[0].clock, "14:07");
  ASSERT_EQ(signals[0].values.size(), 42u);
  EXPECT_EQ(signals[0].values.front(), (std::pair<std::string, std::string>{"my", "500001"}));
  EXPECT_EQ(signals[0].values.back(), (std::pair<std::string, std::string>{"su45", "900"}));
}

class TempDatabase {
 public:
  TempDatabase()
      : path_(std::filesystem::temp_directory_path() /
              ("zelko-service-test-" + std::to_string(getpid()) + "-" +
               std::to_string(reinterpret_cast<std::uintptr_t>(this)) + ".sqlite")) {}
  ~TempDatabase() { std::filesystem::remove(path_); }
  std::string Path() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

TEST(ServiceSignals, PostedSignalsSurviveARestart) {
  TempDatabase db;
  ServiceOptions options = SmallDay();
  options.dbPath = db.Path();
  const std::string home = Utf8ToCp1251("Спартак>>Москва");
  std::string encodedHome;
  for (char c : home) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%%%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
    encodedHome += hex;
  }
  {
    RunningService running(options);
    auto client = running.Client();
    auto login = client.Get("/login/zelko.php?login=demo&pass=demo");
    ASSERT_TRUE(login);
    const std::string cookie = login->get_header_value("Set-Cookie");
    const httplib::Headers headers = {{"Cookie", cookie.substr(0, cookie.find(';'))}};
    auto sb = client.Get(("/bf/sb.php?id=500008&chemp=England.%3E%3EPremier%3E%3ELeague"
                          "&time=15:00&home=" +
                          encodedHome +
                          "&away=Real%3E%3EMadrid&bet=WIN1&kf=2.10&sum=6000&status=SOON"
                          "&score=0:0")
                             .c_str(),
                         headers);
    ASSERT_TRUE(sb);
    EXPECT_EQ(sb->body, "OK");
    // A BigBet without a session: its login stays empty.
    auto bb = running.Client().Get(
        "/bf/bb.php?id=10100003&date=10.05.2025&chemp=Spain.%3E%3ELa%3E%3ELiga&time=18:00"
        "&home=Brighton%3E%3E%26%3E%3EHove%3E%3EAlbion&away=Sevilla&bet=W1&kf=1.95&my=bb");
    ASSERT_TRUE(bb);
    EXPECT_EQ(bb->body, "OK");
  }
  RunningService restarted(options);
  const auto signals = restarted.Service().Signals().LatestSignals(10);
  ASSERT_EQ(signals.size(), 2u);
  const Signal& big = signals[0];
  const Signal& strange = signals[1];
  EXPECT_EQ(strange.path, "/bf/sb.php");
  EXPECT_EQ(strange.login, "demo");
  ASSERT_EQ(strange.values.size(), 10u);
  EXPECT_EQ(strange.values[1].second, "England.>>Premier>>League");
  EXPECT_EQ(strange.values[3].second, "Спартак>>Москва");
  EXPECT_EQ(strange.values[4].second, "Real>>Madrid");
  EXPECT_EQ(strange.values[9], (std::pair<std::string, std::string>{"score", "0:0"}));
  EXPECT_EQ(big.path, "/bf/bb.php");
  EXPECT_EQ(big.login, "");
  ASSERT_EQ(big.values.size(), 9u);
  EXPECT_EQ(big.values[4].second, "Brighton>>&>>Hove>>Albion");
  EXPECT_EQ(big.values[8], (std::pair<std::string, std::string>{"my", "bb"}));
  EXPECT_FALSE(big.received.empty());

  // The page shows what arrived.
  const std::string page = restarted.Get("/");
  EXPECT_NE(page.find("Спартак&gt;&gt;Москва"), std::string::npos);
  EXPECT_NE(page.find("StrangeBet"), std::string::npos);
  EXPECT_NE(page.find("BigBet"), std::string::npos);
  EXPECT_NE(page.find("12:00"), std::string::npos);
}

}  // namespace
}  // namespace zelko_service
