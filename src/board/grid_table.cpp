#include "board/grid_table.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <charconv>
#include <iterator>
#include <numeric>
#include <string>

#include "feed/prefetch.h"
#include "feed/text.h"

namespace zelko {
namespace {

std::string OutOfBounds(int column, int row) {
  return "Cell out of bounds (" + std::to_string(column) + ", " + std::to_string(row) + ")";
}

bool IsTrueText(std::string_view text) {
  if (text == "1") return true;
  if (text.size() != 4) return false;
  constexpr std::string_view kTrue = "true";
  for (std::size_t i = 0; i < 4; ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != kTrue[i]) return false;
  }
  return true;
}

std::uint32_t IdHash(std::string_view id) {
  const std::uint64_t h = std::hash<std::string_view>{}(id);
  return static_cast<std::uint32_t>(h ^ (h >> 32));
}

// Grids are told apart by a number no other grid of the process had, not by their address,
// which a later grid may take.
std::uint32_t NextSerial() {
  static std::atomic<std::uint32_t> serials{0};
  return serials.fetch_add(1, std::memory_order_relaxed) + 1;
}

}  // namespace

GridTable::GridTable(std::string name, std::span<const ColumnSpec> columns)
    : name_(std::move(name)), serial_(NextSerial()), columns_(columns.begin(), columns.end()) {
  visible_.reserve(columns_.size());
  kinds_.reserve(columns_.size());
  for (const ColumnSpec& c : columns_) {
    visible_.push_back(c.visible);
    kinds_.push_back(c.kind);
  }
  sortKinds_.assign(columns_.size(), SortKind::skAscending);
}

void GridTable::ThrowOutOfBounds(int column, int row) const {
  throw GridIndexError("List index out of bounds: " + name_ + " " + OutOfBounds(column, row));
}

GridTable::Row& GridTable::AppendFreshRow() {
  if (!HasSpareRow()) {
    Row& row = rows_.emplace_back();
    ++rowCount_;
    row.cells = std::make_unique<Cell[]>(columns_.size());
    for (std::size_t c = 0; c < columns_.size(); ++c) row.cells[c].color = columns_[c].color;
    Touch(row);
    Rehash(row);
    return row;
  }
  // A cleared row: back to the state of a fresh one, keeping the texts' capacity. Its cells
  // are not fetched ahead: a board refilled row by row walks each row's cells in order, which
  // the processor streams in by itself, and on a board larger than the cache the fetch of a
  // whole row ahead competed with the source row's (the work board's rebuild that rewrites
  // every card, 5000 rows: a tenth slower with it; the today load the same).
  Row& row = AppendSpareRow();
  Touch(row);
  row.hints.clear();
  for (std::size_t c = 0; c < columns_.size(); ++c) {
    Cell& cell = row.cells[c];
    cell.text.clear();
    cell.color = columns_[c].color;
    cell.integer = 0;
  }
  Rehash(row);
  return row;
}

void GridTable::Rehash(Row& row) const {
  row.idHash = IdHash(columns_.empty() ? std::string_view() : row.cells[0].text.view());
}

void GridTable::ResetCell(Cell& cell, std::size_t column) const {
  if (!cell.text.empty()) cell.text.clear();
  if (cell.color != columns_[column].color) cell.color = columns_[column].color;
  if (cell.integer != 0) cell.integer = 0;
}

std::string_view GridTable::HintOf(const Row& row, int column) {
  for (const Hint& h : row.hints) {
    if (h.column == column) return h.text;
  }
  return {};
}

void GridTable::PutHint(Row& row, int column, std::string_view hint) {
  const auto it = std::find_if(row.hints.begin(), row.hints.end(),
                               [column](const Hint& h) { return h.column == column; });
  if (hint.empty()) {
    if (it != row.hints.end()) row.hints.erase(it);
  } else if (it != row.hints.end()) {
    it->text.assign(hint);
  } else {
    row.hints.push_back(Hint{column, std::string(hint)});
  }
}

