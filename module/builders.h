// The five ways to build the current table. Each releases the table that was
// current and makes the new one current.
#pragma once

#include "kelHashTableFun.h"

namespace kel {

// A table for `count` keys (a negative count counts as 0), filled from
// `keys`. A null array adds nothing; a null key in it is skipped.
void buildFromStrings(const char* const* keys, int count, const int* contents);
void buildFromLongs(const int* keys, int count, const int* contents);

// A table of the tokens of a comma-separated list; a null list builds an
// empty table, as a count of 0 does.
void buildFromCommaList(const char* list, const int* contents);

// A table restored from a restart file, without hashing.
void buildFromRestartFile(const char* path);

// A table for the data set's row count, filled from one of its columns.
void buildFromDataSet(const DataSet* ds, int column, const int* contents);

}  // namespace kel
