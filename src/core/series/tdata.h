#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <vector>

#include "core/series/real.h"

namespace tavel {

// Where Real is the x87 extended type, its ten bytes are loaded and stored by the x87 itself.
#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__) && __LDBL_MANT_DIG__ == 64
#define TAVEL_PACKED_REAL_X87 1
#else
#define TAVEL_PACKED_REAL_X87 0
#endif

// A Real kept in the bytes that carry it and no more: the x87 extended type fills ten of the
// sixteen it occupies in memory, and a million rows of three values would waste 18 MB on the
// rest. It reads and writes as a Real, every digit kept.
class PackedReal {
 public:
  static constexpr std::size_t kBytes =
      std::numeric_limits<Real>::digits == 64 ? 10 : sizeof(Real);

  PackedReal() noexcept = default;
  PackedReal(Real value) noexcept { Store(value); }  // NOLINT
  PackedReal& operator=(Real value) noexcept {
    Store(value);
    return *this;
  }
  operator Real() const noexcept {  // NOLINT
#if TAVEL_PACKED_REAL_X87
    // Straight from the ten bytes: a copy into a whole Real first is read back before its two
    // stores have landed, which stalls every read.
    Real value;
    __asm__("fldt %1" : "=t"(value) : "m"(Ten()));
    return value;
#else
    Real value = 0;
    std::memcpy(&value, bytes_, kBytes);
    return value;
#endif
  }

  // Holds the bytes of +0, as an emptied value does.
  bool IsPositiveZero() const {
    if constexpr (kBytes == 10) {
      std::uint64_t low = 0;
      std::uint16_t high = 0;
      std::memcpy(&low, bytes_, 8);
      std::memcpy(&high, bytes_ + 8, 2);
      return (low | high) == 0;
    }
    unsigned char any = 0;
    for (const unsigned char b : bytes_) any |= b;
    return any == 0;
  }

  const unsigned char* Bytes() const { return bytes_; }
  unsigned char* Bytes() { return bytes_; }

 private:
  using TenBytes = unsigned char[10];
  const TenBytes& Ten() const {
    return *reinterpret_cast<const TenBytes*>(bytes_);
  }
  TenBytes& Ten() {
    return *reinterpret_cast<TenBytes*>(bytes_);
  }

  void Store(Real value) noexcept {
#if TAVEL_PACKED_REAL_X87
    __asm__("fstpt %0" : "=m"(Ten()) : "t"(value) : "st");
#else
    std::memcpy(bytes_, &value, kBytes);
#endif
  }

  unsigned char bytes_[kBytes];
};

// One data row: X, Y and the fitted Y, each with its flag; a value is 0 when its flag is false.
class Tdata {
 public:
  PackedReal X;
  PackedReal Y;
  PackedReal YFit;
  bool XValid;
  bool YValid;
  bool FitValid;

  Tdata() noexcept : X(0), Y(0), YFit(0), XValid(false), YValid(false), FitValid(false) {}
  Tdata(Real x, Real y, Real yFit = 0, bool xValid = false, bool yValid = false,
        bool fitValid = false) noexcept
      : X(x), Y(y), YFit(yFit), XValid(xValid), YValid(yValid), FitValid(fitValid) {}

  // A row placed on memory that already holds zero bytes, which is an empty row: it writes
  // nothing, so a million new rows cost no pass over their memory. Only MakeEmptyRows uses it.
  struct ZeroedMemory {};
  explicit Tdata(ZeroedMemory) noexcept {}

  void AssignData(const Tdata& source) { *this = source; }
};

// `count` empty rows. A large count takes its memory from the system already zeroed and writes
// none of it: the pages are first touched by whoever fills the rows, from any thread.
std::vector<Tdata> MakeEmptyRows(std::size_t count);

// Makes `count` rows from `rows` on empty again, as MakeEmptyRows leaves them: the whole pages
// among them go back to the system, which zeroes them on their next touch.
void EmptyRows(Tdata* rows, std::size_t count);

}  // namespace tavel