int GridTable::AddRow() {
  const int index = RowCount();
  if (listener_) listener_->BeforeInsertRows(index, index);
  AppendFreshRow();
  IndexAdd(index);
  if (listener_) listener_->AfterInsertRows();
  return index;
}

void GridTable::InsertRow(int index) {
  index = std::clamp(index, 0, RowCount());
  if (index == RowCount()) {
    AddRow();
    return;
  }
  if (listener_) listener_->BeforeInsertRows(index, index);
  AppendFreshRow();
  // Into its place, ahead of the spare rows left.
  std::rotate(rows_.begin() + index, rows_.begin() + static_cast<std::ptrdiff_t>(rowCount_ - 1),
              rows_.begin() + static_cast<std::ptrdiff_t>(rowCount_));
  indexValid_ = false;
  if (listener_) listener_->AfterInsertRows();
}

void GridTable::DeleteRow(int index) {
  if (index < 0 || index >= RowCount())
    throw GridIndexError("List index out of bounds (" + std::to_string(index) + ")");
  if (listener_) listener_->BeforeRemoveRows(index, index);
  rows_.erase(rows_.begin() + index);
  --rowCount_;
  indexValid_ = false;
  if (listener_) listener_->AfterRemoveRows();
}

void GridTable::ClearRows() {
  if (rowCount_ == 0) return;
  if (listener_) listener_->BeforeRemoveRows(0, RowCount() - 1);
  // The rows become the spare rows where they stand, ahead of any spare row left, so that the
  // rows added next find the storage of the rows that stood at their places, which a board
  // rebuilt from the same rows holds nearly as it is to be.
  rowCount_ = 0;
  ResetIndex();
  indexValid_ = true;
  if (listener_) listener_->AfterRemoveRows();
}

std::uint64_t GridTable::RowNote(int row) const {
  if (row < 0 || row >= RowCount())
    throw GridIndexError("List index out of bounds (" + std::to_string(row) + ")");
  return rows_[static_cast<std::size_t>(row)].note;
}

void GridTable::SetRowNote(int row, std::uint64_t note) {
  if (row < 0 || row >= RowCount())
    throw GridIndexError("List index out of bounds (" + std::to_string(row) + ")");
  rows_[static_cast<std::size_t>(row)].note = note;
}

void GridTable::ReserveRows(int count) {
  if (count > 0) rows_.reserve(static_cast<std::size_t>(count));
}

std::string GridTable::CellText(int column, int row) const {
  if (!InBounds(column, row)) return {};  // "Cell out of bounds" is absorbed here
  const Cell& cell = At(column, row);
  switch (KindOf(column)) {
    case ColumnKind::Check:
      return cell.integer != 0 ? "True" : "False";
    case ColumnKind::Image:
      return std::to_string(cell.integer);
    case ColumnKind::Text:
      break;
  }
  return std::string(cell.text.view());
}

std::string_view GridTable::TextView(int column, int row) const {
  if (!InBounds(column, row)) return {};
  if (KindOf(column) != ColumnKind::Text) return {};
  return At(column, row).text.view();
}

void GridTable::SetCellText(int column, int row, std::string_view text) {
  if (!InBounds(column, row)) return;  // "Cell out of bounds" is absorbed here
  Cell& cell = At(column, row);
  switch (KindOf(column)) {
    case ColumnKind::Check: {
      const std::int32_t value = IsTrueText(text) ? 1 : 0;
      if (cell.integer == value) return;
      cell.integer = value;
      break;
    }
    case ColumnKind::Image: {
      const std::int32_t value = WholeNumberOr0(text);
      if (cell.integer == value) return;
      cell.integer = value;
      break;
    }
    case ColumnKind::Text:
      if (cell.text == text) return;
      if (column == 0) {
        IndexRemove(row);
        cell.text.assign(text);
        Rehash(rows_[static_cast<std::size_t>(row)]);
        IndexAdd(row);
      } else {
        cell.text.assign(text);
      }
      break;
  }
  Changed(column, row);
}

