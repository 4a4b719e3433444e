#pragma once

// Shared pieces of the fuzz targets: invariant checks on grids, the split of one fuzz input into
// several feed replies, and a failure that stops the run loudly under libFuzzer and the replay
// driver alike.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "board/grid_table.h"

namespace zelko::fuzz {

// Reports a broken invariant and aborts, which both drivers count as a crash.
[[noreturn]] inline void Fail(const char* what, const std::string& detail = {}) {
  std::fprintf(stderr, "fuzz invariant broken: %s %s\n", what, detail.c_str());
  std::abort();
}

inline void Require(bool condition, const char* what, const std::string& detail = {}) {
  if (!condition) Fail(what, detail);
}

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// One input holds several replies separated by a line of its own "\n=====\n"; the seeds are
// written that way, and the fuzzer is free to add or remove separators.
inline std::vector<std::string_view> SplitReplies(std::string_view input, std::size_t maxParts) {
  static constexpr std::string_view kSeparator = "\n=====\n";
  std::vector<std::string_view> parts;
  while (parts.size() + 1 < maxParts) {
    const std::size_t at = input.find(kSeparator);
    if (at == std::string_view::npos) break;
    parts.push_back(input.substr(0, at));
    input.remove_prefix(at + kSeparator.size());
  }
  parts.push_back(input);
  return parts;
}

// Every grid keeps its column count, and the ID index agrees with a scan of column 0 for every
// ID the grid holds (and finds nothing for an ID it does not).
inline void CheckGrid(const GridTable& grid, int expectedColumns) {
  Require(grid.ColumnCount() == expectedColumns, "column count changed", grid.Name());
  std::map<std::string, std::vector<int>> scanned;
  for (int row = 0; row < grid.RowCount(); ++row) scanned[grid.CellText(0, row)].push_back(row);
  for (const auto& [id, rows] : scanned) {
    Require(grid.RowsWithId(id) == rows, "RowsWithId disagrees with a scan",
            grid.Name() + " id '" + id + "'");
    Require(grid.FirstRowWithId(id) == rows.front(), "FirstRowWithId wrong", grid.Name());
    Require(grid.LastRowWithId(id) == rows.back(), "LastRowWithId wrong", grid.Name());
  }
  static const std::string kAbsent = "\x01 no such id \x02";
  if (scanned.count(kAbsent) == 0) {
    Require(grid.RowsWithId(kAbsent).empty() && grid.LastRowWithId(kAbsent) == -1,
            "an absent ID is found", grid.Name());
  }
}

}  // namespace zelko::fuzz
