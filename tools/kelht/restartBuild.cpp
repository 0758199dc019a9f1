#include "restartBuild.h"

#include <cstdio>

#include "failure.h"
#include "lineInput.h"
#include "listing.h"
#include "persist/dumpTarget.h"

namespace kelht {

namespace {

std::string littleEndian(int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  return {static_cast<char>(bits), static_cast<char>(bits >> 8), static_cast<char>(bits >> 16),
          static_cast<char>(bits >> 24)};
}

// The bytes of a restart file, gathered whole so that a malformed line
// leaves nothing written.
class Image {
 public:
  void int32(int32_t value) { bytes_ += littleEndian(value); }
  void entry(const ListedEntry& e) {
    int32(e.content);
    bytes_ += static_cast<char>(e.isLong ? 1 : 0);
    if (e.isLong) int32(e.longKey);
    else bytes_.append(e.key).push_back('\0');
  }
  // A chain record; endChain fills in its length.
  void startChain(int32_t bucket) {
    int32(bucket);
    lengthAt_ = bytes_.size();
    int32(0);
  }
  void endChain(int64_t length) {
    if (lengthAt_ != 0) bytes_.replace(lengthAt_, 4, littleEndian(static_cast<int32_t>(length)));
  }
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
  std::size_t lengthAt_ = 0;  // of the open chain's length; 0 before the first chain
};

// Written the way a dump writes: a regular file is replaced whole (see
// persist/dumpTarget.h). What is not committed goes with the target.
void writeFile(const std::string& path, const std::string& bytes) {
  kel::DumpTarget target;
  const bool written = target.open(path.c_str()) &&
                       target.write(static_cast<int64_t>(bytes.size()), [&](std::FILE* file) {
                         return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
                       }) == kel::DumpOutcome::landed;
  if (!written) throw Failure(kTrouble, path + ": cannot write the file");
}

}  // namespace

int buildFromRestartListing(const BuildOptions& options, std::istream& in, const std::string& first) {
  const std::string& input = options.input;
  const StoredHeader header = readRestartListingHeader(input, first);
  if (header.size < 1) malformed(input, 1, "bucket count below 1");
  std::string line;
  if (!readLine(in, input, line) || line != kListingColumns)
    malformed(input, 2, "a restart listing's second line is the column line");
  Image image;
  image.int32(header.size);
  image.int32(header.counter);
  int64_t entries = 0;
  int32_t bucket = -1;
  int64_t inChain = 0;  // entries of the open chain
  for (long number = 3; readLine(in, input, line); ++number) {
    const ListedEntry e = readListedEntry(input, number, line, options.cp932);
    if (e.bucket < 0 || e.bucket >= header.size)
      malformed(input, number, "bucket " + std::to_string(e.bucket) + " outside 0.." +
                                   std::to_string(int64_t{header.size} - 1));
    if (e.position == 0) {
      // The library reads chains only while it has read fewer entries than the counter.
      if (entries >= header.counter)
        malformed(input, number, "a chain after counter " + std::to_string(header.counter) +
                                     " is reached: the library would not read it");
      image.endChain(inChain);
      image.startChain(bucket = e.bucket);
      inChain = 0;
    } else if (e.bucket != bucket || e.position != inChain) {
      malformed(input, number, "position " + std::to_string(e.position) +
                                   " does not follow the row before it: a chain's positions count up from 0");
    }
    image.entry(e);
    ++inChain;
    ++entries;
  }
  image.endChain(inChain);
  if (entries < header.counter)
    malformed(input, 1, "counter " + std::to_string(header.counter) + " is more than the entries listed (" +
                            std::to_string(entries) + "): the library would refuse the file");
  writeFile(options.out, image.bytes());
  return 0;
}

}  // namespace kelht
