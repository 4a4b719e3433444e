#include "board/grid_table.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <numeric>
#include <string>

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

const std::vector<int>& NoRows() {
  static const std::vector<int> empty;
  return empty;
}

}  // namespace

GridTable::GridTable(std::string name, std::span<const ColumnSpec> columns)
    : name_(std::move(name)), columns_(columns.begin(), columns.end()) {
  visible_.reserve(columns_.size());
  for (const ColumnSpec& c : columns_) visible_.push_back(c.visible);
  sortKinds_.assign(columns_.size(), SortKind::skAscending);
}

bool GridTable::InBounds(int column, int row) const {
  return column >= 0 && row >= 0 && column < ColumnCount() && row < RowCount();
}

void GridTable::CheckBounds(int column, int row) const {
  if (!InBounds(column, row))
    throw GridIndexError("List index out of bounds: " + name_ + " " + OutOfBounds(column, row));
}

GridTable::Row GridTable::NewRow() {
  if (spareRows_.empty()) {
    Row row;
    row.cells.resize(columns_.size());
    for (std::size_t c = 0; c < columns_.size(); ++c) row.cells[c].color = columns_[c].color;
    return row;
  }
  // A cleared row: back to the state of a fresh one, keeping the texts' capacity.
  Row row = std::move(spareRows_.back());
  spareRows_.pop_back();
  row.note = 0;
  for (std::size_t c = 0; c < columns_.size(); ++c) {
    Cell& cell = row.cells[c];
    cell.text.clear();
    cell.hint.clear();
    cell.color = columns_[c].color;
    cell.integer = 0;
  }
  return row;
}

int GridTable::AddRow() {
  const int index = RowCount();
  if (listener_) listener_->BeforeInsertRows(index, index);
  rows_.push_back(NewRow());
  IndexAppend(index);
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
  rows_.insert(rows_.begin() + index, NewRow());
  indexValid_ = false;
  if (listener_) listener_->AfterInsertRows();
}

void GridTable::DeleteRow(int index) {
  if (index < 0 || index >= RowCount())
    throw GridIndexError("List index out of bounds (" + std::to_string(index) + ")");
  if (listener_) listener_->BeforeRemoveRows(index, index);
  rows_.erase(rows_.begin() + index);
  indexValid_ = false;
  if (listener_) listener_->AfterRemoveRows();
}

void GridTable::ClearRows() {
  if (rows_.empty()) return;
  if (listener_) listener_->BeforeRemoveRows(0, RowCount() - 1);
  spareRows_.reserve(spareRows_.size() + rows_.size());
  for (Row& r : rows_) spareRows_.push_back(std::move(r));
  rows_.clear();
  index_.clear();
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
  switch (columns_[static_cast<std::size_t>(column)].kind) {
    case ColumnKind::Check:
      return cell.integer != 0 ? "True" : "False";
    case ColumnKind::Image:
      return std::to_string(cell.integer);
    case ColumnKind::Text:
      break;
  }
  return cell.text;
}

std::string_view GridTable::TextView(int column, int row) const {
  if (!InBounds(column, row)) return {};
  if (columns_[static_cast<std::size_t>(column)].kind != ColumnKind::Text) return {};
  return At(column, row).text;
}

