#include "favourites/report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/columns.h"
#include "board/grid_table.h"
#include "feed/codec.h"
#include "support/fake_platform.h"

namespace zelko {
namespace {

const char* const kHead[] = {
    "<title>Report Zelko</title><table border=1>",
    "<tr>",
    "<td align=center bgcolor=#333333><font color=#ffff00><b>Date</td>",
    "<td align=center bgcolor=#333333><font color=#ffff00><b>Time</td>",
    "<td align=center bgcolor=#333333><font color=#ffff00><b>Home</td>",
    "<td align=center bgcolor=#333333><font color=#ffff00><b>Away</td>",
    "<td align=center bgcolor=#333333><font color=#ffff00><b>Win1</td>",
    "<td align=center bgcolor=#333333><font color=#ffff00><b>Draw</td>",
    "<td align=center bgcolor=#333333><font color=#ffff00><b>Win2</td>",
    "<td align=center bgcolor=#333333><font color=#ffff00><b>Bukm.</td>",
    "<td align=center bgcolor=#333333><font color=#ffff00><b>People</td>",
    "<td align=center bgcolor=#333333><font color=#ffff00><b>League</td>",
    "<td align=center bgcolor=#333333><font color=#ffff00><b>Score</td>",
    "<td align=center bgcolor=#333333><font color=#ffff00><b>Status</td>",
    "</tr>",
};

struct Favourite {
  const char* date;
  const char* time;
  const char* home;
  const char* away;
  const char* k1;
  const char* s1;
  const char* kx;
  const char* sx;
  const char* k2;
  const char* s2;
  const char* bet;
  const char* bet2;
  const char* league;
  const char* score;
  const char* status;
};

void AddFavourite(GridTable& rx3, const Favourite& f) {
  const int r = rx3.AddRow();
  rx3.SetCellText(col::RDate, r, f.date);
  rx3.SetCellText(col::RTime, r, f.time);
  rx3.SetCellText(col::RHome, r, f.home);
  rx3.SetCellText(col::RAway, r, f.away);
  rx3.SetCellText(col::R_1, r, f.k1);
  rx3.SetCellText(col::R_1S, r, f.s1);
  rx3.SetCellText(col::R_X, r, f.kx);
  rx3.SetCellText(col::R_XS, r, f.sx);
  rx3.SetCellText(col::R_2, r, f.k2);
  rx3.SetCellText(col::R_2S, r, f.s2);
  rx3.SetCellText(col::Bet, r, f.bet);
  rx3.SetCellText(col::Bet2, r, f.bet2);
  rx3.SetCellHint(col::RFlag, r, f.league);
  rx3.SetCellText(col::R_Score, r, f.score);
  rx3.SetCellText(col::R_Status, r, f.status);
}

class ReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AddFavourite(rx3, {"01.06", "18:30", "Brighton & Hove", "Chelsea", "2.10", "900", "3.40", "300",
                       "3.10", "250", "W1", "", "England. Premier League", "-", "SOON"});
    AddFavourite(rx3, {"01.06", "20:00", "Спартак", "<Zenit>", "1,85", "5000", "3.5", "10", "4.0",
                       "20", "", "X", "Russia. \"Premier\"", "1:0", "LIVE"});
  }
  GridTable rx3{"RX3", Rx3Columns()};
};

TEST_F(ReportTest, TwoFavouritesGiveFiftyLines) {
  std::vector<std::string> expected(std::begin(kHead), std::end(kHead));
  const std::vector<std::string> rows = {
      "<tr>",
      "<td align=center>01.06</td>",
      "<td align=center>18:30</td>",
      "<td>Brighton &amp; Hove</td>",
      "<td>Chelsea</td>",
      "<td align=center><b>2.10</b><br>",
      "$900</td>",
      "<td align=center><b>3.40</b><br>",
      "$300</td>",
      "<td align=center><b>3.10</b><br>",
      "$250</td>",
      "<td align=center bgcolor=#ff0000><b><font color=#ffffff>W1</td>",
      "<td align=center bgcolor=#008000><b><font color=#ffffff></td>",
      "<td>England. Premier League</td>",
      "<td align=center><b>-</td>",
      "<td align=center>SOON</td>",
      "</tr>",
      "<tr>",
      "<td align=center>01.06</td>",
      "<td align=center>20:00</td>",
      "<td>Спартак</td>",
      "<td>&lt;Zenit&gt;</td>",
      "<td align=center><b>1,85</b><br>",
      "$5000</td>",
      "<td align=center><b>3.5</b><br>",
      "$10</td>",
      "<td align=center><b>4.0</b><br>",
      "$20</td>",
      "<td align=center bgcolor=#ff0000><b><font color=#ffffff></td>",
      "<td align=center bgcolor=#008000><b><font color=#ffffff>X</td>",
      "<td>Russia. &quot;Premier&quot;</td>",
      "<td align=center><b>1:0</td>",
      "<td align=center>LIVE</td>",
      "</tr>",
  };
  expected.insert(expected.end(), rows.begin(), rows.end());
  expected.emplace_back("</table>");

  const std::vector<std::string> lines = BuildReportLines(rx3);
  EXPECT_EQ(lines.size(), 50u);
  EXPECT_EQ(lines, expected);
}

TEST(ReportEmptyTest, NoFavouritesGiveTheHeadAndTheTail) {
  const GridTable rx3("RX3", Rx3Columns());
  std::vector<std::string> expected(std::begin(kHead), std::end(kHead));
  expected.emplace_back("</table>");
  EXPECT_EQ(BuildReportLines(rx3), expected);
}

TEST_F(ReportTest, SaveWritesWindows1251LinesAndOpensTheFile) {
  testing::FakePlatform platform;
  SaveReport(rx3, platform);
  ASSERT_EQ(platform.files.count("report.html"), 1u);
  const std::string& bytes = platform.files["report.html"];
  std::string expected;
  for (const std::string& line : BuildReportLines(rx3)) expected += line + "\r\n";
  EXPECT_EQ(bytes, Utf8ToCp1251(expected));
  EXPECT_NE(bytes.find("\xD1\xEF\xE0\xF0\xF2\xE0\xEA"), std::string::npos);  // "Спартак"
  EXPECT_EQ(bytes.substr(bytes.size() - 10), "</table>\r\n");
  EXPECT_FALSE(platform.ownerOnlyFiles["report.html"]);
  EXPECT_EQ(platform.opened, std::vector<std::string>{"report.html"});
}

TEST_F(ReportTest, AnUnwritableFileIsAnErrorNamingItAndNothingOpens) {
  testing::FakePlatform platform;
  platform.unwritable["report.html"] = true;
  try {
    SaveReport(rx3, platform);
    FAIL() << "no error";
  } catch (const ReportError& e) {
    EXPECT_NE(std::string(e.what()).find("\"report.html\""), std::string::npos) << e.what();
  }
  EXPECT_TRUE(platform.opened.empty());
  EXPECT_TRUE(platform.files.empty());
}

}  // namespace
}  // namespace zelko
