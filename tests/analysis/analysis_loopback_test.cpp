#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "analysis/analysis.h"
#include "analysis_fixture.h"
#include "board/columns.h"
#include "feed/curl_http_client.h"
#include "feed/service_url.h"
#include "support/loopback_server.h"

namespace zelko::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::SizeIs;

// The analysis's own client is a real libcurl client; the signals stay on the fake network.
class AnalysisLoopbackTest : public AnalysisFixture {
 protected:
  AnalysisLoopbackTest() {
    platform.makeClient = [](ClientProfile profile, std::string name) {
      RequestLimits limits;
      limits.connectTimeout = std::chrono::milliseconds(2000);
      limits.stallTimeout = std::chrono::milliseconds(2000);
      return std::make_unique<CurlHttpClient>(profile, std::move(name), limits);
    };
    SetDistinctSelections();
  }
  void Run() {
    AnalysisContext context = Context();
    AnalyzeMatch(context, rx, row);
  }
  void ExpectTidy() {
    EXPECT_FALSE(progress.visible);
    EXPECT_TRUE(rx.Enabled());
    EXPECT_TRUE(timer1.enabled);
    EXPECT_TRUE(timer2.enabled);
  }
};

TEST_F(AnalysisLoopbackTest, TheServiceSeesTheExactQuery) {
  test::LoopbackServer server;
  server.http().Get("/bf/bffa.php", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("<reply><last>08:15</last></reply>", "text/html");
  });
  server.Start();
  sender.host = server.HostPort();

  Run();
  const auto requests = server.Requests();
  ASSERT_THAT(requests, SizeIs(1));
  EXPECT_EQ(requests[0].method, "GET");
  EXPECT_EQ(requests[0].target, std::string("/bf/bffa.php?") + kDistinctQuery);
  EXPECT_EQ(requests[0].Header("User-Agent"), kSingleRequestUserAgent);
  EXPECT_EQ(rx.CellText(col::update, row), "Last Update");
  EXPECT_EQ(rx.CellText(col::last, row), "08:15");
  ExpectTidy();

  Run();
  ASSERT_THAT(server.Requests(), SizeIs(2));
  EXPECT_EQ(server.Requests()[1].target, requests[0].target);
}

TEST_F(AnalysisLoopbackTest, AnErrorStatusRaisesAfterTheRunEnds) {
  test::LoopbackServer server;
  server.http().Get("/bf/bffa.php", [](const httplib::Request&, httplib::Response& res) {
    res.status = 503;
    res.set_content("<last>99:99</last>", "text/html");
  });
  server.Start();
  sender.host = server.HostPort();
  rx.SetCellText(col::last, row, "10:00");

  EXPECT_THROW(Run(), ServiceError);
  ExpectTidy();
  EXPECT_EQ(rx.CellText(col::last, row), "10:00");
  EXPECT_EQ(rx.CellText(col::update, row), "");
}

TEST_F(AnalysisLoopbackTest, NoServiceRaisesAfterTheRunEnds) {
  sender.host = std::string(test::kLoopbackHost) + ":" + std::to_string(test::UnusedLoopbackPort());
  try {
    Run();
    ADD_FAILURE() << "no error";
  } catch (const ServiceError& e) {
    ExpectTidy();
    EXPECT_THAT(e.what(), HasSubstr("/bf/bffa.php"));
  }
}

}  // namespace
}  // namespace zelko::testing
