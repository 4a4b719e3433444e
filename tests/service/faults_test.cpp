#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "service_fixture.h"

namespace zelko_service {
namespace {

using testing::RawGet;
using testing::RunningService;
using testing::SmallDay;

std::size_t ContentLength(const std::string& reply) {
  const std::size_t at = reply.find("Content-Length: ");
  if (at == std::string::npos) return 0;
  return std::stoul(reply.substr(at + 16));
}

std::size_t BodySize(const std::string& reply) {
  const std::size_t head = reply.find("\r\n\r\n");
  return head == std::string::npos ? 0 : reply.size() - head - 4;
}

TEST(ServiceFaults, EveryKindOccursWithRateOne) {
  ServiceOptions options = SmallDay();
  options.faultRate = 1.0;
  options.faultDelaySeconds = 1.5;
  RunningService running(options);
  const std::string target = "/login/zelko.php?login=demo&pass=demo&menu=today";

  const auto error = RawGet(running.Port(), target, 3000);
  EXPECT_EQ(error.bytes.rfind("HTTP/1.1 500", 0), 0u) << error.bytes.substr(0, 40);

  // The stall: nothing within the wait, the reply only after the delay.
  const auto start = std::chrono::steady_clock::now();
  const auto stalled = RawGet(running.Port(), target, 500);
  EXPECT_TRUE(stalled.timedOut);
  EXPECT_TRUE(stalled.bytes.empty());
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(450));

  const auto cut = RawGet(running.Port(), target, 3000);
  EXPECT_FALSE(cut.timedOut);
  EXPECT_EQ(cut.bytes.rfind("HTTP/1.1 200", 0), 0u);
  EXPECT_GT(BodySize(cut.bytes), 0u);
  EXPECT_LT(BodySize(cut.bytes), ContentLength(cut.bytes));

  const auto dropped = RawGet(running.Port(), target, 3000);
  EXPECT_FALSE(dropped.timedOut);
  EXPECT_TRUE(dropped.bytes.empty());

  const auto garbage = RawGet(running.Port(), target, 3000);
  EXPECT_FALSE(garbage.timedOut);
  EXPECT_FALSE(garbage.bytes.empty());
  EXPECT_NE(garbage.bytes.rfind("HTTP/", 0), 0u);

  // And round again.
  const auto again = RawGet(running.Port(), target, 3000);
  EXPECT_EQ(again.bytes.rfind("HTTP/1.1 500", 0), 0u);
}

TEST(ServiceFaults, ClientSeesFailures) {
  ServiceOptions options = SmallDay();
  options.faultRate = 1.0;
  options.faultDelaySeconds = 1.0;
  RunningService running(options);
  httplib::Client client("127.0.0.1", running.Port());
  client.set_read_timeout(0, 300'000);
  for (int i = 0; i < 5; ++i) {
    auto result = client.Get("/bf/sb.php?id=1&bet=WIN1");
    EXPECT_TRUE(!result || result->status == 500) << "request " << i;
  }
}

TEST(ServiceFaults, ShareOfFaultsFollowsTheRate) {
  FaultPlan plan(0.25, 0);
  int faults = 0;
  for (int i = 0; i < 100; ++i) faults += plan.Next() == Fault::kNone ? 0 : 1;
  EXPECT_EQ(faults, 25);
  FaultPlan none(0, 0);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(none.Next(), Fault::kNone);
}

TEST(ServiceFaults, StatusPageNeverFails) {
  ServiceOptions options = SmallDay();
  options.faultRate = 1.0;
  RunningService running(options);
  for (int i = 0; i < 5; ++i) {
    EXPECT_NE(running.Get("/").find("Zelko demo service"), std::string::npos);
  }
}

}  // namespace
}  // namespace zelko_service
