#pragma once

#include <atomic>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/series/real.h"
#include "core/series/tdata.h"

namespace tavel {

// Grid columns of a data window; column 0 is the derived index column.
enum GridColumn : int { kIndexColumn = 0, kXColumn = 1, kYColumn = 2, kFitColumn = 3 };

// The cells of a data window as data: rows 1..RowCount(), columns X, Y and Fit.
//
// A cell is empty, a number or a free text (an edit in progress, "1,5"). A number cell keeps
// the full extended value it was written from and shows FormatNumber(value, 14); reading it
// gives that full value back, so displayed digits are never the only copy of the user's data.
// The texts of number cells are made on demand and free texts live in a side table.
//
// The grid of a series keeps its numbers in the series' own rows (ShareRows) whenever the rows
// hold exactly what the grid shows: each value is then kept once, and a million rows cost
// nothing beyond the rows. While the rows differ from the grid (packed, sorted, or handed to a
// computation by ReadGrid) the grid keeps its own packed copy, ten value bytes and a state byte
// per cell; writing a cell takes that copy first, so a cell write never changes the rows. A
// grid made on its own always keeps its own copy.
class CellGrid {
 public:
  enum class State : std::uint8_t { Empty = 0, Number = 1, Text = 2 };

  struct Reading {
    bool valid = false;
    Real value = 0;
  };

  explicit CellGrid(std::int32_t rows = 0);
  // A copy keeps its own cells, whatever the original shared.
  CellGrid(const CellGrid& other);
  CellGrid& operator=(const CellGrid& other);

  std::int32_t RowCount() const {
    return sharing_ ? sharedCount_ : static_cast<std::int32_t>(own_.size());
  }
  // Keeps the cells of the rows that remain; new rows are empty. A grid sharing its series'
  // rows expects the series to have resized them first.
  void Resize(std::int32_t rows);

  State StateOf(std::int32_t row, int column) const;
  bool IsEmpty(std::int32_t row, int column) const { return StateOf(row, column) == State::Empty; }
  // The text the user sees: "" for an empty cell.
  std::string Text(std::int32_t row, int column) const;
  // The full value of a number cell (0 for other cells).
  Real Number(std::int32_t row, int column) const;

  void SetNumber(std::int32_t row, int column, Real value);
  // A text equal to what the cell already shows changes nothing, so an edit that did not
  // change the text keeps the full value; an empty text empties the cell.
  void SetText(std::int32_t row, int column, std::string_view text);
  void Clear(std::int32_t row, int column);
  void ClearColumn(int column);

  // The cell as a number: empty gives (false, 0); a number gives its full value; a free text
  // is normalised and parsed, and text that still fails gives (true, 0).
  Reading Read(std::int32_t row, int column) const;
  // The X, Y and Fit cells of one row at once, as Read gives them: the hot path of
  // rebuilding a series' rows, which copies the value bytes without a round through the FPU.
  void ReadRow(std::int32_t row, PackedReal* const (&values)[3], bool* const (&valid)[3]) const {
    if (sharing_) {
      ReadSharedRow(row, values, valid);
      return;
    }
    const PackedRow& r = At(row);
    for (int c = 0; c < 3; ++c) {
      if (r.state[c] == State::Number) {
        std::memcpy(values[c], r.value[c], kValueBytes);
        *valid[c] = true;
      } else if (r.state[c] == State::Empty) {
        *values[c] = 0;
        *valid[c] = false;
      } else {
        ReadTextCell(row, c + 1, values[c], valid[c]);
      }
    }
  }
  // The X, Y and Fit cells of one row at once, as SetNumber (valid) or Clear (not valid) would
  // leave them: the hot path of refilling a grid, again without the FPU.
  void WriteRow(std::int32_t row, const PackedReal* const (&values)[3], const bool (&valid)[3]) {
    if (sharing_) {
      WriteSharedRow(row, values, valid);
      return;
    }
    PackedRow& r = At(row);
    for (int c = 0; c < 3; ++c) {
      if (r.state[c] == State::Text) texts_.erase(Key(row, c + 1));
      if (valid[c]) {
        std::memcpy(r.value[c], values[c], kValueBytes);
        r.state[c] = State::Number;
      } else {
        r.state[c] = State::Empty;
      }
    }
  }

  // Whether any cell holds a free text. Without one, reading rows touches nothing but the
  // row itself and writing them never changes the side table, so separate rows may be read or
  // written from separate threads.
  bool HasTexts() const { return !texts_.empty(); }

