#include "persist/restartWriter.h"

#include <cstdlib>
#include <cstring>

#include "core/memory.h"

namespace kel {

namespace {

// Collects the file's bytes in a buffer and hands them to the FILE in large
// writes.
class Output {
 public:
  explicit Output(std::FILE* file)
      : file_(file), buffer_(static_cast<unsigned char*>(allocateOrDie(kChunk))) {}
  ~Output() { std::free(buffer_); }
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  void int32(int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    const unsigned char bytes[4] = {static_cast<unsigned char>(bits),
                                    static_cast<unsigned char>(bits >> 8),
                                    static_cast<unsigned char>(bits >> 16),
                                    static_cast<unsigned char>(bits >> 24)};
    append(bytes, 4);
  }
  void byte(uint8_t value) { append(&value, 1); }

  void append(const void* bytes, std::size_t count) {
    if (count > kChunk - used_) {
      flush();
      if (count > kChunk) {  // a long string key goes straight to the FILE
        put(bytes, count);
        return;
      }
    }
    std::memcpy(buffer_ + used_, bytes, count);
    used_ += count;
  }

  bool finish() {
    flush();
    if (std::fflush(file_) != 0) failed_ = true;
    return !failed_;
  }

 private:
  static constexpr std::size_t kChunk = std::size_t{1} << 16;

  void flush() {
    put(buffer_, used_);
    used_ = 0;
  }
  void put(const void* bytes, std::size_t count) {
    if (!failed_ && count != 0 && std::fwrite(bytes, 1, count, file_) != count) failed_ = true;
  }

  std::FILE* file_;
  unsigned char* buffer_;
  std::size_t used_ = 0;
  bool failed_ = false;
};

}  // namespace

RestartWrite writeRestartFile(const HashTable& table, std::FILE* file) {
  Output out(file);
  out.int32(table.size());
  out.int32(table.counter());
  int64_t entries = 0;
  table.forEachChain([&](int32_t bucket, EntryRef head) {
    int32_t length = 0;
    for (EntryRef e = head; e != kNoEntry; e = table.next(e)) ++length;
    entries += length;
    out.int32(bucket);
    out.int32(length);
    for (EntryRef e = head; e != kNoEntry; e = table.next(e)) {
      const EntryView v = table.view(e);
      out.int32(v.content);
      out.byte(v.isLong ? 1 : 0);
      if (v.isLong) out.int32(v.longKey);
      else out.append(v.stringKey, v.keyLength + std::size_t{1});
    }
  });
  return {entries, out.finish()};
}

}  // namespace kel