void GridTable::SetCellText(int column, int row, std::string_view text) {
  if (!InBounds(column, row)) return;  // "Cell out of bounds" is absorbed here
  Cell& cell = At(column, row);
  switch (columns_[static_cast<std::size_t>(column)].kind) {
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
        std::string old = std::move(cell.text);
        cell.text.assign(text);
        IndexMove(row, old, cell.text);
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
  to.note = 0;
  for (int c = first; c <= last; ++c) {
    const auto i = static_cast<std::size_t>(c);
    const Cell& src = from.cells[i];
    Cell& dst = to.cells[i];
    const ColumnKind kind = columns_[i].kind;
    if (kind != source.columns_[i].kind) {
      // Kinds that differ go through the texts, as a copy cell by cell does.
      GridListener* const listener = listener_;
      const bool notify = listener != nullptr;
      listener_ = nullptr;  // the cell is told once below
      const std::string before = notify ? CellText(c, row) : std::string();
      const Color colorBefore = dst.color;
      const bool hintChanged = dst.hint != src.hint;
      SetCellText(c, row, source.CellText(c, sourceRow));
      dst.color = src.color;
      if (hintChanged) dst.hint = src.hint;
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
          if (dst.text != src.text) {
            std::string old = std::move(dst.text);
            dst.text.assign(src.text);
            IndexMove(row, old, dst.text);
            changed = true;
          }
        } else if (listener_) {
          if (dst.text != src.text) {
            dst.text.assign(src.text);
            changed = true;
          }
        } else {
          dst.text.assign(src.text);
        }
        break;
    }
    if (listener_) {
      changed = changed || dst.color != src.color || dst.hint != src.hint;
      dst.color = src.color;
      if (dst.hint != src.hint) dst.hint.assign(src.hint);
      if (changed) listener_->CellChanged(c, row);
    } else {
      dst.color = src.color;
      dst.hint.assign(src.hint);
    }
  }
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
  return At(column, row).hint;
}

void GridTable::SetCellHint(int column, int row, std::string_view hint) {
  CheckBounds(column, row);
  Cell& cell = At(column, row);
  if (cell.hint == hint) return;
  cell.hint.assign(hint);
  Changed(column, row);
}

int GridTable::CellInteger(int column, int row) const {
  CheckBounds(column, row);
  const Cell& cell = At(column, row);
  if (columns_[static_cast<std::size_t>(column)].kind != ColumnKind::Text) return cell.integer;
  const auto value = ParseWholeNumber(cell.text);
  if (!value) throw GridConversionError("'" + cell.text + "' is not a valid integer value");
  return *value;
}

void GridTable::SetCellInteger(int column, int row, int value) {
  CheckBounds(column, row);
  if (columns_[static_cast<std::size_t>(column)].kind == ColumnKind::Text) {
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
  // for UTF-8 is the order of code points.
  std::stable_sort(rows_.begin(), rows_.end(), [&](const Row& a, const Row& b) {
    if (byText) {
      const int cmp = a.cells[c].text.compare(b.cells[c].text);
      return descending ? cmp > 0 : cmp < 0;
    }
    const std::int32_t x = a.cells[c].integer;
    const std::int32_t y = b.cells[c].integer;
    return descending ? x > y : x < y;
  });
  sortedColumn_ = column;
  indexValid_ = false;
  if (listener_) listener_->AfterReorder();
}

void GridTable::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  if (listener_) listener_->EnabledChanged(enabled);
}

void GridTable::IndexAppend(int row) {
  if (!indexValid_) return;
  index_[At(0, row).text].push_back(row);
}

void GridTable::IndexMove(int row, std::string_view oldId, std::string_view newId) {
  if (!indexValid_) return;
  if (auto it = index_.find(oldId); it != index_.end()) {
    auto& rows = it->second;
    // The row is usually the last one carrying its old ID (a row just appended).
    if (auto pos = std::find(rows.rbegin(), rows.rend(), row); pos != rows.rend()) {
      rows.erase(std::next(pos).base());
    }
    if (rows.empty()) index_.erase(it);
  }
  auto [it, inserted] = index_.try_emplace(std::string(newId));
  auto& rows = it->second;
  rows.insert(std::upper_bound(rows.begin(), rows.end(), row), row);
}

void GridTable::EnsureIndex() const {
  if (indexValid_) return;
  index_.clear();
  for (int r = 0; r < RowCount(); ++r) index_[At(0, r).text].push_back(r);
  indexValid_ = true;
}

const std::vector<int>& GridTable::RowsWithId(std::string_view id) const {
  if (ColumnCount() == 0) return NoRows();
  EnsureIndex();
  const auto it = index_.find(id);
  return it == index_.end() ? NoRows() : it->second;
}

int GridTable::FirstRowWithId(std::string_view id) const {
  const auto& rows = RowsWithId(id);
  return rows.empty() ? -1 : rows.front();
}

int GridTable::LastRowWithId(std::string_view id) const {
  const auto& rows = RowsWithId(id);
  return rows.empty() ? -1 : rows.back();
}

}  // namespace zelko
