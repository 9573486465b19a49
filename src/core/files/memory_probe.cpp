#include "core/files/memory_probe.h"

#include <algorithm>
#include <fstream>
#include <limits>
#include <string>

#include <unistd.h>

#include "core/series/series.h"

namespace tavel {
namespace {

std::uint64_t AvailableMemory() {
  std::ifstream meminfo("/proc/meminfo");
  std::string key;
  std::uint64_t kib = 0;
  std::string unit;
  while (meminfo >> key >> kib) {
    if (key == "MemAvailable:") return kib * 1024;
    std::getline(meminfo, unit);
  }
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long pageSize = ::sysconf(_SC_PAGESIZE);
  if (pages > 0 && pageSize > 0) {
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
  }
  return std::numeric_limits<std::uint64_t>::max();
}

}  // namespace

// A row costs its Tdata and its packed cells (three ten-byte values and their states).
constexpr std::uint64_t kBytesPerRow = sizeof(Tdata) + 40;

bool DataFileRowsFit(std::int64_t rows, std::int64_t series) {
  if (rows < 0 || series < 0) return false;
  const auto cells = static_cast<std::uint64_t>(rows) * static_cast<std::uint64_t>(series);
  if (rows != 0 && cells / static_cast<std::uint64_t>(rows) != static_cast<std::uint64_t>(series)) {
    return false;
  }
  if (cells > std::numeric_limits<std::uint64_t>::max() / kBytesPerRow) return false;
  const std::uint64_t available = AvailableMemory();
  return cells * kBytesPerRow <= available - available / 4;
}

std::int64_t RowsThatFit() {
  const std::uint64_t available = AvailableMemory();
  const std::uint64_t rows = (available - available / 4) / kBytesPerRow;
  return static_cast<std::int64_t>(
      std::min<std::uint64_t>(rows, std::numeric_limits<std::int64_t>::max()));
}

}  // namespace tavel
