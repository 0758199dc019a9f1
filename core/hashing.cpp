#include "core/hashing.h"

#include <array>
#include <cmath>
#include <cstring>

namespace kel {

namespace {

constexpr std::size_t kShortKey = 30;  // longer keys are sampled in windows
constexpr std::size_t kWindow = 10;

// Per byte c: h = h * multiplier[c] + value[c]. For every byte but the space
// that is h * 1.3 + |c as a signed char|; for the space it is h * 1.0 + 0.0,
// which is h exactly (h is never negative), so a space counts as skipped.
struct MixTable {
  std::array<double, 256> multiplier;
  std::array<double, 256> value;
};

constexpr MixTable makeMixTable() {
  MixTable table{};
  for (int c = 0; c < 256; ++c) {
    const bool space = c == 0x20;
    table.multiplier[c] = space ? 1.0 : 1.3;  // 1.3 is 0x3FF4CCCCCCCCCCCD
    table.value[c] = space ? 0.0 : static_cast<double>(c < 0x80 ? c : 256 - c);
  }
  return table;
}

constexpr MixTable kMix = makeMixTable();

inline double mix(double h, unsigned char c) { return h * kMix.multiplier[c] + kMix.value[c]; }

inline double mixRange(double h, const char* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) h = mix(h, static_cast<unsigned char>(bytes[i]));
  return h;
}

// The bytes that contribute to a key's hash: every byte of a key of up to 30
// bytes; of a longer key the first ten, ten from the middle and the last
// ten. (length - 10) / 2 equals trunc((length - 10) * 0.5) for every length
// a key can have.
std::size_t middleWindow(std::size_t length) { return (length - kWindow) / 2; }

// Bulk hashing puts each key's contributing bytes at the end of a row of
// kRow bytes, zeros before them: a zero mixes as h * 1.3 + 0, which keeps h
// at 0 until the key's first byte. The rows of a group are then mixed
// column by column from the first column any of them uses. A group without
// spaces, as most are, mixes every byte with the one multiplier 1.3; a group
// with one goes through the table of multipliers, where a space leaves h as
// it is. Either way every key sees its own bytes in its own order, each
// multiply and add rounded on its own.
constexpr std::size_t kRow = 32;
static_assert(kRow >= kShortKey, "a row holds every contributing byte");

template <typename Word>
Word loadWord(const char* p) {
  Word v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
// A Word with every byte `byte`.
template <typename Word>
constexpr Word everyByte(uint8_t byte) {
  return static_cast<Word>(~Word{0} / 0xFF * byte);
}
static_assert(everyByte<uint32_t>(' ') == 0x20202020u && everyByte<uint64_t>(0x80) == 0x8080808080808080u,
              "every byte of the word alike");
// The high bit of a byte is set in spaceBits(v) where that byte of v is a
// space, and can be set above one (the borrow of the test for a zero byte,
// applied to v with every byte exclusive-ored with a space): only whether
// any is set tells.
template <typename Word>
Word spaceBits(Word v) {
  const Word x = v ^ everyByte<Word>(' ');
  return (x - everyByte<Word>(0x01)) & ~x & everyByte<Word>(0x80);
}

// Copies n bytes, n <= kRow, from src to dst through loads and stores that
// overlap where n is not a multiple of their width, and never reach past
// src + n; returns whether one of the bytes is a space.
bool copyBytes(unsigned char* dst, const char* src, std::size_t n) {
  if (n >= 8) {
    // Four words at 0, a, b and n - 8 cover the n bytes for n <= 32.
    const std::size_t a = n - 8 < 8 ? n - 8 : 8;
    const std::size_t b = n >= 16 && n - 16 > a ? n - 16 : a;
#if defined(KEL_HASH_SSE2)
    auto word = [](const char* p) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)); };
    const __m128i w0 = word(src), w1 = word(src + a), w2 = word(src + b), w3 = word(src + n - 8);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(dst), w0);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + a), w1);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + b), w2);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + n - 8), w3);
    const __m128i space = _mm_set1_epi8(' ');
    const __m128i front = _mm_cmpeq_epi8(_mm_unpacklo_epi64(w0, w1), space);
    const __m128i back = _mm_cmpeq_epi8(_mm_unpacklo_epi64(w2, w3), space);
    return _mm_movemask_epi8(_mm_or_si128(front, back)) != 0;