void GridTable::CopyCellsFrom(const GridTable& source, int sourceRow, int first, int last,
                              int row) {
  if (first > last) return;
  source.CheckBounds(first, sourceRow);
  source.CheckBounds(last, sourceRow);
  CheckBounds(first, row);
  CheckBounds(last, row);
  const Row& from = source.rows_[static_cast<std::size_t>(sourceRow)];
  Row& to = rows_[static_cast<std::size_t>(row)];
  // Copies without a listener write without comparing, so the row counts as changed.
  Touch(to);
  const bool anyHints = !from.hints.empty() || !to.hints.empty();
  for (int c = first; c <= last; ++c) {
    const auto i = static_cast<std::size_t>(c);
    const Cell& src = from.cells[i];
    Cell& dst = to.cells[i];
    const ColumnKind kind = kinds_[i];
    if (kind != source.kinds_[i]) {
      // Kinds that differ go through the texts, as a copy cell by cell does.
      GridListener* const listener = listener_;
      const bool notify = listener != nullptr;
      listener_ = nullptr;  // the cell is told once below
      const std::string before = notify ? CellText(c, row) : std::string();
      const Color colorBefore = dst.color;
      const std::string_view hint = HintOf(from, c);
      const bool hintChanged = hint != HintOf(to, c);
      SetCellText(c, row, source.CellText(c, sourceRow));
      dst.color = src.color;
      if (hintChanged) PutHint(to, c, hint);
      listener_ = listener;
      if (notify) {
        if (before != CellText(c, row) || colorBefore != dst.color || hintChanged) Changed(c, row);
      }
      continue;
    }
    bool changed = false;
    switch (kind) {
      case ColumnKind::Check: {
        // Through the texts a checked state is "True" or "False", that is 1 or 0.
        const std::int32_t value = src.integer != 0 ? 1 : 0;
        changed = dst.integer != value;
        dst.integer = value;
        break;
      }
      case ColumnKind::Image:
        changed = dst.integer != src.integer;
        dst.integer = src.integer;
        break;
      case ColumnKind::Text:
        if (c == 0) {
          if (!(dst.text == src.text)) {
            IndexRemove(row);
            dst.text = src.text;
            to.idHash = from.idHash;
            IndexAdd(row);
            changed = true;
          }
        } else if (listener_) {
          if (!(dst.text == src.text)) {
            dst.text = src.text;
            changed = true;
          }
        } else {
          dst.text = src.text;
        }
        break;
    }
    if (anyHints) {
      const std::string_view hint = HintOf(from, c);
      if (hint != HintOf(to, c)) {
        PutHint(to, c, hint);
        changed = true;
      }
    }
    changed = changed || dst.color != src.color;
    dst.color = src.color;
    if (changed && listener_) listener_->CellChanged(c, row);
  }
}

