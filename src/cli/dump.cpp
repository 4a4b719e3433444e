#include "cli/dump.h"

#include <cstddef>

namespace zelko::cli {

namespace {

template <std::size_t N>
Json TabsJson(const std::array<Tab, N>& tabs, int active) {
  Json list = Json::array();
  for (const Tab& tab : tabs) list.push_back({{"caption", tab.caption}, {"visible", tab.visible}});
  return {{"active", active}, {"tabs", std::move(list)}};
}

}  // namespace

Json GridJson(const GridTable& grid) {
  const int columns = grid.ColumnCount();
  Json visible = Json::array();
  for (int c = 0; c < columns; ++c) visible.push_back(grid.ColumnVisible(c));
  Json cells = Json::array();
  for (int r = 0; r < grid.RowCount(); ++r) {
    Json row = Json::array();
    for (int c = 0; c < columns; ++c) {
      Json cell = {{"text", grid.CellText(c, r)},
                   {"color", grid.CellColor(c, r)},
                   {"hint", grid.CellHint(c, r)}};
      switch (grid.Column(c).kind) {
        case ColumnKind::Image:
          cell["image"] = grid.CellInteger(c, r);
          break;
        case ColumnKind::Check:
          cell["checked"] = grid.CellChecked(c, r);
          break;
        case ColumnKind::Text:
          break;
      }
      row.push_back(std::move(cell));
    }
    cells.push_back(std::move(row));
  }
  return {{"grid", grid.Name()},
          {"rows", grid.RowCount()},
          {"columns", columns},
          {"visible", std::move(visible)},
          {"cells", std::move(cells)}};
}

Json FormJson(const MainForm& form) {
  const StatusBoxes& boxes = form.statusBoxes();
  Json state = {
      {"caption", form.Caption()},
      {"resizable", form.Resizable()},
      {"tabs",
       {{"Page", TabsJson(form.PageTabs(), form.PageActive())},
        {"Page2", TabsJson(form.Page2Tabs(), form.Page2Active())}}},
      {"livetime", form.livetime()},
      {"livetime2", form.livetime2()},
      {"count", form.count()},
      {"Timer1", form.Timer1().enabled},
      {"Timer2", form.Timer2().enabled},
      {"LiveCountdown", form.LiveCountdown()},
      {"MoneyCountdown", form.MoneyCountdown()},
      {"progress", form.progress().position},
      {"progressVisible", form.progress().visible},
      {"LiveOption", form.LiveOptionVisible()},
      {"loginedit", form.loginedit()},
      {"passedit", form.passedit()},
      {"filtr", form.filtr()},
      {"sort", form.sort()},
      {"zap", form.zap()},
      {"auto", form.autoUpdate()},
      {"checker1", boxes.live},
      {"checker2", boxes.soon},
      {"checker3", boxes.finish},
      {"checker4", boxes.cancel},
      {"checker5", form.checker5()},
      {"checker6", form.checker6()},
  };
  return {{"form", std::move(state)}};
}

Json MessageEvent(const std::string& text) {
  return {{"event", "message"}, {"text", text}};
}

Json OpenEvent(const std::string& target) {
  return {{"event", "open"}, {"target", target}};
}

Json ErrorEvent(const std::string& text) {
  return {{"event", "error"}, {"text", text}};
}

Json ClosedEvent() {
  return {{"event", "closed"}};
}

std::string JsonLine(const Json& value) {
  return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace zelko::cli
