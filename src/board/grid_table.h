#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "board/colors.h"
#include "board/short_text.h"

namespace zelko {

enum class ColumnKind : std::uint8_t { Text, Image, Check };
enum class SortType : std::uint8_t { stAlphabetic, stNumeric, stBoolean };
enum class SortKind : std::uint8_t { skAscending, skDescending };
enum class Align : std::uint8_t { Left, Center, Right };

struct FontSpec {
  int height = 14;  // pixels
  bool bold = false;
  bool italic = false;
  Color color = colors::kButtonText;
};

// The place of a cell on a card: left, top, width, height in pixels.
struct SlideBounds {
  int left = 8;
  int top = 8;
  int width = 80;
  int height = 16;
};

// The image list an image column draws from.
enum class ImageList : std::uint8_t { None, Flags, Tabs, Tools, Cross };

// One column as the tables declare it.
struct ColumnSpec {
  const char* name = "";
  const char* caption = "";
  ColumnKind kind = ColumnKind::Text;
  bool visible = true;
  int width = 64;  // ordinary grids; default width of the toolkit
  Color color = colors::kWindow;
  FontSpec font{};
  SlideBounds bounds{};
  Align align = Align::Center;
  ImageList images = ImageList::None;
  // Side grids: the header shows this list's image instead of the caption, with `headerHint`.
  int headerIcon = -1;
  const char* headerHint = "";
  Color headerColor = colors::kSystemFlag;  // kSystemFlag: the toolkit's default header
  bool fitToText = false;
};

// An operation on a cell outside the grid that reaches the caller (colour, hint, integer,
// checked state), as a list index error does.
class GridIndexError : public std::out_of_range {
 public:
  using std::out_of_range::out_of_range;
};

// CellInteger on a text that is not a whole number.
class GridConversionError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

// Told of every change of a grid, so that views can follow it exactly.
class GridListener {
 public:
  virtual ~GridListener() = default;
  virtual void BeforeInsertRows(int first, int last) = 0;
  virtual void AfterInsertRows() = 0;
  virtual void BeforeRemoveRows(int first, int last) = 0;
  virtual void AfterRemoveRows() = 0;
  virtual void BeforeReorder() = 0;
  virtual void AfterReorder() = 0;
  // A cell's text, colour, hint, integer or checked state changed.
  virtual void CellChanged(int column, int row) = 0;
  virtual void ColumnVisibilityChanged(int column) = 0;
  virtual void EnabledChanged(bool enabled) = 0;
};

// Rows of cells over fixed, indexed columns. Cells hold UTF-8 text.
//
// Text reads and writes outside the grid do nothing; colour, hint, integer and checked outside
// the grid raise GridIndexError.
//
// Rows are found by the ID in column 0 through an index the grid keeps up to date (appends and
// writes of column 0 update it in place; inserts, removals and sorts rebuild it on the next
// lookup), compared exactly and case-sensitively.
class GridTable {
 public:
  GridTable(std::string name, std::span<const ColumnSpec> columns);
  GridTable(const GridTable&) = delete;
  GridTable& operator=(const GridTable&) = delete;

  const std::string& Name() const { return name_; }
  int RowCount() const { return static_cast<int>(rowCount_); }
  int ColumnCount() const { return static_cast<int>(columns_.size()); }

  // Appends a row and gives its index (RowCount() - 1).
  int AddRow();
  void InsertRow(int index);
  void DeleteRow(int index);
  // Removes every row. The rows' storage is kept for the rows added next, so that a board
  // rebuilt from scratch reuses its cells (and their texts' capacity) instead of allocating:
  // the first row added takes the storage of the first row removed, and so on.
  void ClearRows();
  // Makes room for `count` rows without moving them again while they are appended.
  void ReserveRows(int count);

  // Text: a check-box cell reads "True"/"False" and is checked by "1" or "true" in any case; an
  // image cell reads its index in decimal and takes a decimal text (an empty or other text
  // gives 0).
  std::string CellText(int column, int row) const;
  void SetCellText(int column, int row, std::string_view text);
  // The stored text of a text cell without a copy; empty outside the grid and for other kinds.
  std::string_view TextView(int column, int row) const;

  // Copies the cells `first` to `last` of row `sourceRow` of `source` into the same columns of
  // row `row`, exactly as SetCellText(CellText), SetCellColor and SetCellHint would one cell at
  // a time: texts, colours, hints, image indexes and checked states. A column whose kind is not
  // the same in both grids travels as its text. The listener hears one CellChanged per cell
  // that changed. Raises GridIndexError, before writing anything, when a cell of the range is
  // outside either grid.
  void CopyCellsFrom(const GridTable& source, int sourceRow, int first, int last, int row);

  // Appends a row as AddRow and then CopyCellsFrom(source, sourceRow, first, last, row) would
  // make it, and gives its index. The listener hears the insert of the row with its cells
  // already in place, and no CellChanged for them (a view fetches a new row's cells anyway; a
  // board of thousands of rows would otherwise tell of every cell). A row made in the storage
  // of a cleared row is written only where it differs from what that row held, so a board
  // rebuilt from rows mostly as they were writes little. Raises GridIndexError, adding nothing,
  // when a cell of the range is outside either grid.
  int AddRowCopy(const GridTable& source, int sourceRow, int first, int last);