int GridTable::AddRowCopy(const GridTable& source, int sourceRow, int first, int last) {
  const int index = RowCount();
  if (first <= last) {
    source.CheckBounds(first, sourceRow);
    source.CheckBounds(last, sourceRow);
    if (first < 0) ThrowOutOfBounds(first, index);
    if (last >= ColumnCount()) ThrowOutOfBounds(last, index);
  }
  if (listener_) listener_->BeforeInsertRows(index, index);
  // The source row is taken after the append, which may move the rows when the source is this
  // grid.
  Row& to = HasSpareRow() ? AppendSpareRow() : AppendFreshRow();
  const Row& from = source.rows_[static_cast<std::size_t>(sourceRow)];
  Touch(to);
  const auto low = static_cast<std::size_t>(first);
  const auto high = static_cast<std::size_t>(last);
  const bool copies = first <= last;
  // Taken once: the writes of texts go through bytes, which the compiler must assume may
  // reach the rows' and the kinds' own pointers.
  Cell* const cells = to.cells.get();
  const Cell* const sourceCells = from.cells.get();
  const ColumnKind* const kinds = kinds_.data();
  const ColumnKind* const sourceKinds = source.kinds_.data();
  const std::size_t columns = columns_.size();
  for (std::size_t c = 0; c < columns; ++c) {
    Cell& dst = cells[c];
    if (!copies || c < low || c > high) {
      ResetCell(dst, c);
      continue;
    }
    const Cell& src = sourceCells[c];
    const ColumnKind kind = kinds[c];
    if (kind != sourceKinds[c]) {
      // Kinds that differ go through the texts, as SetCellText on a fresh cell takes them.
      const std::string text = source.CellText(static_cast<int>(c), sourceRow);
      ResetCell(dst, c);
      switch (kind) {
        case ColumnKind::Check:
          dst.integer = IsTrueText(text) ? 1 : 0;
          break;
        case ColumnKind::Image:
          dst.integer = WholeNumberOr0(text);
          break;
        case ColumnKind::Text:
          dst.text.assign(text);
          break;
      }
    } else {
      // Through the texts a checked state is "True" or "False", that is 1 or 0.
      const std::int32_t integer = kind == ColumnKind::Text    ? 0
                                   : kind == ColumnKind::Check ? (src.integer != 0 ? 1 : 0)
                                                               : src.integer;
      if (kind == ColumnKind::Text) {
        dst.text.AssignIfChanged(src.text);
      } else if (!dst.text.empty()) {
        dst.text.clear();
      }
      if (dst.integer != integer) dst.integer = integer;
    }
    if (dst.color != src.color) dst.color = src.color;
  }
  // The hints of the copied columns, in the entries (and the texts' room) the row had.
  std::size_t hints = 0;
  for (const Hint& h : from.hints) {
    if (!copies || h.column < first || h.column > last) continue;
    if (hints < to.hints.size()) {
      Hint& kept = to.hints[hints];
      kept.column = h.column;
      if (kept.text != h.text) kept.text.assign(h.text);
    } else {
      to.hints.push_back(h);
    }
    ++hints;
  }
  to.hints.resize(hints);
  if (copies && low == 0 && kinds_[0] == ColumnKind::Text && source.kinds_[0] == ColumnKind::Text) {
    to.idHash = from.idHash;  // the same text
  } else {
    Rehash(to);
  }
  IndexAdd(index);
  if (listener_) listener_->AfterInsertRows();
  return index;
}

void GridTable::NoteRowMadeFrom(int row, const GridTable& source, int sourceRow) {
  if (row < 0 || row >= RowCount())
    throw GridIndexError("List index out of bounds (" + std::to_string(row) + ")");
  if (sourceRow < 0 || sourceRow >= source.RowCount())
    throw GridIndexError("List index out of bounds (" + std::to_string(sourceRow) + ")");
  Row& made = rows_[static_cast<std::size_t>(row)];
  made.madeFromGrid = source.serial_;
  made.madeFromRevision = source.rows_[static_cast<std::size_t>(sourceRow)].revision;
}

bool GridTable::RowMadeFrom(int row, const GridTable& source) const {
  if (row < 0 || row >= RowCount()) return false;
  const std::uint32_t grid = rows_[static_cast<std::size_t>(row)].madeFromGrid;
  return grid != 0 && grid == source.serial_;
}

int GridTable::AddRowMadeFrom(const GridTable& source, int sourceRow) {
  if (!HasSpareRow() || sourceRow < 0 || sourceRow >= source.RowCount()) return -1;
  const Row& spare = rows_[rowCount_];
  // A change of the row clears its note of the source; the source's revisions are never given
  // twice, so an equal one is the source row as it was noted.
  if (spare.madeFromGrid == 0 || spare.madeFromGrid != source.serial_ ||
      spare.madeFromRevision != source.rows_[static_cast<std::size_t>(sourceRow)].revision) {
    return -1;
  }
  const int index = RowCount();
  if (listener_) listener_->BeforeInsertRows(index, index);
  AppendSpareRow().note = 0;
  // A rebuild that keeps its rows keeps them one after another: the index's places of the
  // next ones are fetched ahead.
  constexpr std::size_t kAhead = 4;
  if (rowCount_ + kAhead - 1 < rows_.size() && !idSlots_.empty()) {
    Prefetch(&idSlots_[rows_[rowCount_ + kAhead - 1].idHash & (idSlots_.size() - 1)]);
  }
  IndexAdd(index);
  if (listener_) listener_->AfterInsertRows();
  return index;
}

