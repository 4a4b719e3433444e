// The JSON shapes of the dumps and events.

#include "cli/dump.h"

#include <gtest/gtest.h>

#include "board/columns.h"
#include "support/fake_platform.h"

namespace zelko::cli {
namespace {

TEST(GridJsonTest, CellsCarryImageAndCheckedOnlyInTheirColumnKinds) {
  GridTable rx2("RX2", Rx2Columns());
  const int row = rx2.AddRow();
  rx2.SetCellText(col::RHome, row, "Зенит");
  rx2.SetCellColor(col::RHome, row, 0x00FFFFFFu);
  rx2.SetCellHint(col::RHome, row, "hint");
  rx2.SetCellInteger(col::RFlag, row, 12);
  rx2.SetCellChecked(col::RCh, row, true);
  const Json grid = GridJson(rx2);
  EXPECT_EQ(grid["grid"], "RX2");
  EXPECT_EQ(grid["rows"], 1);
  EXPECT_EQ(grid["columns"], rx2.ColumnCount());
  ASSERT_EQ(grid["visible"].size(), static_cast<std::size_t>(rx2.ColumnCount()));
  EXPECT_EQ(grid["visible"][col::RId], rx2.ColumnVisible(col::RId));
  const Json& home = grid["cells"][0][col::RHome];
  EXPECT_EQ(home, Json::parse(R"({"text":"Зенит","color":16777215,"hint":"hint"})"));
  EXPECT_EQ(grid["cells"][0][col::RFlag]["image"], 12);
  EXPECT_FALSE(grid["cells"][0][col::RFlag].contains("checked"));
  EXPECT_EQ(grid["cells"][0][col::RCh]["checked"], true);
  EXPECT_EQ(grid["cells"][0][col::RCh]["text"], "True");
  EXPECT_FALSE(grid["cells"][0][col::RCh].contains("image"));
}

TEST(GridJsonTest, AnEmptyGridHasNoCells) {
  GridTable sbx("SBX", SbxColumns());
  EXPECT_EQ(JsonLine(GridJson(sbx)).find("\"cells\":[]"),
            JsonLine(GridJson(sbx)).find("\"cells\""));
  EXPECT_EQ(GridJson(sbx)["rows"], 0);
}

TEST(FormJsonTest, HoldsEveryKeyTheContractLists) {
  testing::FakePlatform platform;
  MainForm form(platform, "svc.test");
  form.FormCreate();
  const Json state = FormJson(form)["form"];
  for (const char* key :
       {"caption",   "resizable", "tabs",          "livetime",       "livetime2", "count",
        "Timer1",    "Timer2",    "LiveCountdown", "MoneyCountdown", "progress",  "LiveOption",
        "loginedit", "passedit",  "filtr",         "sort",           "zap",       "auto",
        "checker1",  "checker2",  "checker3",      "checker4",       "checker5",  "checker6"}) {
    EXPECT_TRUE(state.contains(key)) << key;
  }
  EXPECT_EQ(state["tabs"]["Page"]["tabs"].size(), 3u);
  EXPECT_EQ(state["tabs"]["Page2"]["tabs"].size(), 2u);
  EXPECT_EQ(state["tabs"]["Page2"]["tabs"][1],
            Json::parse(R"({"caption":"Favorite","visible":false})"));
  EXPECT_TRUE(state["progress"].is_number_integer());
}

TEST(EventJsonTest, EventsHaveTheirShapes) {
  EXPECT_EQ(JsonLine(MessageEvent("a\n\"b\"")), R"({"event":"message","text":"a\n\"b\""})");
  EXPECT_EQ(JsonLine(OpenEvent("report.html")), R"({"event":"open","target":"report.html"})");
  EXPECT_EQ(JsonLine(ErrorEvent("x")), R"({"event":"error","text":"x"})");
  EXPECT_EQ(JsonLine(ClosedEvent()), R"({"event":"closed"})");
}

TEST(EventJsonTest, BrokenUtf8DoesNotStopTheOutput) {
  EXPECT_NO_THROW(JsonLine(MessageEvent("\xC8\xE2")));
}

}  // namespace
}  // namespace zelko::cli