  // The cells of one column over a stretch of rows, exactly as the grid shows them: what the
  // history keeps of a change. Rows past the grid's end read as empty cells.
  struct ColumnCells {
    static constexpr std::size_t kCellBytes = 11;  // the state, then the ten value bytes
    std::int32_t first = 1;
    std::vector<unsigned char> bytes;
    std::vector<std::pair<std::int32_t, std::string>> texts;  // by row, ascending

    std::int32_t Count() const { return static_cast<std::int32_t>(bytes.size() / kCellBytes); }
    std::size_t Bytes() const;
    // The cells [first + from, first + to).
    ColumnCells Part(std::int32_t from, std::int32_t to) const;
  };
  ColumnCells CopyColumn(int column, std::int32_t first, std::int32_t last) const;
  // Writes the cells back where they came from; rows past the grid's end are left out.
  void RestoreColumn(int column, const ColumnCells& cells);

  // Row r of the index column: r right-aligned in 7 characters.
  static std::string IndexText(std::int32_t row);

  // --- The series' side of sharing (Series calls these; nothing else needs to) ---

  // From now on the grid's number cells are the rows' values and flags, row r in rows[r - 1];
  // the grid takes what the rows hold as its cells (free texts go). `rows` outlives the grid.
  void ShareRows(std::vector<Tdata>* rows, std::int32_t count);
  // Whether the number cells are the shared rows right now.
  bool SharesRows() const { return sharing_; }
  // The grid takes its own copy of its cells, so the rows may change without changing it. Safe
  // to call from several threads at once (the first one copies).
  void KeepOwnCopy();
  // Back to the shared rows, which must hold exactly the grid's cells again (each number cell's
  // value with its flag set, an empty cell's flag cleared; free texts stay in the side table).
  void DropOwnCopy();
  // The free texts, for filling the rows: each as its row, column and text.
  template <typename Visit>
  void ForEachText(const Visit& visit) const {
    for (const auto& [key, text] : texts_) {
      visit(static_cast<std::int32_t>(key >> 2), static_cast<int>(key & 3), text);
    }
  }
  // Forgets every free text (the rows are about to become the whole grid).
  void ClearTexts() { texts_.clear(); }

 private:
  static constexpr int kValueBytes = PackedReal::kBytes;
  struct PackedRow {
    unsigned char value[3][kValueBytes];
    State state[3];
  };
  static_assert(sizeof(PackedRow) == 33);

  PackedRow& At(std::int32_t row) {
    if (row < 1 || row > RowCount()) ThrowRowOutOfRange();
    return own_[static_cast<std::size_t>(row - 1)];
  }
  const PackedRow& At(std::int32_t row) const {
    if (row < 1 || row > RowCount()) ThrowRowOutOfRange();
    return own_[static_cast<std::size_t>(row - 1)];
  }
  // The shared row of grid row `row`; a row the series has not sized yet reads as empty.
  const Tdata* SharedRow(std::int32_t row) const;
  bool IsText(std::int32_t row, int column) const {
    return !texts_.empty() && texts_.count(Key(row, column)) != 0;
  }
  void ReadSharedRow(std::int32_t row, PackedReal* const (&values)[3],
                     bool* const (&valid)[3]) const;
  void WriteSharedRow(std::int32_t row, const PackedReal* const (&values)[3],
                      const bool (&valid)[3]);
  [[noreturn]] static void ThrowRowOutOfRange();
  void ReadTextCell(std::int32_t row, int column, PackedReal* value, bool* valid) const;
  static std::uint64_t Key(std::int32_t row, int column) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(row)) << 2) |
           static_cast<std::uint64_t>(column);
  }
  static Real LoadValue(const unsigned char* bytes);
  Reading ReadCell(const PackedRow& r, std::int32_t row, int column) const;
  static void StoreValue(unsigned char* bytes, Real value);
  // The packed cells of one row, as the grid shows it (shared or own).
  PackedRow Pack(std::int32_t row) const;

  std::vector<PackedRow> own_;
  std::unordered_map<std::uint64_t, std::string> texts_;
  std::vector<Tdata>* rows_ = nullptr;  // the series' rows, once shared
  std::int32_t sharedCount_ = 0;
  // Written only while no other thread uses the grid, or by KeepOwnCopy under its lock.
  std::atomic<bool> sharing_{false};
};

}  // namespace tavel