Color GridTable::CellColor(int column, int row) const {
  CheckBounds(column, row);
  return At(column, row).color;
}

void GridTable::SetCellColor(int column, int row, Color color) {
  CheckBounds(column, row);
  Cell& cell = At(column, row);
  if (cell.color == color) return;
  cell.color = color;
  Changed(column, row);
}

std::string GridTable::CellHint(int column, int row) const {
  CheckBounds(column, row);
  return std::string(HintOf(rows_[static_cast<std::size_t>(row)], column));
}

void GridTable::SetCellHint(int column, int row, std::string_view hint) {
  CheckBounds(column, row);
  Row& r = rows_[static_cast<std::size_t>(row)];
  if (HintOf(r, column) == hint) return;
  PutHint(r, column, hint);
  Changed(column, row);
}

int GridTable::CellInteger(int column, int row) const {
  CheckBounds(column, row);
  const Cell& cell = At(column, row);
  if (KindOf(column) != ColumnKind::Text) return cell.integer;
  const auto value = ParseWholeNumber(cell.text.view());
  if (!value)
    throw GridConversionError("'" + std::string(cell.text.view()) +
                              "' is not a valid integer value");
  return *value;
}

void GridTable::SetCellInteger(int column, int row, int value) {
  CheckBounds(column, row);
  if (KindOf(column) == ColumnKind::Text) {
    // The decimal text without a string of its own: integers are written by the thousand.
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    SetCellText(column, row, std::string_view(digits, static_cast<std::size_t>(end - digits)));
    return;
  }
  Cell& cell = At(column, row);
  if (cell.integer == value) return;
  cell.integer = value;
  Changed(column, row);
}

bool GridTable::CellChecked(int column, int row) const {
  CheckBounds(column, row);
  return At(column, row).integer != 0;
}

void GridTable::SetCellChecked(int column, int row, bool checked) {
  CheckBounds(column, row);
  Cell& cell = At(column, row);
  const std::int32_t value = checked ? 1 : 0;
  if (cell.integer == value) return;
  cell.integer = value;
  Changed(column, row);
}

const ColumnSpec& GridTable::Column(int column) const {
  if (column < 0 || column >= ColumnCount())
    throw GridIndexError("Column index out of bounds (" + std::to_string(column) + ")");
  return columns_[static_cast<std::size_t>(column)];
}

bool GridTable::ColumnVisible(int column) const {
  Column(column);
  return visible_[static_cast<std::size_t>(column)];
}

void GridTable::SetColumnVisible(int column, bool visible) {
  Column(column);
  if (visible_[static_cast<std::size_t>(column)] == visible) return;
  visible_[static_cast<std::size_t>(column)] = visible;
  if (listener_) listener_->ColumnVisibilityChanged(column);
}

SortKind GridTable::ColumnSortKind(int column) const {
  Column(column);
  return sortKinds_[static_cast<std::size_t>(column)];
}

void GridTable::SetColumnSortKind(int column, SortKind kind) {
  Column(column);
  sortKinds_[static_cast<std::size_t>(column)] = kind;
}

SortType GridTable::ColumnSortType(int column) const {
  switch (Column(column).kind) {
    case ColumnKind::Image:
      return SortType::stNumeric;
    case ColumnKind::Check:
      return SortType::stBoolean;
    case ColumnKind::Text:
      break;
  }
  return SortType::stAlphabetic;
}

