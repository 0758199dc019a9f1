// Writing a restart file: size and counter, then one chain record per
// non-empty bucket in ascending bucket index, each chain from its head. All
// integers are 32-bit little-endian; a string key is written with its NUL.
#pragma once

#include <cstdint>
#include <cstdio>

#include "core/HashTable.h"

namespace kel {

struct RestartWrite {
  int64_t entries;  // entries written, to be checked against the counter
  int64_t bytes;    // the file's length
  bool complete;    // every byte reached the FILE without an error
};

// Owns the 64 KiB buffer the bytes are gathered in, allocated when the
// writer is made, so that a dump can make every allocation before it touches
// its target, and can write the table more than once.
class RestartWriter {
 public:
  RestartWriter();
  ~RestartWriter();
  RestartWriter(const RestartWriter&) = delete;
  RestartWriter& operator=(const RestartWriter&) = delete;

  // Writes `table` to `file`, which is left open (and flushed). A null file
  // writes nothing: the result tells the file's length and entry count.
  RestartWrite write(const HashTable& table, std::FILE* file);

 private:
  unsigned char* buffer_;
};

}  // namespace kel
