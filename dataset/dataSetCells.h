// The cells and strings of one column of a host's data set, taken from the
// host's memory where it holds them and from its files otherwise. The
// caller has checked that ds is not null, that column is not negative and,
// before readLongCell, that columnOffsets is not null.
#pragma once

#include <cstdint>

#include "kelHashTableFun.h"

namespace kel {

// Bytes of one string fetched from the string file, with its NUL.
constexpr int32_t kStringBlock = 1024;

// The 32-bit cell of `row` in an integer column: from the row cache when the
// row is cached, otherwise from the record file (255 when the file ends
// before the cell, 0 when the seek or the read fails).
int32_t readLongCell(const DataSet& ds, int32_t row, int32_t column);

// The i-th string of a string column: a pointer into the host's memory when
// the string lies in the heap's in-memory part, otherwise `scratch`, the one
// buffer of the import, after a read from the string file put its bytes at
// its start (the byte 0xFF alone at the end of the file) and left the rest
// as earlier strings left it. Its last byte is always NUL; see the public
// header for the strings that stand in for ones that cannot be fetched.
const char* columnString(const DataSet& ds, int32_t column, int32_t i,
                         char (&scratch)[kStringBlock]);

// The number of strings of a string column; 0 for any other column, and
// when the column's strings cannot be reached.
int32_t stringCount(const DataSet& ds, int32_t column);

}  // namespace kel