void GridTable::SortByColumn(int column) {
  Column(column);
  const auto c = static_cast<std::size_t>(column);
  const bool descending = sortKinds_[c] == SortKind::skDescending;
  const bool byText = ColumnSortType(column) == SortType::stAlphabetic;
  if (listener_) listener_->BeforeReorder();
  // A stable sort: rows with equal keys keep the order they had. Texts compare byte-wise, which
  // for UTF-8 is the order of code points. The rows' places are sorted, then the rows moved
  // into their order: a stable sort of the rows themselves would move them through the
  // library's temporary buffer, which does not keep their alignment.
  std::vector<std::uint32_t> order(rowCount_);
  std::iota(order.begin(), order.end(), 0u);
  std::stable_sort(order.begin(), order.end(), [&](std::uint32_t i, std::uint32_t j) {
    const Cell& a = rows_[i].cells[c];
    const Cell& b = rows_[j].cells[c];
    if (byText) {
      const int cmp = a.text.view().compare(b.text.view());
      return descending ? cmp > 0 : cmp < 0;
    }
    return descending ? a.integer > b.integer : a.integer < b.integer;
  });
  std::vector<Row> sorted;
  sorted.reserve(rows_.capacity());
  for (const std::uint32_t i : order) sorted.push_back(std::move(rows_[i]));
  // The spare rows stay behind the rows, in their order.
  std::move(rows_.begin() + static_cast<std::ptrdiff_t>(rowCount_), rows_.end(),
            std::back_inserter(sorted));
  rows_.swap(sorted);
  sortedColumn_ = column;
  indexValid_ = false;
  if (listener_) listener_->AfterReorder();
}

void GridTable::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  if (listener_) listener_->EnabledChanged(enabled);
}

std::ptrdiff_t GridTable::FindId(std::string_view id, std::uint32_t hash) const {
  if (idSlots_.empty()) return -1;
  const std::size_t mask = idSlots_.size() - 1;
  for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
    const IdSlot& slot = idSlots_[at];
    if (slot.row == kNoIdRow) return -1;
    if (slot.row >= 0 && slot.hash == hash && IdOf(slot.row) == id)
      return static_cast<std::ptrdiff_t>(at);
  }
}

void GridTable::IndexAdd(int row) const {
  if (!indexValid_ || ColumnCount() == 0) return;
  if ((idTaken_ + 1) * 2 > idSlots_.size()) ResizeIndex(idTaken_ + 1);
  const std::uint32_t hash = rows_[static_cast<std::size_t>(row)].idHash;
  const std::size_t mask = idSlots_.size() - 1;
  std::size_t free = idSlots_.size();  // the first removed place met, to be taken again
  std::size_t at = hash & mask;
  for (;; at = (at + 1) & mask) {
    IdSlot& slot = idSlots_[at];
    if (slot.row == kNoIdRow) break;
    if (slot.row == kRemovedId) {
      if (free == idSlots_.size()) free = at;
      continue;
    }
    if (slot.hash != hash || IdOf(slot.row) != IdOf(row)) continue;
    // A further row with the ID.
    if (slot.list < 0) {
      std::int32_t list;
      if (freeIdLists_.empty()) {
        list = static_cast<std::int32_t>(idLists_.size());
        idLists_.emplace_back();
      } else {
        list = freeIdLists_.back();
        freeIdLists_.pop_back();
      }
      idLists_[static_cast<std::size_t>(list)].assign(1, slot.row);
      slot.list = list;
    }
    std::vector<int>& rows = idLists_[static_cast<std::size_t>(slot.list)];
    rows.insert(std::upper_bound(rows.begin(), rows.end(), row), row);
    slot.row = rows.front();
    return;
  }
  if (free == idSlots_.size()) {
    free = at;
    ++idTaken_;
  }
  idSlots_[free] = IdSlot{hash, row, -1};
}

void GridTable::IndexRemove(int row) {
  if (!indexValid_ || ColumnCount() == 0) return;
  const std::ptrdiff_t at = FindId(IdOf(row), rows_[static_cast<std::size_t>(row)].idHash);
  if (at < 0) return;
  IdSlot& slot = idSlots_[static_cast<std::size_t>(at)];
  if (slot.list < 0) {
    if (slot.row == row) slot = IdSlot{0, kRemovedId, -1};
    return;
  }
  std::vector<int>& rows = idLists_[static_cast<std::size_t>(slot.list)];
  // The row is usually the last one carrying the ID (a row just appended).
  if (const auto pos = std::find(rows.rbegin(), rows.rend(), row); pos != rows.rend()) {
    rows.erase(std::next(pos).base());
  }
  if (rows.size() == 1) {
    slot.row = rows.front();
    freeIdLists_.push_back(slot.list);
    slot.list = -1;
  } else {
    slot.row = rows.front();
  }
}

