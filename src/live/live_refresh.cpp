#include "live/live_refresh.h"

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "board/board_copy.h"
#include "board/colors.h"
#include "board/columns.h"
#include "feed/records.h"
#include "feed/service_url.h"
#include "live/live_rows.h"

namespace zelko {

namespace {

namespace lc = col::live;

// The IDs met in one reply, looked up with the views the grid hands out.
struct IdHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view id) const { return std::hash<std::string_view>{}(id); }
};
using IdSet = std::unordered_set<std::string, IdHash, std::equal_to<>>;

// The current-score projection: empty texts on white.
void ClearProjection(GridTable& board, int row) {
  board.SetCellText(col::hscore, row, "");
  board.SetCellText(col::ascore, row, "");
  for (int c : {col::home_plus, col::rnow, col::awayplus}) {
    board.SetCellText(c, row, "");
    board.SetCellColor(c, row, colors::kWhite);
  }
}

// Writes the live state of the match of LiveGrid row `liveRow` into every row of `board` with
// `id`. Gives the last row whose score changed in this update, or -1.
int MarkLiveOnBoard(GridTable& board, GridTable& liveGrid, int liveRow, const std::string& id,
                    const RecordReader& record, bool found) {
  const Color mark = liveGrid.CellColor(lc::Score, liveRow);
  const std::string minute = std::string(record.Get("time")) + "'";
  int changedRow = -1;
  // A copy of the row list, so that the loop does not lean on the index while cells change.
  const std::vector<int> rows = board.RowsWithId(id);
  for (const int row : rows) {
    liveGrid.SetCellInteger(lc::OnBoard, liveRow, kOnBoardImage);
    board.SetCellText(col::R_Score, row, record.Get("score"));
    board.SetCellText(col::R_Status, row, "LIVE");
    board.SetCellColor(col::R_Status, row, colors::kRed);
    board.SetCellText(col::R_Min, row, minute);
    if (mark == colors::kRed) {
      board.SetCellColor(col::R_Score, row, colors::kFuchsia);
      ClearProjection(board, row);
      changedRow = row;
    } else if (mark == colors::kMaroon) {
      board.SetCellColor(col::R_Score, row, colors::kGrey);
      // A match that enters the feed already with goals has a pre-match projection.
      if (!found && liveGrid.TextView(lc::Score, liveRow) != "0:0") ClearProjection(board, row);
    }
  }
  return changedRow;
}

// Re-analyses the RX row and copies it on to the RX2 row, with RX2 closed to user input while
// this runs, and open again however it ends.
void ReanalyseAndCopy(LiveBoards& boards, int rxRow, int rx2Row, const AnalyzeRow& analyze) {
  struct EnableAgain {
    GridTable& grid;
    ~EnableAgain() { grid.SetEnabled(true); }
  } guard{boards.rx2};
  boards.rx2.SetEnabled(false);
  if (rxRow >= 0 && rx2Row >= 0) {
    if (analyze) analyze(rxRow);
    CopyBoardRow(boards.rx2, rx2Row, boards.rx, rxRow);
  }
}

void FinishOnBoard(GridTable& board, const std::string& id, const std::string& kickOff) {
  const std::vector<int> rows = board.RowsWithId(id);
  for (const int row : rows) {
    board.SetCellText(col::R_Status, row, "FINISH");
    board.SetCellColor(col::R_Status, row, colors::kBlack);
    board.SetCellText(col::R_Min, row, kickOff);
  }
}

// Removes the LiveGrid rows of matches the reply no longer holds and finishes them on the
// boards.
void RemoveFinished(LiveBoards& boards, const IdSet& met) {
  GridTable& liveGrid = boards.liveGrid;
  std::vector<int> gone;
  for (int row = 0; row < liveGrid.RowCount(); ++row) {
    if (!met.contains(liveGrid.TextView(lc::Id, row))) gone.push_back(row);
  }
  int offset = 0;
  for (const int index : gone) {
    const int row = index + offset;  // earlier deletions have moved it up
    const std::string id = liveGrid.CellText(lc::Id, row);
    const std::string kickOff = liveGrid.CellText(lc::Time, row);
    liveGrid.DeleteRow(row);
    --offset;
    FinishOnBoard(boards.rx, id, kickOff);
    FinishOnBoard(boards.rx2, id, kickOff);
  }
}

}  // namespace

bool RefreshLive(LiveBoards& boards, HttpClient& idHttp1, const std::string& liveUrl,
                 bool autoUpdate, const AnalyzeRow& analyze) {
  const ServiceBytes reply = ServiceGetBytes(idHttp1, liveUrl);
  // No answer is not the service saying that no match is live: keep everything as it is.
  if (reply.failed) return false;

  GridTable& liveGrid = boards.liveGrid;
  IdSet met;
  const auto refreshRecord = [&](std::string_view text) {
    const RecordReader record(text);
    // Without its own ID a record cannot be matched to any row.
    if (!record.Has("id")) return;
    const std::string id = record.Text("id");
    met.insert(id);

    int liveRow = -1;
    if (liveGrid.RowCount() == 0) {
      AddLiveRow(liveGrid, record);
      liveRow = liveGrid.RowCount() - 1;
    }
    // The row appended just above is found here and updated at once, with `found` set.
    bool found = false;
    const std::vector<int> liveRows = liveGrid.RowsWithId(id);
    for (const int row : liveRows) {
      UpdateLiveRow(liveGrid, boards.liveStatGrid, record, row);
      found = true;
      liveRow = row;
    }
    if (!found) {
      AddLiveRow(liveGrid, record);
      liveRow = liveGrid.RowCount() - 1;
    }

    const int rxRow = MarkLiveOnBoard(boards.rx, liveGrid, liveRow, id, record, found);
    const int rx2Row = MarkLiveOnBoard(boards.rx2, liveGrid, liveRow, id, record, found);
    if (autoUpdate) ReanalyseAndCopy(boards, rxRow, rx2Row, analyze);
  };
  // The board cells a live record writes; rows of a large board are scattered over memory, so
  // a record's rows are fetched while the record before it is at work.
  static constexpr std::array<int, 4> kLiveCells{0, col::R_Score, col::R_Status, col::R_Min};
  const auto fetchRows = [&](std::string_view text) {
    const std::string_view id = RecordReader::Unindexed(text).Get("id");
    boards.rx.PrefetchRowsWithId(id, kLiveCells);
    boards.rx2.PrefetchRowsWithId(id, kLiveCells);
  };
  const auto fetchIdPlaces = [&](std::string_view text) {
    const std::string_view id = RecordReader::Unindexed(text).Get("id");
    boards.rx.PrefetchIdPlace(id);
    boards.rx2.PrefetchIdPlace(id);
  };
  ForEachRecord(reply.body, refreshRecord, fetchRows, fetchIdPlaces);

  RemoveFinished(boards, met);
  return true;
}

}  // namespace zelko