  // Notes that row `row`, as it stands, was made from row `sourceRow` of `source` as that row
  // stands, for a grid whose rows one caller makes from another grid's rows by one rule (the
  // work board from the board). Raises GridIndexError outside either grid.
  void NoteRowMadeFrom(int row, const GridTable& source, int sourceRow);
  // Appends the storage of the next cleared row (the one AddRowCopy would take) unchanged, and
  // gives its index, when that row was noted as made from row `sourceRow` of `source` and
  // neither row has changed since: a rebuild by the same rule would make it as it is, so it is
  // kept without reading its cells. Otherwise adds nothing and gives -1. The listener hears
  // the insert as for AddRowCopy; the row's note reads 0, as a new row's does.
  int AddRowMadeFrom(const GridTable& source, int sourceRow);
  // Whether row `row` was noted as made from a row of `source` and has not changed since;
  // false outside the grid.
  bool RowMadeFrom(int row, const GridTable& source) const;

  // This grid's number among all grids made (never 0), and a row's revision: a number of this
  // grid's, never 0 and never given twice, that the row takes anew at every change of its
  // cells or hints. A caller that keeps what it concluded from a row's cells, with the grid's
  // number and the revision, can so tell later that the row still holds those cells. Outside
  // the grid the revision reads 0.
  std::uint32_t Serial() const { return serial_; }
  std::uint64_t RowRevision(int row) const {
    return row >= 0 && row < RowCount() ? rows_[static_cast<std::size_t>(row)].revision : 0;
  }

  Color CellColor(int column, int row) const;
  void SetCellColor(int column, int row, Color color);
  std::string CellHint(int column, int row) const;
  void SetCellHint(int column, int row, std::string_view hint);
  // Image column: the image index. Text column: the text as a whole number (raises
  // GridConversionError otherwise); writing puts the decimal text.
  int CellInteger(int column, int row) const;
  void SetCellInteger(int column, int row, int value);
  bool CellChecked(int column, int row) const;
  void SetCellChecked(int column, int row, bool checked);

  bool ColumnVisible(int column) const;
  void SetColumnVisible(int column, bool visible);
  const ColumnSpec& Column(int column) const;
  SortKind ColumnSortKind(int column) const;
  void SetColumnSortKind(int column, SortKind kind);
  SortType ColumnSortType(int column) const;

  // Sorts the rows once by the column's sort type in its direction. Texts compare byte-wise
  // (UTF-8 code point order); numeric columns by value; equal keys keep their order (stable).
  void SortByColumn(int column);
  int SortedColumn() const { return sortedColumn_; }

  // The control's enabled state (a disabled grid takes no user input).
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  // A caller's note on a row, which holds until a cell of the row next changes: from then on it
  // reads 0, as it does for a new row. A row keeps its note when rows move (inserts, removals,
  // sorts). A caller that notes what it last wrote into a row can so tell that the row is
  // exactly as it left it. Raise GridIndexError outside the grid.
  std::uint64_t RowNote(int row) const;
  void SetRowNote(int row, std::uint64_t note);

  // Rows whose column 0 equals `id`, ascending.
  std::vector<int> RowsWithId(std::string_view id) const;
  int FirstRowWithId(std::string_view id) const;
  // The last row met scanning from the top, or -1.
  int LastRowWithId(std::string_view id) const;
  // Asks the processor to bring these cells of the rows with the ID into its cache, and changes
  // nothing: a loop over records whose rows lie scattered over a large board calls it one
  // record ahead, so that its work on a row does not wait for the row to come from memory. It
  // probes the index without comparing IDs (that would wait for the rows), so it may also
  // fetch a row with another ID of the same hash.
  void PrefetchRowsWithId(std::string_view id, std::span<const int> columns) const;
  // The first step of PrefetchRowsWithId, for a loop that can look two records ahead: brings in
  // the index's place of the ID, which PrefetchRowsWithId then reads without waiting for it.
  void PrefetchIdPlace(std::string_view id) const;
  // The same for every cell of one row (nothing for a row out of bounds): for a pass over the
  // rows in order, a row or two ahead, since each row's cells lie apart from the others'.
  void PrefetchRow(int row) const;
  // Only these cells of the row.
  void PrefetchRow(int row, std::span<const int> columns) const;

  void SetListener(GridListener* listener) { listener_ = listener; }

