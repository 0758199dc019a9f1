// Fuzzing the restart-file reader in process, through its parsing core,
// which reports a damaged file instead of ending the process.
//
// For every input: the reader must stay in bounds, a damaged file's offset
// must lie within it, and an accepted table whose chains agree with its
// counter (the only kind a dump writes) must survive a round trip: written
// out and read back, it is written out to the same bytes again. The check,
// which builds no table, must say what the load made of the input: damaged
// at the same offset, or sound exactly when the table can be written out.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "persist/restartCheck.h"
#include "persist/restartReader.h"
#include "persist/restartWriter.h"

namespace {

// Tables of more buckets than this are legitimate but only cost the fuzzer
// memory and time: their bucket array is allocated before anything is read.
constexpr int32_t kLargestFuzzedSize = 1 << 16;

// The table's restart-file bytes; empty when its chains disagree with its
// counter.
std::string written(const kel::HashTable& table) {
  char* bytes = nullptr;
  std::size_t length = 0;
  std::FILE* file = open_memstream(&bytes, &length);
  if (file == nullptr) std::abort();
  const kel::RestartWrite write = kel::RestartWriter().write(table, file);
  std::fclose(file);
  if (!write.complete) std::abort();
  std::string result;
  if (write.entries == table.counter()) result.assign(bytes, length);
  std::free(bytes);
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size >= 4) {
    int32_t buckets;
    std::memcpy(&buckets, data, 4);  // little-endian hosts only, as the fuzzer runs
    if (buckets > kLargestFuzzedSize) return -1;
  }
  const kel::RestartImage image = kel::readRestartImage(data, size);
  const kel::RestartCheck check = kel::checkRestartImage(data, size);
  if (image.table == nullptr) {
    if (image.damagedAt < 0 || static_cast<std::size_t>(image.damagedAt) > size) std::abort();
    if (check.status != kel::RestartStatus::damaged || check.scan.offset != image.damagedAt) std::abort();
    return 0;
  }
  const std::string first = written(*image.table);
  delete image.table;
  if ((check.status == kel::RestartStatus::sound) != !first.empty()) std::abort();
  if (first.empty()) return 0;
  const kel::RestartImage again =
      kel::readRestartImage(reinterpret_cast<const unsigned char*>(first.data()), first.size());
  if (again.table == nullptr || written(*again.table) != first) std::abort();
  delete again.table;
  return 0;
}
