#include "persist/restartWriter.h"

#include <cstdlib>
#include <cstring>

#include "core/memory.h"

namespace kel {

namespace {

constexpr std::size_t kChunk = std::size_t{1} << 16;

// Collects the file's bytes in a buffer and hands them to the FILE in large
// writes; counts them, and without a FILE only counts them.
class Output {
 public:
  Output(std::FILE* file, unsigned char* buffer) : file_(file), buffer_(buffer) {}

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
    total_ += static_cast<int64_t>(count);
    if (file_ == nullptr) return;
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
    if (file_ != nullptr && std::fflush(file_) != 0) failed_ = true;
    return !failed_;
  }
  int64_t total() const { return total_; }

 private:
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
  int64_t total_ = 0;
  bool failed_ = false;
};

}  // namespace

RestartWriter::RestartWriter() : buffer_(static_cast<unsigned char*>(allocateOrDie(kChunk))) {}

RestartWriter::~RestartWriter() { std::free(buffer_); }

RestartWrite RestartWriter::write(const HashTable& table, std::FILE* file) {
  Output out(file, buffer_);
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
  const bool complete = out.finish();
  return {entries, out.total(), complete};
}

}  // namespace kel
