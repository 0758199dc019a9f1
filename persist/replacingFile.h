// Replacing a file so that it is never seen half written: the new bytes go
// to a temporary file beside the target, which is flushed to disk and then
// renamed over the target in one step. The temporary file is named
// "<path>.<pid>-<n>.tmp" and created exclusively, so a file left behind by a
// process that died mid-write never blocks a later one (n counts up past
// names that are taken).
//
// When no temporary file can be created beside the target but the target
// itself can be opened, the bytes go straight to the target instead.
#pragma once

#include <cstdio>
#include <string>

namespace kel {

class ReplacingFile {
 public:
  ReplacingFile() = default;
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Opens the file to write; null when neither a temporary file nor the
  // target can be opened.
  std::FILE* open(const char* path);

  // Flushes the bytes to disk, closes the file and puts it in place of the
  // target. On failure the temporary file is removed and the target is left
  // as it was.
  bool commit();

  // Closes and removes the temporary file; the target is left as it was.
  void abandon();

  // For a fatal end while the file is open: the temporary file is removed
  // when the process exits, after whoever ends it has closed the file.
  void removeAtExit();

 private:
  std::string target_;
  std::string temporary_;  // empty when writing to the target directly
  std::FILE* file_ = nullptr;
};

}  // namespace kel
