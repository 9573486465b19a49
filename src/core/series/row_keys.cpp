#include "core/series/row_keys.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace tavel {

namespace {

constexpr int kKeyBytes = 10;

unsigned KeyByte(const RowKey& key, int byte) {
  return byte < 8 ? static_cast<unsigned>(key.mantissa >> (8 * byte)) & 0xFFu
                  : static_cast<unsigned>(key.signExponent >> (8 * (byte - 8))) & 0xFFu;
}

bool KeyLess(const RowKey& a, const RowKey& b) {
  return a.signExponent < b.signExponent ||
         (a.signExponent == b.signExponent && a.mantissa < b.mantissa);
}

}  // namespace

RowKey MakeKey(Real x, std::int32_t index, bool descending) {
  if (x == 0) x = 0;  // -0 and 0 are equal X
  RowKey key{0, 0, index};
  unsigned char bytes[sizeof(Real)] = {};
  std::memcpy(bytes, &x, kKeyBytes);
  std::memcpy(&key.mantissa, bytes, 8);
  std::memcpy(&key.signExponent, bytes + 8, 2);
  // Positive values above negative ones, larger negative magnitudes lower; descending keys are
  // the complement of ascending ones.
  const bool negative = (key.signExponent & 0x8000u) != 0;
  if (!negative) key.signExponent = static_cast<std::uint16_t>(key.signExponent | 0x8000u);
  if (negative != descending) {
    key.mantissa = ~key.mantissa;
    key.signExponent = static_cast<std::uint16_t>(~key.signExponent);
  }
  return key;
}

// Least significant byte first, each pass stable, so equal X keep their row order. A byte
// that all keys share (the low mantissa bytes of short numbers) costs no pass.
void SortKeys(std::vector<RowKey>& keys) {
  if (std::is_sorted(keys.begin(), keys.end(), KeyLess)) return;
  std::vector<std::array<std::uint32_t, 256>> counts(kKeyBytes);
  for (const RowKey& key : keys) {
    for (int byte = 0; byte < kKeyBytes; ++byte) ++counts[byte][KeyByte(key, byte)];
  }
  std::vector<RowKey> buffer(keys.size());
  for (int byte = 0; byte < kKeyBytes; ++byte) {
    std::array<std::uint32_t, 256>& count = counts[byte];
    if (count[KeyByte(keys.front(), byte)] == keys.size()) continue;
    std::uint32_t offset = 0;
    for (std::uint32_t& c : count) offset += std::exchange(c, offset);
    for (const RowKey& key : keys) buffer[count[KeyByte(key, byte)]++] = key;
    keys.swap(buffer);
  }
}

}  // namespace tavel
