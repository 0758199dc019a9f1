#include "persist/dumpTarget.h"

#include <cstdlib>

namespace kel {

namespace {

// The dump under way, for a fatal end: exit() runs the handler below while
// the dump's frame is still in place.
DumpTarget* dumpInProgress = nullptr;

}  // namespace

void endDumpAtExit() {
  if (dumpInProgress != nullptr) dumpInProgress->endAtExit();
}

DumpTarget::~DumpTarget() {
  if (dumpInProgress == this) dumpInProgress = nullptr;
  removeTemporary();
  closeTarget();
  closeFolder();
  std::free(names_);
}

// In progress from before the open: a fatal end while the stream is made
// removes a file the open created.
bool DumpTarget::open(const char* path) {
  path_ = path;
  static const bool registered = std::atexit(endDumpAtExit) == 0;
  (void)registered;
  dumpInProgress = this;
  return openPath(path);
}

std::FILE* DumpTarget::startWriting(int64_t bytes) {
  bytes_ = bytes;
  if (located_ && replaceable()) {
    removeStrays();
    if (createTemporary() && reserveRoom(temporary_, bytes)) return temporary_;
    removeTemporary();
  }
  return writeInPlace();
}

std::FILE* DumpTarget::writeInPlace() {
  if (target_ == nullptr || !reserveRoom(target_, bytes_)) return nullptr;
  inPlace_ = true;
  return target_;
}

bool DumpTarget::commit() {
  if (inPlace_) {
    if (std::fflush(target_) != 0) return false;
    const bool closed = std::fclose(target_) == 0;
    target_ = nullptr;
    if (closed) created_ = false;
    return closed;
  }
  if (!flushToDisk(temporary_) || !replaceTarget()) return false;
  removeTemporary();  // only closes it now, which releases its lock
  closeTarget();
  created_ = false;
  return true;
}

std::FILE* DumpTarget::writeInPlaceInstead() {
  if (inPlace_) return nullptr;
  removeTemporary();
  return writeInPlace();
}

DumpOutcome DumpTarget::abandon() {
  removeTemporary();
  if (inPlace_ && target_ != nullptr) {
    (void)std::fflush(target_);
    cutAtWrittenEnd(target_);
  }
  closeTarget();
  if (created_) {
    removeCreated();
    created_ = false;
    return DumpOutcome::failedKept;
  }
  return inPlace_ || oldFileLost_ ? DumpOutcome::failedTruncated : DumpOutcome::failedKept;
}

std::FILE* DumpTarget::handToFatalReport() {
  std::FILE*& written = inPlace_ ? target_ : temporary_;
  std::FILE* stream = written;
  written = nullptr;
  return stream;
}

void DumpTarget::endAtExit() {
  removeTemporary();
  closeTarget();
  if (created_) removeCreated();
}

void DumpTarget::closeTarget() {
  if (target_ != nullptr) std::fclose(target_);
  target_ = nullptr;
}

}  // namespace kel
