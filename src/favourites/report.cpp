#include "favourites/report.h"

#include <array>
#include <string_view>

#include "board/columns.h"
#include "feed/codec.h"

namespace zelko {
namespace {

constexpr std::array<const char*, 12> kReportCaptions{"Date",   "Time",   "Home",  "Away",
                                                      "Win1",   "Draw",   "Win2",  "Bukm.",
                                                      "People", "League", "Score", "Status"};

// A cell text made safe to stand between HTML tags and inside attribute values.
std::string EscapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char ch : text) {
    switch (ch) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += ch;
    }
  }
  return out;
}

}  // namespace

std::vector<std::string> BuildReportLines(const GridTable& rx3) {
  std::vector<std::string> lines;
  lines.reserve(16 + 17 * static_cast<std::size_t>(rx3.RowCount()));
  lines.emplace_back("<title>Report Zelko</title><table border=1>");
  lines.emplace_back("<tr>");
  for (const char* caption : kReportCaptions) {
    lines.push_back(std::string("<td align=center bgcolor=#333333><font color=#ffff00><b>") +
                    caption + "</td>");
  }
  lines.emplace_back("</tr>");

  for (int r = 0; r < rx3.RowCount(); ++r) {
    const auto text = [&](int c) { return EscapeHtml(rx3.CellText(c, r)); };
    lines.emplace_back("<tr>");
    lines.push_back("<td align=center>" + text(col::RDate) + "</td>");
    lines.push_back("<td align=center>" + text(col::RTime) + "</td>");
    lines.push_back("<td>" + text(col::RHome) + "</td>");
    lines.push_back("<td>" + text(col::RAway) + "</td>");
    lines.push_back("<td align=center><b>" + text(col::R_1) + "</b><br>");
    lines.push_back("$" + text(col::R_1S) + "</td>");
    lines.push_back("<td align=center><b>" + text(col::R_X) + "</b><br>");
    lines.push_back("$" + text(col::R_XS) + "</td>");
    lines.push_back("<td align=center><b>" + text(col::R_2) + "</b><br>");
    lines.push_back("$" + text(col::R_2S) + "</td>");
    lines.push_back("<td align=center bgcolor=#ff0000><b><font color=#ffffff>" + text(col::Bet) +
                    "</td>");
    lines.push_back("<td align=center bgcolor=#008000><b><font color=#ffffff>" + text(col::Bet2) +
                    "</td>");
    lines.push_back("<td>" + EscapeHtml(rx3.CellHint(col::RFlag, r)) + "</td>");
    lines.push_back("<td align=center><b>" + text(col::R_Score) + "</td>");
    lines.push_back("<td align=center>" + text(col::R_Status) + "</td>");
    lines.emplace_back("</tr>");
  }

  lines.emplace_back("</table>");
  return lines;
}

void SaveReport(const GridTable& rx3, Platform& platform) {
  std::string content;
  for (const std::string& line : BuildReportLines(rx3)) {
    content += line;
    content += "\r\n";
  }
  if (!platform.WriteFile(kReportFile, Utf8ToCp1251(content), false)) {
    throw ReportError(std::string("Cannot create file \"") + kReportFile + "\"");
  }
  platform.OpenWithShell(kReportFile);
}

}  // namespace zelko
