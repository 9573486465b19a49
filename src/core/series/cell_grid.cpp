#include "core/series/cell_grid.h"

#include <cassert>
#include <cstdio>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "core/series/number_text.h"

namespace tavel {

static_assert(std::numeric_limits<Real>::digits == 64,
              "cells pack the 80-bit extended type into ten bytes");

CellGrid::CellGrid(std::int32_t rows) {
  Resize(rows);
}

void CellGrid::Resize(std::int32_t rows) {
  if (rows < 0) rows = 0;
  const auto old = RowCount();
  if (rows < old) {
    for (auto it = texts_.begin(); it != texts_.end();) {
      if (static_cast<std::int32_t>(it->first >> 2) > rows) {
        it = texts_.erase(it);
      } else {
        ++it;
      }
    }
  }
  rows_.resize(static_cast<std::size_t>(rows), PackedRow{});
  rows_.shrink_to_fit();
}

void CellGrid::ThrowRowOutOfRange() {
  throw std::out_of_range("grid row out of range");
}

Real CellGrid::LoadValue(const unsigned char* bytes) {
  Real value = 0;
  std::memcpy(&value, bytes, kValueBytes);
  return value;
}

void CellGrid::StoreValue(unsigned char* bytes, Real value) {
  std::memcpy(bytes, &value, kValueBytes);
}

CellGrid::State CellGrid::StateOf(std::int32_t row, int column) const {
  assert(column >= kXColumn && column <= kFitColumn);
  return At(row).state[column - 1];
}

std::string CellGrid::Text(std::int32_t row, int column) const {
  const auto& r = At(row);
  switch (r.state[column - 1]) {
    case State::Empty:
      return {};
    case State::Number:
      return FormatNumber(LoadValue(r.value[column - 1]), 14);
    case State::Text:
      return texts_.at(Key(row, column));
  }
  return {};
}

Real CellGrid::Number(std::int32_t row, int column) const {
  const auto& r = At(row);
  return r.state[column - 1] == State::Number ? LoadValue(r.value[column - 1]) : 0;
}

void CellGrid::SetNumber(std::int32_t row, int column, Real value) {
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
  auto& r = At(row);
  switch (r.state[column - 1]) {
    case State::Number:
      if (FormatNumber(LoadValue(r.value[column - 1]), 14) == text) return;
      break;
    case State::Text:
      texts_[Key(row, column)] = std::string(text);
      return;
    case State::Empty:
      break;
  }
  r.state[column - 1] = State::Text;
  texts_[Key(row, column)] = std::string(text);
}

void CellGrid::Clear(std::int32_t row, int column) {
  auto& r = At(row);
  if (r.state[column - 1] == State::Text) texts_.erase(Key(row, column));
  r.state[column - 1] = State::Empty;
}

void CellGrid::ClearColumn(int column) {
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
  return ReadCell(At(row), row, column);
}

void CellGrid::ReadTextCell(std::int32_t row, int column, Real* value, bool* valid) const {
  const Reading reading = ReadCell(At(row), row, column);
  *value = reading.value;
  *valid = reading.valid;
}

std::string CellGrid::IndexText(std::int32_t row) {
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, "%7d", static_cast<int>(row));
  return buffer;
}

}  // namespace tavel
