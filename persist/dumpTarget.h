// The file a dump writes to. The path is treated as a plain write would
// treat it, and the dump is made crash-safe only where that changes nothing
// else about the path:
//
//   - The path is opened for writing as fopen(path, "wb") opens it: created
//     when absent, symbolic links followed, permissions honoured, but not
//     truncated yet. When that fails the dump does nothing at all.
//   - A regular file with a single link (or one just created) whose owner,
//     group and permission bits a new file can take is replaced: the bytes
//     go to a temporary file beside it ("<file>.<pid>-<n>.tmp", created
//     exclusively, beside the file a symbolic link points to, so the link
//     stays a link), which is flushed to disk and renamed over it; then the
//     directory is flushed. A dump that fails or is cut short leaves the
//     previous file as it was.
//   - Anything else (a file with other links, a FIFO, a device, a socket, a
//     file whose owner cannot be kept, a folder that takes no new file) is
//     truncated and written in place, as a plain write would.
// On Windows the same rules hold with its own calls: a read-only file cannot
// be opened, a disk file with one link (GetFileInformationByHandle) is
// replaced with MoveFileExA, and the temporary file goes beside the path as
// given.
#pragma once

#include <cstdio>

namespace kel {

class DumpTarget {
 public:
  DumpTarget() = default;
  ~DumpTarget();
  DumpTarget(const DumpTarget&) = delete;
  DumpTarget& operator=(const DumpTarget&) = delete;

  // Opens `path` for writing; false when it cannot be opened, and then
  // nothing was created or changed.
  bool open(const char* path);

  // The stream to write the dump to: a temporary file that will replace the
  // target, or the target itself, truncated now. Null when neither can be
  // had.
  std::FILE* startWriting();

  // True when the bytes go to a temporary file that will replace the
  // target; false when the target itself was truncated for them.
  bool replacing() const { return temporary_ != nullptr; }

  // Puts the written bytes in place: flushes them and, for a replaced file,
  // renames the temporary file over the target. False when that fails; a
  // replaced target then stays as it was.
  bool commit();

  // Gives the dump up: the temporary file goes, and so does a target the
  // dump created.
  void abandon();

  // For a fatal end while the stream is open: whoever ends the process
  // closes the stream, and at exit the temporary file and a target the dump
  // created are removed.
  void removeAtExit();

 private:
  bool replaceable() const;
  std::FILE* createTemporaryFile();
  void removeLeftovers();

  char* path_ = nullptr;       // as given
  char* resolved_ = nullptr;   // the file the path names, links followed
  char* temporary_ = nullptr;  // null unless the target is being replaced
  bool created_ = false;       // the target did not exist before the dump
  std::FILE* stream_ = nullptr;  // the target, open for writing, or the temporary file
};

}  // namespace kel
