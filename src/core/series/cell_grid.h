#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/series/real.h"

namespace tavel {

// Grid columns of a data window; column 0 is the derived index column.
enum GridColumn : int { kIndexColumn = 0, kXColumn = 1, kYColumn = 2, kFitColumn = 3 };

// The cells of a data window as data: rows 1..RowCount(), columns X, Y and Fit.
//
// A cell is empty, a number or a free text (an edit in progress, "1,5"). A number cell keeps
// the full extended value it was written from and shows FormatNumber(value, 14); reading it
// gives that full value back, so displayed digits are never the only copy of the user's data.
// Cells are stored packed (ten value bytes and a state byte each); the texts of number cells
// are made on demand and free texts live in a side table, so a million rows stay cheap.
class CellGrid {
 public:
  enum class State : std::uint8_t { Empty = 0, Number = 1, Text = 2 };

  struct Reading {
    bool valid = false;
    Real value = 0;
  };

  explicit CellGrid(std::int32_t rows = 0);

  std::int32_t RowCount() const { return static_cast<std::int32_t>(rows_.size()); }
  // Keeps the cells of the rows that remain; new rows are empty.
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
  void ReadRow(std::int32_t row, Real* const (&values)[3], bool* const (&valid)[3]) const {
    const PackedRow& r = At(row);
    for (int c = 0; c < 3; ++c) {
      if (r.state[c] == State::Number) {
        std::memcpy(values[c], r.value[c], kValueBytes);
        *valid[c] = true;
      } else if (r.state[c] == State::Empty) {
        std::memset(values[c], 0, sizeof(Real));
        *valid[c] = false;
      } else {
        ReadTextCell(row, c + 1, values[c], valid[c]);
      }
    }
  }
  // The X, Y and Fit cells of one row at once, as SetNumber (valid) or Clear (not valid) would
  // leave them: the hot path of refilling a grid, again without the FPU.
  void WriteRow(std::int32_t row, const Real* const (&values)[3], const bool (&valid)[3]) {
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

  // Row r of the index column: r right-aligned in 7 characters.
  static std::string IndexText(std::int32_t row);

 private:
  static constexpr int kValueBytes = 10;  // the significant bytes of the x87 extended type
  struct PackedRow {
    unsigned char value[3][kValueBytes];
    State state[3];
  };
  static_assert(sizeof(PackedRow) == 33);

  PackedRow& At(std::int32_t row) {
    if (row < 1 || row > RowCount()) ThrowRowOutOfRange();
    return rows_[static_cast<std::size_t>(row - 1)];
  }
  const PackedRow& At(std::int32_t row) const {
    if (row < 1 || row > RowCount()) ThrowRowOutOfRange();
    return rows_[static_cast<std::size_t>(row - 1)];
  }
  [[noreturn]] static void ThrowRowOutOfRange();
  void ReadTextCell(std::int32_t row, int column, Real* value, bool* valid) const;
  static std::uint64_t Key(std::int32_t row, int column) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(row)) << 2) |
           static_cast<std::uint64_t>(column);
  }
  static Real LoadValue(const unsigned char* bytes);
  Reading ReadCell(const PackedRow& r, std::int32_t row, int column) const;
  static void StoreValue(unsigned char* bytes, Real value);

  std::vector<PackedRow> rows_;
  std::unordered_map<std::uint64_t, std::string> texts_;
};

}  // namespace tavel
