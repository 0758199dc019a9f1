#include "dataset/dataSetFiles.h"

#if defined(_WIN32)
#include <io.h>
#include <stdio.h>
#else
#include <unistd.h>
#endif

#include "dataset/dataSetWords.h"

namespace kel {
namespace {

int32_t readDescriptor(int descriptor, void* buffer, int32_t n) {
  if (n < 0) return -1;
#if defined(_WIN32)
  const int got = _read(descriptor, buffer, static_cast<unsigned>(n));
#else
  const ssize_t got = ::read(descriptor, buffer, static_cast<size_t>(n));
#endif
  if (got < 0) return -1;
  if (got == 0 && n > 0) static_cast<unsigned char*>(buffer)[0] = 0xFF;
  return static_cast<int32_t>(got);
}

bool seekDescriptor(int descriptor, int32_t offset) {
  if (offset < 0) return false;
#if defined(_WIN32)
  return _lseek(descriptor, offset, SEEK_SET) != -1L;
#else
  return ::lseek(descriptor, static_cast<off_t>(offset), SEEK_SET) != static_cast<off_t>(-1);
#endif
}

}  // namespace

int32_t readRecords(const DataSetFiles* files, void* buffer, int32_t n) {
  return files != nullptr ? readDescriptor(wordValue(files->recordFile), buffer, n) : -1;
}

int32_t readStrings(const DataSetFiles* files, void* buffer, int32_t n) {
  return files != nullptr ? readDescriptor(wordValue(files->stringFile), buffer, n) : -1;
}

bool seekRecords(const DataSetFiles* files, int32_t offset) {
  return files != nullptr && seekDescriptor(wordValue(files->recordFile), offset);
}

bool seekStrings(const DataSetFiles* files, int32_t offset) {
  return files != nullptr && seekDescriptor(wordValue(files->stringFile), offset);
}

}  // namespace kel