void GridTable::ResizeIndex(std::size_t ids) const {
  std::size_t size = 16;
  while (size < ids * 4) size *= 2;
  std::vector<IdSlot> old = std::move(idSlots_);
  idSlots_.assign(size, IdSlot{});
  idTaken_ = 0;
  const std::size_t mask = size - 1;
  for (const IdSlot& slot : old) {
    if (slot.row < 0) continue;
    std::size_t at = slot.hash & mask;
    while (idSlots_[at].row != kNoIdRow) at = (at + 1) & mask;
    idSlots_[at] = slot;
    ++idTaken_;
  }
}

void GridTable::ResetIndex() const {
  std::fill(idSlots_.begin(), idSlots_.end(), IdSlot{});
  idTaken_ = 0;
  idLists_.clear();
  freeIdLists_.clear();
}

void GridTable::EnsureIndex() const {
  if (indexValid_) return;
  ResetIndex();
  indexValid_ = true;
  if (idSlots_.size() < rows_.size() * 2) ResizeIndex(rows_.size());
  for (int r = 0; r < RowCount(); ++r) IndexAdd(r);
}

std::vector<int> GridTable::RowsWithId(std::string_view id) const {
  EnsureIndex();
  const std::ptrdiff_t at = FindId(id, IdHash(id));
  if (at < 0) return {};
  const IdSlot& slot = idSlots_[static_cast<std::size_t>(at)];
  if (slot.list < 0) return {slot.row};
  return idLists_[static_cast<std::size_t>(slot.list)];
}

int GridTable::FirstRowWithId(std::string_view id) const {
  EnsureIndex();
  const std::ptrdiff_t at = FindId(id, IdHash(id));
  return at < 0 ? -1 : idSlots_[static_cast<std::size_t>(at)].row;
}

int GridTable::LastRowWithId(std::string_view id) const {
  EnsureIndex();
  const std::ptrdiff_t at = FindId(id, IdHash(id));
  if (at < 0) return -1;
  const IdSlot& slot = idSlots_[static_cast<std::size_t>(at)];
  return slot.list < 0 ? slot.row : idLists_[static_cast<std::size_t>(slot.list)].back();
}

void GridTable::PrefetchRow(int row) const {
  if (row < 0 || row >= RowCount()) return;
  PrefetchBytes(rows_[static_cast<std::size_t>(row)].cells.get(), columns_.size() * sizeof(Cell));
}

void GridTable::PrefetchRow(int row, std::span<const int> columns) const {
  if (row < 0 || row >= RowCount()) return;
  const Cell* const cells = rows_[static_cast<std::size_t>(row)].cells.get();
  for (const int c : columns) {
    if (c >= 0 && c < ColumnCount()) Prefetch(cells + c);
  }
}

void GridTable::PrefetchIdPlace(std::string_view id) const {
  EnsureIndex();
  if (idSlots_.empty()) return;
  Prefetch(&idSlots_[IdHash(id) & (idSlots_.size() - 1)]);
}

void GridTable::PrefetchRowsWithId(std::string_view id, std::span<const int> columns) const {
  EnsureIndex();
  if (idSlots_.empty()) return;
  auto prefetch = [&](int row) {
    const Cell* const cells = rows_[static_cast<std::size_t>(row)].cells.get();
    for (const int c : columns) {
      if (c >= 0 && c < ColumnCount()) Prefetch(cells + c);
    }
  };
  const std::uint32_t hash = IdHash(id);
  const std::size_t mask = idSlots_.size() - 1;
  for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
    const IdSlot& slot = idSlots_[at];
    if (slot.row == kNoIdRow) return;
    if (slot.row < 0 || slot.hash != hash) continue;
    prefetch(slot.row);
    if (slot.list >= 0) prefetch(idLists_[static_cast<std::size_t>(slot.list)].back());
  }
}

}  // namespace zelko
