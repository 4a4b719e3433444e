#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "board/grid_table.h"
#include "feed/platform.h"

namespace zelko {

inline constexpr const char* kReportFile = "report.html";

// The lines of "report.html" for the favourites of RX3, cell texts escaped for HTML.
std::vector<std::string> BuildReportLines(const GridTable& rx3);

class ReportError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Writes "report.html" (Windows-1251, CR LF after every line) and asks the shell to open it.
// A file that cannot be written raises ReportError naming the file, and nothing is opened.
void SaveReport(const GridTable& rx3, Platform& platform);

}  // namespace zelko
