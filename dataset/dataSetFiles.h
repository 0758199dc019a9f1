// The data set's two files, reached through the descriptors the host opened:
// POSIX read and lseek on Linux, the C runtime's _read and _lseek on Windows.
// Nothing else in the library touches the descriptors.
#pragma once

#include <cstdint>

#include "kelHashTableFun.h"

namespace kel {

// Reads up to n bytes from the current position of the record file or the
// string file into buffer and returns the count the runtime reports (-1 on
// an error, and when files is null). When the file has ended (0 bytes) the
// byte 0xFF is stored at the start of the buffer.
int32_t readRecords(const DataSetFiles* files, void* buffer, int32_t n);
int32_t readStrings(const DataSetFiles* files, void* buffer, int32_t n);

// A read succeeds when it returns all n bytes, or 0 bytes at the end of the
// file; any other count fails.
inline bool readSucceeded(int32_t got, int32_t n) { return got == n || got == 0; }

// Positions the record file or the string file at `offset` bytes from its
// start. Fails (returns false) on a negative offset, a bad descriptor, or
// when files is null.
bool seekRecords(const DataSetFiles* files, int32_t offset);
bool seekStrings(const DataSetFiles* files, int32_t offset);

}  // namespace kel
