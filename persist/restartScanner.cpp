#include "persist/restartScanner.h"

#include <cstdlib>
#include <cstring>

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
  bool atEnd() { return !need(1); }

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
    if (capacity_ < wanted) enlarge(wanted, kept);
    else std::memmove(buffer_, cursor_, kept);
    const std::size_t got = std::fread(buffer_ + kept, 1, capacity_ - kept, file_);
    start_ = cursor_ = buffer_;
    end_ = cursor_ + kept + got;
    ended_ = got == 0;
    return got != 0;
  }

  // A larger buffer that starts with the `kept` unread bytes.
  void enlarge(std::size_t capacity, std::size_t kept) {
    auto* larger = static_cast<unsigned char*>(allocateOrDie(capacity));
    std::memcpy(larger, cursor_, kept);
    std::free(buffer_);
    buffer_ = larger;
    capacity_ = capacity;
  }

  std::FILE* file_ = nullptr;
  unsigned char* buffer_ = nullptr;
  std::size_t capacity_ = 0;
  const unsigned char* start_;
  const unsigned char* cursor_;
  const unsigned char* end_;
  int64_t dropped_ = 0;  // bytes of the file before start_
  bool ended_ = false;
};

// Every read records where its field starts: when the file stops making
// sense, that position is the offset reported.
class Scanner {
 public:
  Scanner(Input& in, RestartVisitor& visitor) : in_(in), visitor_(visitor) {}

  RestartScan scan() {
    int32_t size = 0;
    int32_t counter = 0;
    if (!int32(&size, RestartDamage::kEndsInSize)) return damaged();
    if (size < 1) return rejected(RestartDamage::kSizeBelowOne);
    if (!int32(&counter, RestartDamage::kEndsInCounter)) return damaged();
    visitor_.header(size, counter);
    for (int64_t read = 0; read < counter;) {
      RestartChain chain{};
      chain.offset = in_.position();
      if (!int32(&chain.bucket, RestartDamage::kEndsInBucket)) return damaged();
      if (chain.bucket < 0 || chain.bucket >= size)
        return rejected(RestartDamage::kBucketOutOfRange);
      if (!int32(&chain.length, RestartDamage::kEndsInChainLength)) return damaged();
      chain.entries = chain.length < 1 ? 1 : chain.length;
      visitor_.chain(chain);
      for (int64_t i = 0; i < chain.entries; ++i, ++read)
        if (!entry()) return damaged();
      visitor_.chainEnd();
    }
    const int64_t end = in_.position();
    return {RestartDamage::kNone, end, !in_.atEnd()};
  }

 private:
  // Reads a field; should the file end first, that is the damage.
  bool int32(int32_t* value, RestartDamage ending) {
    startField(ending);
    return in_.int32(value);
  }
  bool byte(uint8_t* value, RestartDamage ending) {
    startField(ending);
    return in_.byte(value);
  }
  void startField(RestartDamage ending) {
    fieldAt_ = in_.position();
    damage_ = ending;
  }
  // The field just read cannot be accepted.
  bool reject(RestartDamage why) {
    damage_ = why;
    return false;
  }
  RestartScan damaged() const { return {damage_, fieldAt_, false}; }
  RestartScan rejected(RestartDamage why) {
    reject(why);
    return damaged();
  }

  bool entry() {
    RestartEntry e{};
    e.offset = in_.position();
    if (!int32(&e.content, RestartDamage::kEndsInContent) ||
        !byte(&e.isLong, RestartDamage::kEndsInIsLong))
      return false;
    if (e.isLong > 1) return reject(RestartDamage::kBadIsLong);
    if (e.isLong == 1) {
      if (!int32(&e.longKey, RestartDamage::kEndsInLongKey)) return false;
      visitor_.entry(e);
      return true;
    }
    startField(RestartDamage::kStringUnterminated);
    const Input::Scan found = in_.string(&e.keyLength);
    if (found == Input::Scan::kTooLong) return reject(RestartDamage::kStringTooLong);
    if (found == Input::Scan::kEnded) return false;
    e.stringKey = reinterpret_cast<const char*>(in_.cursor());
    visitor_.entry(e);
    in_.skip(e.keyLength + 1);
    return true;
  }

  Input& in_;
  RestartVisitor& visitor_;
  int64_t fieldAt_ = 0;
  RestartDamage damage_ = RestartDamage::kNone;
};

}  // namespace

RestartScan scanRestartFile(std::FILE* file, RestartVisitor& visitor) {
  Input in(file);
  return Scanner(in, visitor).scan();
}

RestartScan scanRestartImage(const unsigned char* bytes, std::size_t length,
                             RestartVisitor& visitor) {
  Input in(bytes, length);
  return Scanner(in, visitor).scan();
}

}  // namespace kel
