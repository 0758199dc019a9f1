// A host's data set on disk and in memory, as a host application keeps one:
// a record file and a string file opened with POSIX open, a cache window of
// consecutive rows, the in-memory part of the string heap, and the DataSet
// and DataSetFiles records that describe them.
//
// Every row is kRecordLength bytes with three columns: column 0 is a string
// column, column 1 an integer column whose cell lies at byte 4, column 2 a
// column of another kind. Bytes outside the integer cells are filler.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "kelHashTableFun.h"
#include "tests/support/fileSupport.h"

namespace kel::test {

class HostDataSet {
 public:
  static constexpr int32_t kRecordLength = 12;
  static constexpr int kStringColumn = 0, kIntegerColumn = 1, kOtherColumn = 2;

  HostDataSet();
  ~HostDataSet();
  HostDataSet(const HostDataSet&) = delete;
  HostDataSet& operator=(const HostDataSet&) = delete;

  // The record file: one row per cell, the cell in the integer column.
  // The row count becomes the number of rows.
  HostDataSet& recordFile(const std::vector<int32_t>& cells);
  // Cuts the record file to its first `bytes` bytes; row count unchanged.
  HostDataSet& truncateRecordFile(long bytes);
  // Caches rows first, first + 1, ... holding `cells` in the integer column.
  HostDataSet& rowCache(int32_t first, const std::vector<int32_t>& cells);
  // The string heap: its in-memory part and the part in the string file,
  // which starts at heap offset inMemory.size().
  HostDataSet& stringHeap(const std::string& inMemory, const std::string& inFile);
  // The heap offsets of the string column's strings.
  HostDataSet& strings(const std::vector<int32_t>& offsets);

  // The records describing the data set; fields may be changed afterwards.
  DataSet ds{};
  DataSetFiles files{};

  int recordDescriptor() const { return recordFd_; }
  int stringDescriptor() const { return stringFd_; }

 private:
  int reopen(int fd, const std::string& path, const std::string& bytes, intptr_t& word);

  ScratchDirectory dir_;
  std::string recordPath_, stringPath_;
  int recordFd_ = -1, stringFd_ = -1;
  std::vector<int32_t> kinds_{1, 2, 7};
  std::vector<int32_t> offsets_{0, 4, 8};
  std::vector<int32_t> stringCounts_{0, 0, 0};
  std::vector<int32_t> stringOffsets_;
  std::vector<const int32_t*> stringOffsetColumns_{nullptr, nullptr, nullptr};
  // Exactly sized heap blocks, so that a read outside them is caught.
  std::vector<char> cache_, heapMemory_;
};

// The current table's string keys and long keys, each with its content,
// read through getAllValidFullContents. Sorted, so independent of walk order;
// a key listed twice would appear twice.
struct TableContents {
  std::multimap<std::string, int> strings;
  std::multimap<int32_t, int> longs;
};
TableContents tableContents(const KelHashTableFun& ht);

// The bucket count of the current table: the first word of its restart file.
int32_t bucketCount(const KelHashTableFun& ht);

}  // namespace kel::test
