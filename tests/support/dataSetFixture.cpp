#include "tests/support/dataSetFixture.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

#include "tests/support/tableSnapshot.h"

namespace kel::test {
namespace {

constexpr char kFiller = '\xA5';

// Row bytes holding `cell` as a little-endian integer in the integer column.
std::string row(int32_t cell) {
  std::string bytes(HostDataSet::kRecordLength, kFiller);
  const uint32_t bits = static_cast<uint32_t>(cell);
  for (int i = 0; i < 4; ++i) bytes[4 + i] = static_cast<char>(bits >> (8 * i));
  return bytes;
}

}  // namespace

HostDataSet::HostDataSet()
    : recordPath_(dir_.file("records")), stringPath_(dir_.file("strings")) {
  recordFd_ = reopen(-1, recordPath_, "", files.recordFile);
  stringFd_ = reopen(-1, stringPath_, "", files.stringFile);
  ds.files = &files;
  ds.columnKinds = kinds_.data();
  ds.columnOffsets = offsets_.data();
  ds.recordLength = kRecordLength;
  ds.stringCounts = stringCounts_.data();
  ds.stringOffsets = stringOffsetColumns_.data();
  // The words the library does not read hold noise, as a host's would.
  ds.reserved0 = ds.reserved1 = ds.reserved4 = ds.reserved5 = ds.reserved8 = -7;
  ds.reserved11 = ds.reserved13 = ds.reserved15 = ds.reserved16 = ds.reserved18 = -7;
  ds.reserved19 = ds.reserved20 = ds.reserved22 = files.reserved0 = -7;
}

HostDataSet::~HostDataSet() {
  ::close(recordFd_);
  ::close(stringFd_);
}

int HostDataSet::reopen(int fd, const std::string& path, const std::string& bytes,
                        intptr_t& word) {
  if (fd >= 0) ::close(fd);
  writeBytes(path, bytes);
  fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) throw std::runtime_error("cannot open " + path);
  word = fd;
  return fd;
}

HostDataSet& HostDataSet::recordFile(const std::vector<int32_t>& cells) {
  std::string bytes;
  for (int32_t cell : cells) bytes += row(cell);
  recordFd_ = reopen(recordFd_, recordPath_, bytes, files.recordFile);
  ds.rowCount = static_cast<intptr_t>(cells.size());
  return *this;
}

HostDataSet& HostDataSet::truncateRecordFile(long bytes) {
  if (::truncate(recordPath_.c_str(), bytes) != 0)
    throw std::runtime_error("cannot truncate " + recordPath_);
  return *this;
}

HostDataSet& HostDataSet::rowCache(int32_t first, const std::vector<int32_t>& cells) {
  cache_.clear();
  for (int32_t cell : cells) {
    std::string bytes = row(0);
    std::memcpy(&bytes[4], &cell, 4);  // the cache holds rows in the host's byte order
    cache_.insert(cache_.end(), bytes.begin(), bytes.end());
  }
  cache_.shrink_to_fit();
  ds.rowCacheBase = cache_.data();
  ds.firstCachedRow = first;
  ds.cachedRowCount = static_cast<intptr_t>(cells.size());
  return *this;
}

HostDataSet& HostDataSet::stringHeap(const std::string& inMemory, const std::string& inFile) {
  heapMemory_.assign(inMemory.begin(), inMemory.end());
  heapMemory_.shrink_to_fit();
  stringFd_ = reopen(stringFd_, stringPath_, inFile, files.stringFile);
  ds.stringHeapMemoryBase = heapMemory_.data();
  ds.stringHeapMemoryLength = static_cast<intptr_t>(heapMemory_.size());
  return *this;
}

HostDataSet& HostDataSet::strings(const std::vector<int32_t>& offsets) {
  stringOffsets_ = offsets;
  stringOffsetColumns_[kStringColumn] = stringOffsets_.data();
  stringCounts_[kStringColumn] = static_cast<int32_t>(offsets.size());
  return *this;
}

TableContents tableContents(const KelHashTableFun& ht) {
  TableContents table;
  for (const Entry& e : snapshot(ht)) {
    if (e.isLong) table.longs.emplace(e.longKey, e.content);
    else table.strings.emplace(e.stringKey, e.content);
  }
  return table;
}

int32_t bucketCount(const KelHashTableFun& ht) {
  const ScratchDirectory dir;
  ht.dumpToRestartFile(dir.file("restart.bin").c_str());
  const std::string bytes = readBytes(dir.file("restart.bin"));
  int32_t size = -1;
  if (bytes.size() >= sizeof size) std::memcpy(&size, bytes.data(), sizeof size);
  return size;
}

}  // namespace kel::test
