// Reading a restart file record by record, without building anything: the
// header, then each chain record and each of its entry records, with the
// byte offset of each, go to a visitor. The table loader places the chains
// it is shown; kelht inspects them. A damaged file never ends the process
// here: the scan stops and reports where and why.
//
// What is read, and what is damaged, are the loader's rules:
//   - a counter of 0 or less reads no chain; chains are read while fewer
//     entries than the counter have been read, and the last one is read
//     whole even when it takes the count past the counter;
//   - a chain length of 0 or less stands for one entry;
//   - a file is damaged when it ends before a field is complete, stores a
//     size below 1, a bucket index outside 0 to size - 1, an isLong byte
//     other than 0 or 1, or a string key of more than kLongestStringKey
//     bytes or without its NUL. The offset of a damaged file is the byte
//     position of the first field that cannot be accepted (for a string key,
//     the position of its first byte).
// Whatever follows the last chain read is not parsed; the scan only tells
// whether anything follows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace kel {

// The longest string key a restart file may hold, not counting its NUL.
constexpr std::size_t kLongestStringKey = 499999;

// The first field of a damaged file that cannot be accepted, and why.
enum class RestartDamage {
  kNone,
  kEndsInSize,
  kEndsInCounter,
  kEndsInBucket,
  kEndsInChainLength,
  kEndsInContent,
  kEndsInIsLong,
  kEndsInLongKey,
  kSizeBelowOne,
  kBucketOutOfRange,
  kBadIsLong,
  kStringTooLong,
  kStringUnterminated,
};

struct RestartChain {
  int32_t bucket;
  int32_t length;   // as stored
  int64_t entries;  // the entry records that follow: length, at least 1
  int64_t offset;   // of the bucket index
};

struct RestartEntry {
  int32_t content;
  uint8_t isLong;
  int32_t longKey;        // isLong == 1
  const char* stringKey;  // isLong == 0: keyLength bytes and a NUL, valid during the call
  std::size_t keyLength;
  int64_t offset;  // of the content
};

class RestartVisitor {
 public:
  virtual void header(int32_t size, int32_t counter) = 0;
  virtual void chain(const RestartChain& chain) = 0;  // before its entries
  virtual void entry(const RestartEntry& entry) = 0;
  virtual void chainEnd() = 0;  // after the chain's last entry

 protected:
  ~RestartVisitor() = default;
};

struct RestartScan {
  RestartDamage damage;  // kNone: every record the counter asks for was read
  int64_t offset;        // damaged: where; otherwise the byte after the last record read
  bool trailing;         // not damaged, and bytes follow the last record read
};

// Scans the restart file `file` from its current position; the file is left open.
RestartScan scanRestartFile(std::FILE* file, RestartVisitor& visitor);
// Scans a restart file held in memory.
RestartScan scanRestartImage(const unsigned char* bytes, std::size_t length, RestartVisitor& visitor);

}  // namespace kel
