#include "core/series/cell_grid.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <cstring>
#include <limits>
#include <mutex>
#include <stdexcept>

#include "core/series/number_text.h"
#include "core/series/run_parts.h"

namespace tavel {

static_assert(std::numeric_limits<Real>::digits == 64,
              "cells pack the 80-bit extended type into ten bytes");

namespace {

const PackedReal& ValueOf(const Tdata& row, int column) {
  return column == kXColumn ? row.X : column == kYColumn ? row.Y : row.YFit;
}
bool FlagOf(const Tdata& row, int column) {
  return column == kXColumn ? row.XValid : column == kYColumn ? row.YValid : row.FitValid;
}

// Copying a large grid's cells is split in two fixed halves, as every row stands alone.
constexpr std::int32_t kSplitRows = 1 << 15;

}  // namespace

CellGrid::CellGrid(std::int32_t rows) {
  Resize(rows);
}

CellGrid::CellGrid(const CellGrid& other) : texts_(other.texts_) {
  own_.resize(static_cast<std::size_t>(other.RowCount()));
  for (std::int32_t row = 1; row <= other.RowCount(); ++row) {
    own_[static_cast<std::size_t>(row - 1)] = other.Pack(row);
  }
}

CellGrid& CellGrid::operator=(const CellGrid& other) {
  if (this == &other) return *this;
  CellGrid copy(other);
  own_ = std::move(copy.own_);
  texts_ = std::move(copy.texts_);
  sharing_ = false;  // still the series' grid (rows_ stays), but with cells of its own now
  return *this;
}

void CellGrid::Resize(std::int32_t rows) {
  if (rows < 0) rows = 0;
  if (rows < RowCount()) {
    for (auto it = texts_.begin(); it != texts_.end();) {
      if (static_cast<std::int32_t>(it->first >> 2) > rows) {
        it = texts_.erase(it);
      } else {
        ++it;
      }
    }
  }
  if (sharing_) {
    sharedCount_ = rows;
    return;
  }
  own_.resize(static_cast<std::size_t>(rows), PackedRow{});
  own_.shrink_to_fit();
}

void CellGrid::ThrowRowOutOfRange() {
  throw std::out_of_range("grid row out of range");
}

const Tdata* CellGrid::SharedRow(std::int32_t row) const {
  if (row < 1 || row > sharedCount_) ThrowRowOutOfRange();
  const auto index = static_cast<std::size_t>(row - 1);
  return index < rows_->size() ? &(*rows_)[index] : nullptr;
}

Real CellGrid::LoadValue(const unsigned char* bytes) {
  Real value = 0;
  std::memcpy(&value, bytes, kValueBytes);
  return value;
}

void CellGrid::StoreValue(unsigned char* bytes, Real value) {
  std::memcpy(bytes, &value, kValueBytes);
}

CellGrid::PackedRow CellGrid::Pack(std::int32_t row) const {
  if (!sharing_) return At(row);
  PackedRow packed{};
  const Tdata* r = SharedRow(row);
  for (int c = 0; c < 3; ++c) {
    if (IsText(row, c + 1)) {
      packed.state[c] = State::Text;
    } else if (r != nullptr && FlagOf(*r, c + 1)) {
      packed.state[c] = State::Number;
      std::memcpy(packed.value[c], &ValueOf(*r, c + 1), kValueBytes);
    }
  }
  return packed;
}

CellGrid::State CellGrid::StateOf(std::int32_t row, int column) const {
  assert(column >= kXColumn && column <= kFitColumn);
  if (!sharing_) return At(row).state[column - 1];
  const Tdata* r = SharedRow(row);
  if (IsText(row, column)) return State::Text;
  return r != nullptr && FlagOf(*r, column) ? State::Number : State::Empty;
}

std::string CellGrid::Text(std::int32_t row, int column) const {
  switch (StateOf(row, column)) {
    case State::Empty:
      return {};
    case State::Number:
      return FormatNumber(Number(row, column), 14);
    case State::Text:
      return texts_.at(Key(row, column));
  }
  return {};
}

Real CellGrid::Number(std::int32_t row, int column) const {
  if (!sharing_) {
    const auto& r = At(row);
    return r.state[column - 1] == State::Number ? LoadValue(r.value[column - 1]) : 0;
  }
  if (StateOf(row, column) != State::Number) return 0;
  return ValueOf(*SharedRow(row), column);
}

void CellGrid::SetNumber(std::int32_t row, int column, Real value) {
  if (sharing_) {
    SharedRow(row);  // a row outside the grid is refused before anything is copied
    KeepOwnCopy();
  }
  auto& r = At(row);
  if (r.state[column - 1] == State::Text) texts_.erase(Key(row, column));
  r.state[column - 1] = State::Number;
  StoreValue(r.value[column - 1], value);
}

void CellGrid::SetText(std::int32_t row, int column, std::string_view text) {
  if (text.empty()) {
    Clear(row, column);
    return;
  }
  switch (StateOf(row, column)) {
    case State::Number:
      if (FormatNumber(Number(row, column), 14) == text) return;
      break;
    case State::Text:
      texts_[Key(row, column)] = std::string(text);
      return;
    case State::Empty:
      break;
  }
  if (sharing_) KeepOwnCopy();
  At(row).state[column - 1] = State::Text;
  texts_[Key(row, column)] = std::string(text);
}

void CellGrid::Clear(std::int32_t row, int column) {
  if (sharing_) {
    SharedRow(row);
    KeepOwnCopy();
  }
  auto& r = At(row);
  if (r.state[column - 1] == State::Text) texts_.erase(Key(row, column));
  r.state[column - 1] = State::Empty;
}

void CellGrid::ClearColumn(int column) {
  if (sharing_) KeepOwnCopy();
  for (std::int32_t row = 1; row <= RowCount(); ++row) Clear(row, column);
}

CellGrid::Reading CellGrid::ReadCell(const PackedRow& r, std::int32_t row, int column) const {
  switch (r.state[column - 1]) {
    case State::Empty:
      return {false, 0};
    case State::Number:
      return {true, LoadValue(r.value[column - 1])};
    case State::Text: {
      const auto parsed = ParseNumber(NormalizeDecimalPoint(texts_.at(Key(row, column))));
      return {true, parsed ? *parsed : 0};
    }
  }
  return {false, 0};
}

CellGrid::Reading CellGrid::Read(std::int32_t row, int column) const {
  if (!sharing_) return ReadCell(At(row), row, column);
  const Tdata* r = SharedRow(row);
  if (IsText(row, column)) {
    const auto parsed = ParseNumber(NormalizeDecimalPoint(texts_.at(Key(row, column))));
    return {true, parsed ? *parsed : 0};
  }
  if (r == nullptr || !FlagOf(*r, column)) return {false, 0};
  return {true, ValueOf(*r, column)};
}

void CellGrid::ReadTextCell(std::int32_t row, int column, PackedReal* value,
                            bool* valid) const {
  const Reading reading = Read(row, column);
  *value = reading.value;
  *valid = reading.valid;
}

void CellGrid::ReadSharedRow(std::int32_t row, PackedReal* const (&values)[3],
                             bool* const (&valid)[3]) const {
  const Tdata* r = SharedRow(row);
  for (int c = 0; c < 3; ++c) {
    if (IsText(row, c + 1)) {
      ReadTextCell(row, c + 1, values[c], valid[c]);
    } else if (r != nullptr && FlagOf(*r, c + 1)) {
      if (values[c] != &ValueOf(*r, c + 1))
        std::memcpy(values[c], &ValueOf(*r, c + 1), kValueBytes);
      *valid[c] = true;
    } else {
      *values[c] = 0;
      *valid[c] = false;
    }
  }
}

void CellGrid::WriteSharedRow(std::int32_t row, const PackedReal* const (&values)[3],
                              const bool (&valid)[3]) {
  SharedRow(row);
  KeepOwnCopy();
  WriteRow(row, values, valid);
}

void CellGrid::ShareRows(std::vector<Tdata>* rows, std::int32_t count) {
  rows_ = rows;
  sharedCount_ = count < 0 ? 0 : count;
  sharing_ = true;
  std::vector<PackedRow>().swap(own_);
  texts_.clear();
}

void CellGrid::KeepOwnCopy() {
  if (!sharing_) return;
  // Cells of separate rows may be written from separate threads: the first write copies, and
  // the others wait for the copy rather than write into the shared rows.
  static std::mutex copying;
  const std::lock_guard<std::mutex> lock(copying);
  if (!sharing_) return;
  const std::int32_t count = sharedCount_;
  std::vector<PackedRow> own(static_cast<std::size_t>(count));
  const int parts = count >= kSplitRows ? 2 : 1;
  RunParts(parts, [&](int k) {
    const std::int32_t first = k == 0 ? 1 : count / 2 + 1;
    const std::int32_t last = k == 0 && parts == 2 ? count / 2 : count;
    for (std::int32_t row = first; row <= last; ++row)
      own[static_cast<std::size_t>(row - 1)] = Pack(row);
  });
  own_ = std::move(own);
  sharing_ = false;
}

void CellGrid::DropOwnCopy() {
  if (sharing_ || rows_ == nullptr) return;
  sharedCount_ = static_cast<std::int32_t>(own_.size());
  std::vector<PackedRow>().swap(own_);
  sharing_ = true;
}

std::size_t CellGrid::ColumnCells::Bytes() const {
  std::size_t total = sizeof(ColumnCells) + bytes.capacity();
  for (const auto& [row, text] : texts) total += sizeof(row) + sizeof(text) + text.capacity();
  return total;
}

CellGrid::ColumnCells CellGrid::ColumnCells::Part(std::int32_t from, std::int32_t to) const {
  ColumnCells part;
  part.first = first + from;
  part.bytes.assign(bytes.begin() + static_cast<std::ptrdiff_t>(from * kCellBytes),
                    bytes.begin() + static_cast<std::ptrdiff_t>(to * kCellBytes));
  for (const auto& entry : texts) {
    if (entry.first >= part.first && entry.first < first + to) part.texts.push_back(entry);
  }
  return part;
}

CellGrid::ColumnCells CellGrid::CopyColumn(int column, std::int32_t first,
                                           std::int32_t last) const {
  assert(column >= kXColumn && column <= kFitColumn);
  ColumnCells copy;
  copy.first = std::max<std::int32_t>(first, 1);
  if (last < copy.first) return copy;
  copy.bytes.assign(static_cast<std::size_t>(last - copy.first + 1) * ColumnCells::kCellBytes, 0);
  const std::int32_t inGrid = std::min(last, RowCount());
  const int c = column - 1;
  for (std::int32_t row = copy.first; row <= inGrid; ++row) {
    unsigned char* cell =
        copy.bytes.data() + static_cast<std::size_t>(row - copy.first) * ColumnCells::kCellBytes;
    State state = State::Empty;
    if (!sharing_) {
      const PackedRow& r = own_[static_cast<std::size_t>(row - 1)];
      state = r.state[c];
      if (state == State::Number) std::memcpy(cell + 1, r.value[c], kValueBytes);
    } else if (IsText(row, column)) {
      state = State::Text;
    } else if (const Tdata* r = SharedRow(row); r != nullptr && FlagOf(*r, column)) {
      state = State::Number;
      std::memcpy(cell + 1, &ValueOf(*r, column), kValueBytes);
    }
    cell[0] = static_cast<unsigned char>(state);
  }
  for (const auto& [key, text] : texts_) {
    const auto row = static_cast<std::int32_t>(key >> 2);
    if (static_cast<int>(key & 3) == column && row >= copy.first && row <= inGrid)
      copy.texts.emplace_back(row, text);
  }
  std::sort(copy.texts.begin(), copy.texts.end());
  return copy;
}

void CellGrid::RestoreColumn(int column, const ColumnCells& cells) {
  assert(column >= kXColumn && column <= kFitColumn);
  KeepOwnCopy();
  const int c = column - 1;
  const std::int32_t last = std::min(cells.first + cells.Count() - 1, RowCount());
  for (std::int32_t row = cells.first; row <= last; ++row) {
    const unsigned char* cell =
        cells.bytes.data() + static_cast<std::size_t>(row - cells.first) * ColumnCells::kCellBytes;
    PackedRow& r = own_[static_cast<std::size_t>(row - 1)];
    if (r.state[c] == State::Text) texts_.erase(Key(row, column));
    r.state[c] = static_cast<State>(cell[0]);
    std::memcpy(r.value[c], cell + 1, kValueBytes);
  }
  for (const auto& [row, text] : cells.texts) {
    if (row <= last) texts_[Key(row, column)] = text;
  }
}

std::string CellGrid::IndexText(std::int32_t row) {
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, "%7d", static_cast<int>(row));
  return buffer;
}

}  // namespace tavel
