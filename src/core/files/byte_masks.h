#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tavel {

// The bits from..to-1 of a 64-bit mask (0 <= from <= 64, from <= to <= 64).
inline std::uint64_t BitsBetween(int from, int to) {
  const std::uint64_t below = to >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << to) - 1;
  return from >= 64 ? 0 : below & ~((std::uint64_t{1} << from) - 1);
}

#if defined(__SSE2__)
// Sixty-four bytes of text as bit masks: the file readers count lines and fields this way, a
// chunk at a time instead of a byte at a time.
class Bytes64 {
 public:
  explicit Bytes64(const char* p) {
    for (int i = 0; i < 4; ++i) v_[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p) + i);
  }

  // Bit i set where byte i is one of the two bytes (or the one byte, when both are the same).
  std::uint64_t Where(char a, char b) const {
    const __m128i ka = _mm_set1_epi8(a), kb = _mm_set1_epi8(b);
    std::uint64_t mask = 0;
    for (int i = 0; i < 4; ++i) {
      const __m128i hit = _mm_or_si128(_mm_cmpeq_epi8(v_[i], ka), _mm_cmpeq_epi8(v_[i], kb));
      mask |= static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(hit)))
              << (16 * i);
    }
    return mask;
  }

 private:
  __m128i v_[4];
};
#endif

}  // namespace tavel
