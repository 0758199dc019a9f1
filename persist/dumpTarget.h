// The file a dump writes to. A dump lands wherever a plain write
// (fopen(path, "wb"), fwrite, fclose) would land, leaves the file, its
// attributes and its folder as a plain write would, and is crash-safe only
// where that takes nothing of this away:
//
//   - The path is opened for writing as fopen(path, "wb") opens it: created
//     when absent (also through a symbolic link to a file that does not
//     exist yet), links followed, permissions honoured, but not truncated.
//     When that fails the dump does nothing at all. On Windows a file with
//     the read-only, hidden or system attribute counts as not opened: the C
//     runtime's fopen(path, "wb") is refused there.
//   - A regular file with a single link is replaced when a temporary file
//     beside it ("<file>.<pid>-<n>.tmp", in the folder of the file a link
//     points to) can take everything the file has (POSIX: owner, group,
//     mode, extended attributes, which hold ACLs and security labels;
//     Windows: ReplaceFileA keeps attributes, ACL and streams) and room for
//     all its bytes. The temporary file is locked while it is written,
//     flushed to disk, and renamed over the file, provided the path still
//     names the file that was opened.
//   - Anything else, and every replacement that cannot be completed (no
//     temporary file, no room for it, a refused rename, the path naming
//     another file by then), is written in place into the file that was
//     opened, once room for all its bytes is reserved there; when no room
//     can be had the old file stays whole. FIFOs and devices are written
//     directly.
//   - Before a replacement, temporary files of killed dumps beside the file
//     are removed: those no writer holds the lock of.
//   - After the target is opened only its stream and the buffer for copying
//     extended attributes are allocated, both before a byte is written (a
//     fatal out-of-memory end then removes what the dump created), so no
//     allocation failure leaves a truncated file.
//
// How a dump ended (see DumpOutcome): landed; notOpened; failedKept when the
// target was never cut (the temporary file is gone, a file the dump created
// is removed again); failedTruncated when writing in place had begun, and
// the file is left as a failed plain write leaves it, ending where the
// written bytes end, or when the old file was lost on the way (Windows).
#pragma once

#include <cstdint>
#include <cstdio>

#include "persist/restartFile.h"

#if !defined(_WIN32)
#include <dirent.h>
#endif

namespace kel {

class DumpTarget {
 public:
  DumpTarget();
  ~DumpTarget();
  DumpTarget(const DumpTarget&) = delete;
  DumpTarget& operator=(const DumpTarget&) = delete;

  // Opens `path` (which must outlive the dump) for writing; false when it
  // cannot be opened, and then nothing was created or changed.
  bool open(const char* path);

  // Writes the target, once it is open: write(file) puts the `bytes` bytes
  // into the stream it is given and returns false when a write failed. A
  // replacement that cannot be completed calls it again for the target
  // itself, written in place.
  template <typename Write>
  DumpOutcome write(int64_t bytes, Write write) {
    for (std::FILE* file = startWriting(bytes); file != nullptr; file = writeInPlaceInstead())
      if (write(file) && commit()) return DumpOutcome::landed;
    return abandon();
  }

  // For a fatal end while the dump is open: the stream being written, for
  // the report to close. When the process exits, the temporary file and a
  // target the dump created are removed.
  std::FILE* handToFatalReport();

 private:
  friend void endDumpAtExit();

  // The stream to write the dump's `bytes` to: a temporary file that will
  // replace the target, or the target itself with room reserved for them.
  // Null when neither can be had: the target is as it was.
  std::FILE* startWriting(int64_t bytes);

  // Puts the written bytes in place: for a replacement, flushes them to disk
  // and renames the temporary file over the target. False when that fails.
  bool commit();

  // After a replacement failed: the target itself, with room reserved, to
  // write the dump again. Null when the dump was written in place already,
  // or no room can be had.
  std::FILE* writeInPlaceInstead();

  // Gives the dump up: see the outcomes above.
  DumpOutcome abandon();

  // Each platform's half (dumpTargetPosix.cpp, dumpTargetWindows.cpp).
  bool openPath(const char* path);
  bool replaceable() const;
  void removeStrays();
  bool createTemporary();
  bool replaceTarget();
  void removeTemporary();
  void removeCreated();
  // Makes the file `bytes` long with room for all of them, its first bytes
  // untouched; false, and the file as it was, when there is no room. True
  // at once for a FIFO or a device.
  static bool reserveRoom(std::FILE* stream, int64_t bytes);
  // A flush the file system does not support counts as done.
  static bool flushToDisk(std::FILE* stream);
  // Cuts a regular file where the bytes that reached it end.
  static void cutAtWrittenEnd(std::FILE* stream);

  void closeFolder();
#if defined(_WIN32)
  bool moveIntoLostPlace();
#endif

  std::FILE* writeInPlace();
  void closeTarget();
  void endAtExit();

  const char* path_ = nullptr;       // as given
  char* names_ = nullptr;            // one block for the names below, allocated up front
  char* resolved_ = nullptr;         // the file the path names, links followed
  const char* base_ = nullptr;       // its last component, inside resolved_
  char* temporaryName_ = nullptr;    // POSIX: in the folder; Windows: a full path
  bool located_ = false;             // resolved_ holds the file's name
  bool created_ = false;             // the target did not exist before the dump
  bool temporaryMade_ = false;       // temporaryName_ names a file of this dump
  bool inPlace_ = false;             // the target itself is being written
  bool oldFileLost_ = false;         // a replacement removed the old file but could not rename
  int64_t bytes_ = 0;
  std::FILE* target_ = nullptr;      // the target, open for writing, not truncated
  std::FILE* temporary_ = nullptr;   // the temporary file, while written
#if defined(_WIN32)
  char* strayPath_ = nullptr;        // a stray's full path, while strays are removed
#else
  DIR* folder_ = nullptr;            // the resolved file's folder
#endif
};

}  // namespace kel