 private:
  // A cell is kept to 32 bytes (a board of 5000 rows holds half a million of them): short texts
  // in place, and hints, which a row has one or two of, in the row.
  struct Cell {
    ShortText text;
    Color color = 0;
    std::int32_t integer = 0;  // image index, or the checked state of a check box
  };
  static_assert(sizeof(Cell) == 32);
  struct Hint {
    int column = 0;
    std::string text;  // never empty: a cell without a hint has no entry
  };
  // A row is one cache line: the refreshes find rows all over a board of thousands, and each
  // one found is a line read for its cells' address.
  struct alignas(64) Row {
    std::unique_ptr<Cell[]> cells;  // ColumnCount() of them
    std::vector<Hint> hints;        // in no particular order, one entry a column at most
    std::uint64_t note = 0;         // see RowNote
    std::uint64_t revision = 0;     // a number of the grid's own, new at every change of the row
    // What NoteRowMadeFrom noted: the source grid's serial (0 when not noted, or when the row
    // changed since) and the source row's revision.
    std::uint64_t madeFromRevision = 0;
    std::uint32_t madeFromGrid = 0;
    std::uint32_t idHash = 0;  // the hash of the ID in cell 0, kept with it (see Rehash)
  };
  static_assert(sizeof(Row) == 64);

  bool InBounds(int column, int row) const {
    return column >= 0 && row >= 0 && column < ColumnCount() && row < RowCount();
  }
  // Raises GridIndexError outside the grid. The check is inline (cells are written by the
  // hundred thousand); the raise is not.
  void CheckBounds(int column, int row) const {
    if (!InBounds(column, row)) [[unlikely]]
      ThrowOutOfBounds(column, row);
  }
  [[noreturn]] void ThrowOutOfBounds(int column, int row) const;
  ColumnKind KindOf(int column) const { return kinds_[static_cast<std::size_t>(column)]; }
  bool HasSpareRow() const { return rowCount_ < rows_.size(); }
  // Appends a row as a fresh one is: in the storage of the next cleared row, reset, or new.
  Row& AppendFreshRow();
  // Appends the storage of the next cleared row as it was left; HasSpareRow() must hold.
  Row& AppendSpareRow() { return rows_[rowCount_++]; }
  // A cell as a fresh row has it, written only where it differs.
  void ResetCell(Cell& cell, std::size_t column) const;
  static std::string_view HintOf(const Row& row, int column);
  // An empty hint removes the column's entry.
  static void PutHint(Row& row, int column, std::string_view hint);
  Cell& At(int column, int row) {
    return rows_[static_cast<std::size_t>(row)].cells[static_cast<std::size_t>(column)];
  }
  const Cell& At(int column, int row) const {
    return rows_[static_cast<std::size_t>(row)].cells[static_cast<std::size_t>(column)];
  }
  // Every write that may change a row's cells or hints goes through here (or Changed).
  void Touch(Row& row) {
    row.note = 0;
    row.revision = ++revisions_;
    row.madeFromGrid = 0;
  }
  void Changed(int column, int row) {
    Touch(rows_[static_cast<std::size_t>(row)]);
    if (listener_) listener_->CellChanged(column, row);
  }
  // The ID index: an open-addressing table with one place an ID, which holds the ID's first
  // row and, when several rows carry it, a list of them all. An ID is compared with the text of
  // its first row, so the table keeps no copy of it. Rows are entered as they get their ID and
  // taken out before they lose it (IndexRemove, then the write, then IndexAdd).
  struct IdSlot {
    std::uint32_t hash = 0;
    std::int32_t row = kNoIdRow;  // the first row with the ID, or kNoIdRow / kRemovedId
    std::int32_t list = -1;       // index in idLists_ of all its rows when there are several
  };
  static constexpr std::int32_t kNoIdRow = -1;    // a place never taken
  static constexpr std::int32_t kRemovedId = -2;  // a place whose ID left: probes go on past it

  std::string_view IdOf(int row) const { return At(0, row).text.view(); }
  // Sets the row's idHash from its cell 0, after every write that may change that cell: the
  // index enters and removes rows by it, so that a rebuild that keeps its rows reads no ID.
  void Rehash(Row& row) const;
  // The place of `id` (whose hash is `hash`), or -1.
  std::ptrdiff_t FindId(std::string_view id, std::uint32_t hash) const;
  void IndexAdd(int row) const;
  void IndexRemove(int row);
  // Rebuilds the table with room for `ids` IDs, from the places in use.
  void ResizeIndex(std::size_t ids) const;
  void ResetIndex() const;
  void EnsureIndex() const;

  std::string name_;
  std::uint32_t serial_;         // this grid's number among all grids made, from 1
  std::uint64_t revisions_ = 0;  // the last revision given to a row
  std::vector<ColumnSpec> columns_;
  std::vector<bool> visible_;
  std::vector<ColumnKind> kinds_;  // the columns' kinds, packed: read at every cell access
  std::vector<SortKind> sortKinds_;
  // The rows, then the storage of cleared rows (spare rows), which the next rows added take
  // in order where they stand: a row is never moved to be cleared or reused.
  std::vector<Row> rows_;
  std::size_t rowCount_ = 0;
  int sortedColumn_ = -1;
  bool enabled_ = true;
  GridListener* listener_ = nullptr;

  mutable std::vector<IdSlot> idSlots_;  // a power of two in size, at most half of it taken
  mutable std::size_t idTaken_ = 0;      // places in use or removed
  mutable std::vector<std::vector<int>> idLists_;  // ascending rows of the IDs on several rows
  mutable std::vector<std::int32_t> freeIdLists_;
  mutable bool indexValid_ = true;
};

}  // namespace zelko
