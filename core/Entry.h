// One entry of the table: a key, string or long, with its 32-bit content,
// linked into the chain of its bucket.
//
// Entries live in the table's EntryPool and are named by 32-bit references
// (EntryRef), not pointers, so chain links and bucket heads take 4 bytes on
// every target. Bit 0 of a reference tells the kind of the entry it names
// (1: long key), so a chain walk skips entries of the other kind without
// reading them.
//
//   long entry    next | content | key                       12 bytes
//   string entry  next | content | length | fraction | key   20 bytes + key
//
// A string entry keeps its key's hash fraction, so growth places it without
// hashing it again and a lookup rejects most non-matching keys before it
// compares bytes; a long key's fraction is one multiplication away and is not
// kept. The key bytes and their NUL follow inline, unless the key is longer
// than kLongestInlineKey: then a pointer to a block of its own does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace kel {

using EntryRef = uint32_t;
constexpr EntryRef kNoEntry = 0;
constexpr EntryRef kLongKind = 1;

inline bool isLongRef(EntryRef ref) { return (ref & kLongKind) != 0; }

// Every entry is read and written as this one type: its first three words
// are common to both kinds, and the bytes a string entry goes on with (its
// fraction, then its key) are reached from its address and copied, never
// read through another type, so no two types alias one entry.
struct Entry {
  EntryRef next;
  int32_t content;
  union {
    int32_t longKey;  // a long entry's key
    uint32_t length;  // a string entry's key length, bytes before the NUL
  };
  // then, in a string entry, the fraction and the key: length + 1 bytes
  // inline, or a pointer to them

  static constexpr std::size_t kFractionOffset = 12;
  static constexpr std::size_t kKeyOffset = 20;
  static constexpr std::size_t kLongestInlineKey = 480;

  static constexpr bool inlineKey(std::size_t length) { return length <= kLongestInlineKey; }
  static constexpr std::size_t stringBytesFor(std::size_t length) {
    return kKeyOffset + (inlineKey(length) ? length + 1 : sizeof(char*));
  }
  std::size_t stringBytes() const { return stringBytesFor(length); }

  double fraction() const {
    double value;
    std::memcpy(&value, bytes() + kFractionOffset, sizeof value);
    return value;
  }
  void setFraction(double value) { std::memcpy(bytes() + kFractionOffset, &value, sizeof value); }

  unsigned char* tail() { return bytes() + kKeyOffset; }
  const unsigned char* tail() const { return bytes() + kKeyOffset; }
  const char* key() const {
    if (inlineKey(length)) return reinterpret_cast<const char*>(tail());
    const char* outside;
    std::memcpy(&outside, tail(), sizeof outside);
    return outside;
  }
  // The key's own block when it is not inline, else null.
  char* outsideKey() const {
    if (inlineKey(length)) return nullptr;
    char* outside;
    std::memcpy(&outside, tail(), sizeof outside);
    return outside;
  }

 private:
  unsigned char* bytes() { return reinterpret_cast<unsigned char*>(this); }
  const unsigned char* bytes() const { return reinterpret_cast<const unsigned char*>(this); }
};

static_assert(sizeof(Entry) == 12, "a long entry takes three 32-bit words");
static_assert(offsetof(Entry, length) + sizeof(uint32_t) == Entry::kFractionOffset &&
                  Entry::kFractionOffset + sizeof(double) == Entry::kKeyOffset,
              "a string entry's fraction follows its length, its key the fraction");

// One entry as the walks hand it out.
struct EntryView {
  bool isLong;
  int32_t content;
  int32_t longKey;        // isLong only
  const char* stringKey;  // !isLong only
  uint32_t keyLength;     // !isLong only
};

}  // namespace kel
