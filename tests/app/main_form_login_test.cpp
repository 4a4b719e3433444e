// Start-up, the remembered credentials, the version probe and the login.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/form_harness.h"
#include "feed/codec.h"

namespace zelko::testing {
namespace {

const std::string kUpdateMessage =
    "Update Programm from site zelko.example\n\rОбновите программу с сайта!";
const std::string kProductPage =
    "http://zelko.example/index.php?option=com_content&view=article&id=303&Itemid=42";

// --- Start-up and "log.log" ---------------------------------------------------------------

struct CredentialsCase {
  const char* name;
  std::string file;  // raw bytes
  std::string login;
  std::string password;
};

class LoadCredentialsTest : public ::testing::TestWithParam<CredentialsCase> {};

TEST_P(LoadCredentialsTest, FillsWhatTheFileHasAndStillRunsTheCreationStep) {
  FormHarness h;
  h.platform.files["log.log"] = GetParam().file;
  h.form.FormCreate();
  EXPECT_EQ(h.form.loginedit(), GetParam().login);
  EXPECT_EQ(h.form.passedit(), GetParam().password);
  EXPECT_TRUE(h.form.zap());
  // The rest of the creation step is not cut short by a short file.
  EXPECT_FALSE(h.form.PageTabs()[1].visible);
  EXPECT_FALSE(h.form.PageTabs()[2].visible);
  EXPECT_FALSE(h.form.Page2Tabs()[1].visible);
  EXPECT_EQ(h.form.MoneyCountdown(), 300);
  EXPECT_EQ(h.form.sort(), "Time");
  EXPECT_TRUE(h.platform.errors.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoadCredentialsTest,
    ::testing::Values(CredentialsCase{"TwoLines", "anna\r\nsecret\r\n", "anna", "secret"},
                      CredentialsCase{"OneLine", "anna\r\n", "anna", ""},
                      CredentialsCase{"OneLineWithoutEnd", "anna", "anna", ""},
                      CredentialsCase{"Empty", "", "", ""},
                      CredentialsCase{"UnixLines", "anna\nsecret\n", "anna", "secret"},
                      CredentialsCase{"ExtraLines", "anna\r\nsecret\r\nmore\r\n", "anna", "secret"},
                      CredentialsCase{"EmptyLogin", "\r\nsecret\r\n", "", "secret"},
                      CredentialsCase{"Cp1251", Utf8ToCp1251("Иван\r\nпароль 1\r\n"), "Иван",
                                      "пароль 1"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(FormCreateTest, WithoutLogLogTheBoxesStayEmptyAndZapUnticked) {
  FormHarness h;
  h.form.FormCreate();
  EXPECT_EQ(h.form.loginedit(), "");
  EXPECT_EQ(h.form.passedit(), "");
  EXPECT_FALSE(h.form.zap());
  EXPECT_TRUE(h.OnLoginPage());
  EXPECT_EQ(h.form.LiveCountdown(), 0);
  EXPECT_EQ(h.form.MoneyCountdown(), 300);
  // Nothing is requested before the login.
  EXPECT_TRUE(h.platform.network.requests.empty());
  EXPECT_TRUE(h.platform.probes.empty());
}

// --- The version probe --------------------------------------------------------------------

TEST(VersionProbeTest, ProbesTheMarkerOnTheServiceHost) {
  FormHarness h;
  h.Login();
  EXPECT_EQ(h.platform.probes,
            std::vector<std::string>{"http://svc.test:8024/refresh/zelko2.4.txt"});
}

TEST(VersionProbeTest, CheckUrlExistsPutsTheSchemeInFrontOnlyWhenNoneIsThere) {
  FormHarness h;
  EXPECT_TRUE(h.form.CheckUrlExists("svc.test/a.txt"));
  EXPECT_TRUE(h.form.CheckUrlExists("HTTP://svc.test/b.txt"));
  EXPECT_TRUE(h.form.CheckUrlExists("http://svc.test/c.txt"));
  EXPECT_EQ(h.platform.probes,
            (std::vector<std::string>{"http://svc.test/a.txt", "HTTP://svc.test/b.txt",
                                      "http://svc.test/c.txt"}));
  h.platform.probeOutcome = ProbeOutcome::OtherStatus;
  EXPECT_FALSE(h.form.CheckUrlExists("svc.test/a.txt"));
  h.platform.probeOutcome = ProbeOutcome::NoAnswer;
  EXPECT_FALSE(h.form.CheckUrlExists("svc.test/a.txt"));
}

// A probe without any answer is no verdict on this release: the user hears that the service
// is out of reach and stays on the login page to try again.
TEST(VersionProbeTest, NoAnswerSaysUnreachableAndKeepsTheWindowOpen) {
  FormHarness h;
  h.platform.probeOutcome = ProbeOutcome::NoAnswer;
  h.Login();
  EXPECT_EQ(h.platform.messages, std::vector<std::string>{"The service cannot be reached."});
  EXPECT_TRUE(h.platform.opened.empty());
  EXPECT_FALSE(h.platform.closed);
  EXPECT_FALSE(h.form.Closed());
  EXPECT_TRUE(h.OnLoginPage());
  EXPECT_TRUE(h.platform.network.requests.empty());

  // Once the service answers again, the same window logs in.
  h.platform.probeOutcome = ProbeOutcome::Exists;
  h.form.spSkinXFormButton7Click();
  EXPECT_TRUE(h.OnBoardPage());
}

TEST(VersionProbeTest, AnotherStatusAsksForTheUpdateOpensTheProductPageAndCloses) {
  FormHarness h;
  h.platform.probeOutcome = ProbeOutcome::OtherStatus;
  h.Login();
  EXPECT_EQ(h.platform.messages, std::vector<std::string>{kUpdateMessage});
  EXPECT_EQ(h.platform.opened, std::vector<std::string>{kProductPage});
  EXPECT_TRUE(h.platform.closed);
  EXPECT_TRUE(h.form.Closed());
  EXPECT_TRUE(h.platform.network.requests.empty());
  EXPECT_TRUE(h.platform.files.empty());
}

// --- The login request --------------------------------------------------------------------

TEST(LoginTest, SendsTheTypedCredentialsThroughIdHttp1) {
  FormHarness h;
  h.Login("anna", "s3cret");
  const std::vector<SentRequest> sent = h.platform.network.To(kFeedPath);
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent[0].client, "IdHTTP1");
  EXPECT_EQ(sent[0].url, "http://svc.test:8024/login/zelko.php?login=anna&pass=s3cret");
  EXPECT_EQ(h.form.CurrentLogin(), "anna");
  EXPECT_EQ(h.form.CurrentPassword(), "s3cret");
}

TEST(LoginTest, RunsTheSuccessSequenceInOrder) {
  FormHarness h;
  h.service.today = {Answer::Body(Reply(
      {TodayMatch("7", "SOON", "Alpha", "Beta"), TodayMatch("8", "LIVE", "Gamma", "Delta")}))};
  h.service.live = {Answer::Body(Reply({LiveMatch("8", "Gamma", "Delta", "1:0", "12")}))};
  h.Login();

  const std::vector<SentRequest> sent = h.platform.network.To(kFeedPath);
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[0].query, "login=demo&pass=demo");
  EXPECT_EQ(sent[1].query, "login=demo&pass=demo&menu=today");
  EXPECT_EQ(sent[2].query, "login=demo&pass=demo&menu=live");
  EXPECT_EQ(h.form.Caption(), "ZELKO");
  EXPECT_TRUE(h.form.Resizable());
  EXPECT_EQ(h.form.LiveCountdown(), 60);
  EXPECT_EQ(h.form.MoneyCountdown(), 300);
  EXPECT_TRUE(h.OnBoardPage());
  EXPECT_FALSE(h.form.PageTabs()[2].visible);
  EXPECT_FALSE(h.form.Page2Tabs()[1].visible);
  // The live merge ran before the filter: RX2 was built from the merged RX.
  ASSERT_EQ(h.form.RX2().RowCount(), 2);
  EXPECT_EQ(h.form.RX2().CellText(72, 1), "1:0");
  EXPECT_EQ(h.form.count(), "Count: 2");
  EXPECT_TRUE(h.platform.messages.empty());
  EXPECT_TRUE(h.platform.errors.empty());
}

struct ReplyCase {
  const char* name;
  std::string body;
  bool fails;
};

class LoginReplyTest : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(LoginReplyTest, OnlyFailAnywhereInTheReplyRefusesTheLogin) {
  FormHarness h;
  h.service.login = {Answer::Body(GetParam().body)};
  h.Login();
  if (GetParam().fails) {
    EXPECT_EQ(h.platform.messages, std::vector<std::string>{"Autorization Failed!"});
    EXPECT_TRUE(h.OnLoginPage());
    EXPECT_EQ(FeedRequests(h.platform, "today"), 0);
  } else {
    EXPECT_TRUE(h.platform.messages.empty());
    EXPECT_TRUE(h.OnBoardPage());
  }
}

INSTANTIATE_TEST_SUITE_P(Replies, LoginReplyTest,
                         ::testing::Values(ReplyCase{"Fail", "Fail", true},
                                           ReplyCase{"Inside", "LoginFailed: wrong", true},
                                           ReplyCase{"LowerCase", "fail", false},
                                           ReplyCase{"Empty", "", false},
                                           ReplyCase{"Ok", "OK", false}),
                         [](const auto& test) { return std::string(test.param.name); });

struct FailedRequestCase {
  const char* name;
  int status;  // 0: no connection
};

class FailedLoginRequestTest : public ::testing::TestWithParam<FailedRequestCase> {};

// A request that fails is not a login: the user is told, stays on the login page, and nothing
// is saved, loaded or started.
TEST_P(FailedLoginRequestTest, SaysConnectionFailedAndStaysOnTheLoginPage) {
  FormHarness h;
  h.platform.files["log.log"] = "old\r\nold\r\n";
  h.service.login = {Answer::Status(GetParam().status)};
  h.Login("anna", "new");
  EXPECT_EQ(h.platform.messages, std::vector<std::string>{"Connection to the service failed."});
  EXPECT_TRUE(h.OnLoginPage());
  EXPECT_FALSE(h.form.Resizable());
  EXPECT_EQ(h.platform.files.at("log.log"), "old\r\nold\r\n");
  EXPECT_EQ(FeedRequests(h.platform, "today"), 0);
  EXPECT_EQ(FeedRequests(h.platform, "live"), 0);
  EXPECT_FALSE(h.form.Closed());
}

INSTANTIATE_TEST_SUITE_P(Failures, FailedLoginRequestTest,
                         ::testing::Values(FailedRequestCase{"NoConnection", 0},
                                           FailedRequestCase{"ServerError", 500},
                                           FailedRequestCase{"NotFound", 404}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(FailedLoginRequestTest, TheUserMayTryAgain) {
  FormHarness h;
  h.service.login = {Answer::Status(0), Answer::Body("OK")};
  h.Login();
  EXPECT_TRUE(h.OnLoginPage());
  h.form.spSkinXFormButton7Click();
  EXPECT_TRUE(h.OnBoardPage());
}

// --- Saving the credentials ---------------------------------------------------------------

TEST(SaveCredentialsTest, TickedZapWritesTwoCrLfLinesOwnerOnlyInWindows1251) {
  FormHarness h;
  h.form.FormCreate();
  h.form.zapClick();
  h.form.SetLoginText("Иван");
  h.form.SetPasswordText("a b&c");
  h.form.spSkinXFormButton7Click();
  ASSERT_TRUE(h.OnBoardPage());
  ASSERT_EQ(h.platform.files.count("log.log"), 1u);
  EXPECT_EQ(h.platform.files["log.log"], Utf8ToCp1251("Иван") + "\r\na b&c\r\n");
  EXPECT_TRUE(h.platform.ownerOnlyFiles["log.log"]);
}

TEST(SaveCredentialsTest, UntickedZapWritesNothingAndRemovesAnEarlierFile) {
  FormHarness h;
  h.platform.files["log.log"] = "anna\r\nsecret\r\n";
  h.form.FormCreate();
  ASSERT_TRUE(h.form.zap());
  h.form.zapClick();  // "do not remember me"
  h.form.spSkinXFormButton7Click();
  ASSERT_TRUE(h.OnBoardPage());
  EXPECT_EQ(h.platform.files.count("log.log"), 0u);
}

TEST(SaveCredentialsTest, UntickedZapWithoutAFileWritesNone) {
  FormHarness h;
  h.Login();
  ASSERT_TRUE(h.OnBoardPage());
  EXPECT_TRUE(h.platform.files.empty());
}

TEST(SaveCredentialsTest, RestoredCredentialsAreSavedAgain) {
  FormHarness h;
  h.platform.files["log.log"] = "anna\r\nsecret\r\n";
  h.form.FormCreate();
  h.form.spSkinXFormButton7Click();
  ASSERT_TRUE(h.OnBoardPage());
  EXPECT_EQ(h.platform.files["log.log"], "anna\r\nsecret\r\n");
  EXPECT_EQ(h.form.CurrentLogin(), "anna");
}

TEST(SaveCredentialsTest, AnUnwritableFileIsReportedAndTheLoginGoesOn) {
  FormHarness h;
  h.platform.unwritable["log.log"] = true;
  h.form.FormCreate();
  h.form.zapClick();
  h.form.spSkinXFormButton7Click();
  EXPECT_TRUE(h.OnBoardPage());
  ASSERT_EQ(h.platform.errors.size(), 1u);
  EXPECT_NE(h.platform.errors[0].find("log.log"), std::string::npos);
}

}  // namespace
}  // namespace zelko::testing
