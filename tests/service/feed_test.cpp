#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include "cp1251.h"
#include "feed/records.h"
#include "feed_format.h"
#include "service_fixture.h"

namespace zelko_service {
namespace {

using testing::RunningService;
using testing::SmallDay;

const std::regex kInteger("-?[0-9]+");
const std::regex kOdds("[0-9]+\\.[0-9]{2}");
const std::regex kTime("[0-2][0-9]:[0-5][0-9]");
const std::regex kScore("[0-9]+:[0-9]+");
const std::regex kSelectionText("[0-9]+>>[0-9]+>>[0-9]+\\.[0-9]{2}>>");
const std::regex kDate("[0-3][0-9]\\.[01][0-9]\\.[0-9]{4}");
const std::regex kPair("[0-9]+:[0-9]+");
const std::set<std::string> kStatuses = {"SOON", "LIVE", "FINISH", "CANCEL"};
const std::vector<std::string> kLines = {"05", "15", "25", "35", "45"};

bool Matches(std::string_view value, const std::regex& form) {
  return std::regex_match(value.begin(), value.end(), form);
}

// Checks that the element exists and has the form; names the failing record and element.
void ExpectElement(const zelko::RecordReader& record, const std::string& name,
                   const std::regex& form, const std::string& where) {
  ASSERT_TRUE(record.Has(name)) << where << " lacks <" << name << ">";
  EXPECT_TRUE(Matches(record.Get(name), form))
      << where << " <" << name << "> = '" << record.Get(name) << "'";
}

void ExpectMarket(const zelko::RecordReader& market, const std::string& where) {
  for (const std::string side : {"1", "x", "2"}) {
    ExpectElement(market, "k" + side, kOdds, where);
    ExpectElement(market, "pr" + side, kInteger, where);
    ExpectElement(market, "s" + side, kInteger, where);
  }
  for (const std::string& line : kLines) {
    for (const std::string side : {"o", "u"}) {
      ExpectElement(market, "k" + side + line, kOdds, where);
      ExpectElement(market, "pr" + side + line, kInteger, where);
      ExpectElement(market, "s" + side + line, kInteger, where);
    }
  }
  ExpectElement(market, "last", kTime, where);
}

void ExpectTodayRecord(std::string_view text) {
  const zelko::RecordReader record(text);
  const std::string where = "record " + record.Text("id");
  ASSERT_TRUE(record.Has("status")) << where;
  EXPECT_TRUE(kStatuses.count(record.Text("status"))) << where;
  ExpectElement(record, "id", std::regex("[0-9]+"), where);
  ExpectElement(record, "day", std::regex("[01]"), where);
  ExpectElement(record, "liga", std::regex("[A-Za-z ]+\\. .+"), where);
  ExpectElement(record, "my", std::regex("[0-9]+"), where);
  ExpectElement(record, "date", kDate, where);
  ExpectElement(record, "vr", kTime, where);
  ExpectElement(record, "home", std::regex(".+"), where);
  ExpectElement(record, "away", std::regex(".+"), where);
  ExpectElement(record, "m1x2", kInteger, where);
  for (const std::string& line : kLines) ExpectElement(record, "m" + line, kInteger, where);
  // The record-level selections must read as SelectionText, not as the nested money of the
  // same names: that proves the record-level elements come first.
  for (const std::string name : {"s1", "sx", "s2"}) {
    ExpectElement(record, name, kSelectionText, where);
  }
  for (const std::string& line : kLines) {
    ExpectElement(record, "so" + line, kSelectionText, where);
    ExpectElement(record, "su" + line, kSelectionText, where);
  }
  ExpectElement(record, "score", std::regex("-|[0-9]+:[0-9]+"), where);
  ExpectElement(record, "score1", std::regex("|[0-9]+:[0-9]+"), where);
  ASSERT_TRUE(record.Has("radar") && record.Has("bfpr") && record.Has("bf_live")) << where;
  EXPECT_LT(text.find("<score1>"), text.find("<radar>")) << where;

  const zelko::RecordReader radar(record.Get("radar"));
  ExpectElement(radar, "fsum", kInteger, where + " radar");
  for (const std::string side : {"1", "x", "2"}) {
    ExpectElement(radar, "f" + side, kInteger, where + " radar");
    ExpectElement(radar, "fk" + side, kOdds, where + " radar");
  }
  for (const std::string& line : kLines) {
    for (const std::string prefix : {"fs", "fo", "fu"}) {
      ExpectElement(radar, prefix + line, kInteger, where + " radar");
    }
    ExpectElement(radar, "fko" + line, kOdds, where + " radar");
    ExpectElement(radar, "fku" + line, kOdds, where + " radar");
  }
  ExpectElement(radar, "last", kTime, where + " radar");
  ExpectMarket(zelko::RecordReader(record.Get("bfpr")), where + " bfpr");
  const zelko::RecordReader live(record.Get("bf_live"));
  ExpectMarket(live, where + " bf_live");
  ExpectElement(live, "score", kScore, where + " bf_live");
}

void ExpectLiveRecord(std::string_view text) {
  const zelko::RecordReader record(text);
  const std::string where = "live record " + record.Text("id");
  ExpectElement(record, "id", std::regex("[0-9]+"), where);
  ExpectElement(record, "liga", std::regex("[A-Za-z ]+\\. .+"), where);
  ExpectElement(record, "vr", kTime, where);
  ExpectElement(record, "time", std::regex("[0-9]{1,2}|HT"), where);
  ExpectElement(record, "home", std::regex(".+"), where);
  ExpectElement(record, "away", std::regex(".+"), where);
  ExpectElement(record, "score", kScore, where);
  ExpectElement(record, "score1", std::regex("|[0-9]+:[0-9]+"), where);
  for (const std::string name : {"w1", "d", "w2"}) ExpectElement(record, name, kOdds, where);
  ExpectElement(record, "pos", std::regex("[0-9]+%:[0-9]+%"), where);
  for (const std::string name : {"da", "on", "off", "yc", "rc", "cor"}) {
    ExpectElement(record, name, kPair, where);
  }
  ExpectElement(record, "tv", std::regex("-|match/[0-9]+"), where);
  ExpectElement(record, "my", std::regex("[0-9]+"), where);
}

const std::string kToday = "/login/zelko.php?login=demo&pass=demo&menu=today";
const std::string kLive = "/login/zelko.php?login=demo&pass=demo&menu=live";

TEST(ServiceFeed, TodayRecordsCarryEveryElementWellFormed) {
  RunningService running(SmallDay());
  for (int minute : {8 * 60, 12 * 60, 17 * 60 + 30, 23 * 60 + 50}) {
    running.Service().Clock().SetSeconds(minute * 60.0);
    const std::string reply = Cp1251ToUtf8(running.Get(kToday));
    const auto records = zelko::CutRecords(reply);
    ASSERT_EQ(records.size(), 120u) << "at minute " << minute;
    std::set<std::string> days;
    for (auto text : records) {
      ExpectTodayRecord(text);
      days.insert(zelko::RecordReader(text).Text("day"));
    }
    EXPECT_EQ(days, (std::set<std::string>{"0", "1"}));
  }
}

TEST(ServiceFeed, LiveRecordsAreTheMatchesInPlay) {
  RunningService running(SmallDay());
  running.Service().Clock().SetSeconds(17 * 60 * 60.0);
  const auto live = Cp1251ToUtf8(running.Get(kLive));
  const auto records = zelko::CutRecords(live);
  ASSERT_FALSE(records.empty());
  std::set<std::string> liveIds;
  for (auto text : records) {
    ExpectLiveRecord(text);
    liveIds.insert(zelko::RecordReader(text).Text("id"));
  }
  std::set<std::string> todayLive;
  const std::string today = Cp1251ToUtf8(running.Get(kToday));
  for (auto text : zelko::CutRecords(today)) {
    const zelko::RecordReader record(text);
    if (record.Get("status") == "LIVE") todayLive.insert(record.Text("id"));
  }
  EXPECT_EQ(liveIds, todayLive);
}

TEST(ServiceFeed, CyrillicTravelsAsWindows1251) {
  RunningService running(SmallDay());
  const std::string reply = running.Get(kToday);
  const std::string league = Utf8ToCp1251("Russia. Премьер-лига");
  EXPECT_NE(reply.find("<liga>" + league), std::string::npos);
  EXPECT_EQ(reply.find("\xD0\xA0"), std::string::npos) << "UTF-8 leaked into the reply";
}

TEST(ServiceFeed, SameSeedAndClockGiveTheSameBytes) {
  RunningService first(SmallDay(11));
  RunningService second(SmallDay(11));
  for (int minute : {9 * 60, 15 * 60 + 7, 21 * 60 + 33}) {
    first.Service().Clock().SetSeconds(minute * 60.0 + 5);
    second.Service().Clock().SetSeconds(minute * 60.0 + 55);  // same minute
    EXPECT_EQ(first.Get(kToday), second.Get(kToday));
    EXPECT_EQ(first.Get(kLive), second.Get(kLive));
  }
  RunningService other(SmallDay(12));
  other.Service().Clock().SetSeconds(21 * 60 * 60.0 + 33 * 60);
  EXPECT_NE(first.Get(kToday), other.Get(kToday));
}

TEST(ServiceFeed, StatusFollowsTheClock) {
  const ServiceOptions options = SmallDay();
  RunningService running(options);
  const Day& day = running.Service().Today();
  const Match* match = nullptr;
  for (const Match& m : day.Matches()) {
    if (!m.tomorrow && m.cancelAt < 0 && m.kickoff > 9 * 60) {
      match = &m;
      break;
    }
  }
  ASSERT_NE(match, nullptr);
  const auto recordAt = [&](int minute, const std::string& target) -> std::string {
    running.Service().Clock().SetSeconds(minute * 60.0);
    const std::string reply = Cp1251ToUtf8(running.Get(target));
    for (auto text : zelko::CutRecords(reply)) {
      const zelko::RecordReader record(text);
      if (record.Get("id") == match->id) return std::string(text);
    }
    return {};
  };
  const int k = match->kickoff;
  // The reader looks into the text, so each record text is kept while it is read.
  const auto field = [&](int minute, const std::string& target, const std::string& name) {
    const std::string text = recordAt(minute, target);
    return zelko::RecordReader(text).Text(name);
  };
  EXPECT_EQ(field(k - 30, kToday, "status"), "SOON");
  EXPECT_EQ(field(k - 30, kToday, "score"), "-");
  EXPECT_TRUE(recordAt(k - 30, kLive).empty());

  EXPECT_EQ(field(k + 10, kLive, "time"), "11");
  EXPECT_EQ(field(k + 10, kToday, "status"), "LIVE");
  EXPECT_EQ(field(k + 50, kLive, "time"), "HT");
  EXPECT_EQ(field(k + 50, kToday, "status"), "LIVE");
  EXPECT_EQ(field(k + 70, kLive, "time"), "56");

  EXPECT_EQ(field(k + 120, kToday, "status"), "FINISH");
  const std::string expected =
      std::to_string(match->goals.home.size()) + ":" + std::to_string(match->goals.away.size());
  EXPECT_EQ(field(k + 120, kToday, "score"), expected);
  EXPECT_TRUE(Matches(field(k + 120, kToday, "score1"), kScore));
  EXPECT_TRUE(recordAt(k + 120, kLive).empty());
}

TEST(ServiceFeed, LastMovesOnlyWhenTheFiguresMove) {
  const Day day(SmallDay().day);
  for (const Match& m : day.Matches()) {
    if (m.tomorrow || m.cancelAt >= 0) continue;
    for (int minute = m.kickoff - 40; minute < m.kickoff + 110; ++minute) {
      const MarketPicture a = Day::CurrentPicture(m, minute);
      const MarketPicture b = Day::CurrentPicture(m, minute + 1);
      if (a.updatedAt == b.updatedAt) {
        EXPECT_EQ(a.money, b.money) << m.id << " at " << minute;
        EXPECT_EQ(a.odds, b.odds) << m.id << " at " << minute;
      } else {
        EXPECT_NE(a.money, b.money) << m.id << " at " << minute;
      }
    }
  }
}

TEST(ServiceFeed, HeavyMoneyMakesStrangeBets) {
  // A StrangeBet needs money above its reference amount, and at least 1000 of it.
  const Day day(SmallDay().day);
  int strange = 0;
  int heavyMatches = 0;
  for (const Match& m : day.Matches()) {
    if (m.heavySelection < 0) continue;
    ++heavyMatches;
    const MarketPicture p = Day::CurrentPicture(m, m.kickoff - 1);
    const auto s = static_cast<std::size_t>(m.heavySelection);
    const long long reference = p.regular[static_cast<std::size_t>(MarketOf(m.heavySelection))];
    if (p.money[s] > reference && p.money[s] >= 1000) ++strange;
  }
  EXPECT_GT(heavyMatches, 3);
  EXPECT_EQ(strange, heavyMatches);
}

TEST(ServiceFeed, MoneyGrowsTowardsKickoffWithSharesNearTheChances) {
  const Day day(SmallDay().day);
  const Match& m = day.Matches().at(60);
  const MarketPicture early = Day::CurrentPicture(m, m.kickoff - 600);
  const MarketPicture late = Day::CurrentPicture(m, m.kickoff - 5);
  EXPECT_LT(early.total[0] * 3, late.total[0]);
  const Chances chances = SelectionChances(m.homeMean, m.awayMean, 0, 0);
  if (m.heavySelection < 0) {
    for (int s = 0; s < 3; ++s) {
      EXPECT_NEAR(late.Share(s), 100 * chances[static_cast<std::size_t>(s)], 20) << s;
    }
  }
}

}  // namespace
}  // namespace zelko_service

namespace zelko_service {
namespace {

TEST(ServiceDay, AFewMatchesAreCalledOff) {
  const Day day(DayOptions{});
  int cancelled = 0;
  for (const Match& m : day.Matches()) {
    if (Day::StateAt(m, m.kickoff + 200).status == Status::kCancel) ++cancelled;
  }
  EXPECT_GT(cancelled, 0);
  EXPECT_LT(cancelled, 30);
}

}  // namespace
}  // namespace zelko_service
