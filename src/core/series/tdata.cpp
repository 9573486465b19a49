#include "core/series/tdata.h"

#include <cstring>
#include <type_traits>

#include <sys/mman.h>
#include <unistd.h>

namespace tavel {
namespace {

static_assert(std::is_trivially_copyable_v<Tdata> && std::is_trivially_destructible_v<Tdata>,
              "rows are moved and dropped as plain bytes");

// Below this the rows are simply written: the system calls would cost more than the writing.
constexpr std::size_t kZeroedBytes = std::size_t{1} << 20;

// Counts rows without holding any: each one the vector builds from it is placed on zeroed
// memory and writes nothing.
class ZeroedRows {
 public:
  using iterator_category = std::random_access_iterator_tag;
  using value_type = Tdata::ZeroedMemory;
  using difference_type = std::ptrdiff_t;
  using pointer = const value_type*;
  using reference = value_type;

  ZeroedRows() = default;
  explicit ZeroedRows(std::size_t at) : at_(static_cast<difference_type>(at)) {}

  value_type operator*() const { return {}; }
  value_type operator[](difference_type) const { return {}; }
  ZeroedRows& operator++() {
    ++at_;
    return *this;
  }
  ZeroedRows operator++(int) {
    ZeroedRows before = *this;
    ++at_;
    return before;
  }
  ZeroedRows& operator--() {
    --at_;
    return *this;
  }
  ZeroedRows operator--(int) {
    ZeroedRows before = *this;
    --at_;
    return before;
  }
  ZeroedRows& operator+=(difference_type n) {
    at_ += n;
    return *this;
  }
  ZeroedRows& operator-=(difference_type n) {
    at_ -= n;
    return *this;
  }
  friend difference_type operator-(ZeroedRows a, ZeroedRows b) { return a.at_ - b.at_; }
  friend bool operator==(const ZeroedRows&, const ZeroedRows&) = default;

 private:
  difference_type at_ = 0;
};

// Makes the bytes zero without writing them where the system can do it: whole pages inside the
// block are handed back and come back zeroed on first touch (a fresh block has none to hand
// back, and this costs next to nothing); only the partial pages at either end are cleared.
void ZeroBytes(void* block, std::size_t size) {
  const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto begin = reinterpret_cast<std::uintptr_t>(block);
  const std::uintptr_t end = begin + size;
  const std::uintptr_t first = (begin + page - 1) / page * page;
  const std::uintptr_t last = end / page * page;
  if (page == 0 || first >= last ||
      ::madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED) != 0) {
    std::memset(block, 0, size);
    return;
  }
  std::memset(block, 0, first - begin);
  std::memset(reinterpret_cast<void*>(last), 0, end - last);
}

}  // namespace

void EmptyRows(Tdata* rows, std::size_t count) {
  ZeroBytes(rows, count * sizeof(Tdata));
}

std::vector<Tdata> MakeEmptyRows(std::size_t count) {
  if (count * sizeof(Tdata) < kZeroedBytes) return std::vector<Tdata>(count);
  std::vector<Tdata> rows(ZeroedRows(0), ZeroedRows(count));
  ZeroBytes(rows.data(), count * sizeof(Tdata));
  return rows;
}

}  // namespace tavel
