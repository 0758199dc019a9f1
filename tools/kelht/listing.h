// kelht's listings, as list prints them and build reads them back.
//
//   plain (TSV): the column line, then one row per entry in the order of the
//     file's records: bucket, position in its chain (0 at the head), kind
//     ("string" or "long"), key (printed as keyText.h says), content.
//   restart: a first line with the file's stored bucket count and counter,
//     "# kelht restart listing: buckets N, counter M", then the plain
//     listing. It holds all a restart file keeps, so build writes the same
//     file from it.
#pragma once

#include <cstdint>
#include <string>

namespace kelht {

extern const char kListingColumns[];

std::string restartListingHeader(int32_t size, int32_t counter);
// Whether `line` is a restart listing's first line (its numbers unchecked).
bool startsRestartListing(const std::string& line);

struct StoredHeader {
  int32_t size;
  int32_t counter;
};
// The numbers of a restart listing's first line; malformed when they are not 32-bit integers.
StoredHeader readRestartListingHeader(const std::string& input, const std::string& line);

struct ListedEntry {
  int32_t bucket;
  int32_t position;
  bool isLong;
  int32_t longKey;
  std::string key;  // a string key's bytes
  int32_t content;
};
// One row of a listing, line number `line` of `input`.
ListedEntry readListedEntry(const std::string& input, long line, const std::string& row, bool cp932);

}  // namespace kelht