#else
    auto word = [](const char* p) { return loadWord<uint64_t>(p); };
    const uint64_t w0 = word(src), w1 = word(src + a), w2 = word(src + b), w3 = word(src + n - 8);
    std::memcpy(dst, &w0, 8);
    std::memcpy(dst + a, &w1, 8);
    std::memcpy(dst + b, &w2, 8);
    std::memcpy(dst + n - 8, &w3, 8);
    return (spaceBits(w0) | spaceBits(w1) | spaceBits(w2) | spaceBits(w3)) != 0;
#endif
  }
  if (n >= 4) {
    const uint32_t w0 = loadWord<uint32_t>(src), w1 = loadWord<uint32_t>(src + n - 4);
    std::memcpy(dst, &w0, 4);
    std::memcpy(dst + n - 4, &w1, 4);
    return (spaceBits(w0) | spaceBits(w1)) != 0;
  }
  bool space = false;
  for (std::size_t i = 0; i < n; ++i) space |= (dst[i] = static_cast<unsigned char>(src[i])) == ' ';
  return space;
}

// Fills a row with a key's contributing bytes, as above; returns how many
// columns, counted from the row's end, they take, and tells whether one of
// them is a space.
std::size_t fillRow(const char* key, std::size_t length, unsigned char* row, bool* spaces) {
  std::memset(row, 0, kRow);
  if (length <= kShortKey) {
    *spaces = copyBytes(row + kRow - length, key, length);
    return length;
  }
  unsigned char* out = row + kRow - kShortKey;
  *spaces = copyBytes(out, key, kWindow) | copyBytes(out + kWindow, key + middleWindow(length), kWindow) |
            copyBytes(out + 2 * kWindow, key + length - kWindow, kWindow);
  return kShortKey;
}

}  // namespace

double stringFraction(const char* key, std::size_t length) {
  if (length <= kShortKey) return fractionOf(mixRange(0.0, key, length));
  double h = mixRange(0.0, key, kWindow);
  h = mixRange(h, key + middleWindow(length), kWindow);
  return fractionOf(mixRange(h, key + length - kWindow, kWindow));
}

// Each key's h is a chain of dependent multiply-adds; mixing a group of keys
// column by column lets their chains overlap.
void stringFractionsOfLengths(const char* const* keys, const std::size_t* lengths, int32_t count,
                              double* fractions) {
  unsigned char rows[kHashGroup][kRow];
  std::size_t longest = 0;
  bool spaces = false;
  for (int32_t k = 0; k < kHashGroup; ++k) {
    std::size_t used = 0;
    bool rowSpaces = false;
    if (k < count && keys[k] != nullptr) used = fillRow(keys[k], lengths[k], rows[k], &rowSpaces);
    else std::memset(rows[k], 0, kRow);  // the empty key, or no key
    if (used > longest) longest = used;
    spaces |= rowSpaces;
  }
  double h[kHashGroup] = {};
  if (spaces) {
    for (std::size_t i = kRow - longest; i < kRow; ++i)
      for (int32_t k = 0; k < kHashGroup; ++k) h[k] = mix(h[k], rows[k][i]);
  } else {
    for (std::size_t i = kRow - longest; i < kRow; ++i)
      for (int32_t k = 0; k < kHashGroup; ++k) h[k] = h[k] * 1.3 + kMix.value[rows[k][i]];
  }
  for (int32_t k = 0; k < count; ++k) fractions[k] = fractionOf(h[k]);
}

void stringFractions(const char* const* keys, int32_t count, std::size_t* lengths,
                     double* fractions) {
  for (int32_t k = 0; k < count; ++k) lengths[k] = keys[k] != nullptr ? std::strlen(keys[k]) : 0;
  stringFractionsOfLengths(keys, lengths, count, fractions);
}

int32_t hashString(const char* key, int32_t size) {
  return bucketOf(stringFraction(key, std::strlen(key)), size);
}

int32_t hashLong(int32_t key, int32_t size) { return bucketOf(longFraction(key), size); }

}  // namespace kel
