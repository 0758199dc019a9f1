#include "persist/restartReader.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "core/memory.h"

namespace kel {

namespace {

// The bytes of a restart file seen through a window: either the whole file
// in memory, or a buffer refilled from a FILE in large reads. The window
// grows beyond its usual size only while a long string key needs it.
class Input {
 public:
  Input(const unsigned char* bytes, std::size_t length)
      : start_(bytes), cursor_(bytes), end_(bytes + length) {}
  explicit Input(std::FILE* file)
      : file_(file), buffer_(static_cast<unsigned char*>(allocateOrDie(kChunk))), capacity_(kChunk) {
    start_ = cursor_ = end_ = buffer_;
  }
  ~Input() { std::free(buffer_); }
  Input(const Input&) = delete;
  Input& operator=(const Input&) = delete;

  int64_t position() const { return dropped_ + (cursor_ - start_); }
  std::size_t available() const { return static_cast<std::size_t>(end_ - cursor_); }
  const unsigned char* cursor() const { return cursor_; }
  void skip(std::size_t bytes) { cursor_ += bytes; }

  bool int32(int32_t* value) {
    if (!need(4)) return false;
    const unsigned char* p = cursor_;
    *value = static_cast<int32_t>(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 |
                                  uint32_t{p[3]} << 24);
    cursor_ += 4;
    return true;
  }

  bool byte(uint8_t* value) {
    if (!need(1)) return false;
    *value = *cursor_++;
    return true;
  }

  // Finds the NUL of the string at the cursor; the string's bytes then stay
  // at cursor() until the next read.
  enum class Scan { kFound, kTooLong, kEnded };
  Scan string(std::size_t* length) {
    constexpr std::size_t kLimit = kLongestStringKey + 1;  // the NUL must lie within these
    std::size_t scanned = 0;
    for (;;) {
      const std::size_t window = available() < kLimit ? available() : kLimit;
      if (const void* nul = std::memchr(cursor_ + scanned, 0, window - scanned)) {
        *length = static_cast<std::size_t>(static_cast<const unsigned char*>(nul) - cursor_);
        return Scan::kFound;
      }
      scanned = window;
      if (scanned == kLimit) return Scan::kTooLong;
      if (!more(scanned + kChunk < kLimit ? scanned + kChunk : kLimit)) return Scan::kEnded;
    }
  }

 private:
  static constexpr std::size_t kChunk = std::size_t{1} << 16;

  bool need(std::size_t bytes) {
    while (available() < bytes)
      if (!more(bytes)) return false;
    return true;
  }

  // Moves the unread bytes to the front of the buffer and reads more after
  // them, aiming for `wanted` bytes in the window. False when nothing more
  // can be read.
  bool more(std::size_t wanted) {
    if (file_ == nullptr || ended_) return false;
    const std::size_t kept = available();
    dropped_ += cursor_ - start_;
    std::memmove(buffer_, cursor_, kept);
    if (capacity_ < wanted) {
      auto* larger = static_cast<unsigned char*>(std::realloc(buffer_, wanted));
      if (larger == nullptr) outOfMemory();
      buffer_ = larger;
      capacity_ = wanted;
    }
    const std::size_t got = std::fread(buffer_ + kept, 1, capacity_ - kept, file_);
    start_ = cursor_ = buffer_;
    end_ = cursor_ + kept + got;
    ended_ = got == 0;
    return got != 0;
  }

  std::FILE* file_ = nullptr;
  unsigned char* buffer_ = nullptr;  // only when reading a FILE
  std::size_t capacity_ = 0;
  const unsigned char* start_;
  const unsigned char* cursor_;
  const unsigned char* end_;
  int64_t dropped_ = 0;  // bytes of the file before start_
  bool ended_ = false;
};

// Every read records where its field starts: when the file stops making
// sense, that position is the offset reported.
class Reader {
 public:
  explicit Reader(Input& in) : in_(in) {}

  RestartImage read() {
    int32_t size = 0;
    int32_t counter = 0;
    if (!int32(&size) || size < 1 || !int32(&counter)) return damaged();
    auto* created = new (std::nothrow) HashTable(size, counter);
    if (created == nullptr) outOfMemory();
    std::unique_ptr<HashTable> table(created);
    // A counter of 0 or less reads no chain. The last chain is read whole
    // even when it takes the count past the counter.
    for (int64_t loaded = 0; loaded < counter;) {
      int32_t bucket = 0;
      int32_t length = 0;
      if (!int32(&bucket) || bucket < 0 || bucket >= size || !int32(&length)) return damaged();
      // A chain length of 0 or less still stands for one entry.
      const int64_t entries = length < 1 ? 1 : length;
      EntryRef head = kNoEntry;
      EntryRef tail = kNoEntry;
      for (int64_t i = 0; i < entries; ++i, ++loaded) {
        const EntryRef entry = readEntry(*table);
        if (entry == kNoEntry) {
          table->discardChain(head);
          return damaged();
        }
        if (tail == kNoEntry) head = entry;
        else table->setNext(tail, entry);
        tail = entry;
      }
      // A bucket stored twice keeps its later chain.
      table->placeChain(bucket, head);
    }
    table->finishRestoring();
    return {table.release(), -1};
  }

 private:
  bool int32(int32_t* value) {
    fieldAt_ = in_.position();
    return in_.int32(value);
  }
  bool byte(uint8_t* value) {
    fieldAt_ = in_.position();
    return in_.byte(value);
  }
  RestartImage damaged() const { return {nullptr, fieldAt_}; }

  // The next entry, or kNoEntry where the file stops making sense.
  EntryRef readEntry(HashTable& table) {
    int32_t content = 0;
    uint8_t isLong = 0;
    if (!int32(&content) || !byte(&isLong) || isLong > 1) return kNoEntry;
    if (isLong == 1) {
      int32_t key = 0;
      if (!int32(&key)) return kNoEntry;
      return table.makeLongEntry(key, content);
    }
    fieldAt_ = in_.position();
    std::size_t length = 0;
    if (in_.string(&length) != Input::Scan::kFound) return kNoEntry;
    const EntryRef entry =
        table.makeStringEntry(reinterpret_cast<const char*>(in_.cursor()), length, content);
    in_.skip(length + 1);
    return entry;
  }

  Input& in_;
  int64_t fieldAt_ = 0;
};

}  // namespace

RestartImage readRestartFile(std::FILE* file) {
  Input in(file);
  return Reader(in).read();
}

RestartImage readRestartImage(const unsigned char* bytes, std::size_t length) {
  Input in(bytes, length);
  return Reader(in).read();
}

}  // namespace kel
