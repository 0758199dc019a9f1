// One entry of the table: a key, string or long, with its 32-bit content,
// linked into the chain of its bucket.
//
// A string entry keeps its own copy of the key inline, right after the
// fixed fields, so a lookup reads one block per entry. Every entry also
// keeps its key's hash fraction, so growth places entries without hashing
// them again and a lookup rejects most non-matching keys without touching
// their bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace kel {

struct Entry {
  Entry* next;
  double fraction;  // hash fraction of the key: bucket = trunc(fraction * size)
  int32_t content;
  union {
    int32_t longKey;     // isLong == 1
    uint32_t keyLength;  // isLong == 0: bytes before the NUL of the inline copy
  };
  uint8_t isLong;

  // Bytes an entry needs: the fixed fields, then the string and its NUL.
  static std::size_t bytesForString(std::size_t length) { return kKeyOffset + length + 1; }
  static std::size_t bytesForLong() { return sizeof(Entry); }
  std::size_t bytes() const { return isLong ? bytesForLong() : bytesForString(keyLength); }

  const char* stringKey() const { return reinterpret_cast<const char*>(this) + kKeyOffset; }
  char* stringKey() { return reinterpret_cast<char*>(this) + kKeyOffset; }

  int32_t getContent() const { return content; }
  void setContent(int32_t value) { content = value; }

  bool matchesString(const char* key, std::size_t length, double keyFraction) const {
    return !isLong && fraction == keyFraction && keyLength == length &&
           std::memcmp(stringKey(), key, length) == 0;
  }
  bool matchesLong(int32_t key) const { return isLong && longKey == key; }

  static const std::size_t kKeyOffset;
};

inline const std::size_t Entry::kKeyOffset = offsetof(Entry, isLong) + 1;

}  // namespace kel
