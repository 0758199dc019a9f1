// One column of a host's data set, as keys for a table.
#pragma once

#include <cstdint>

#include "core/HashTable.h"
#include "kelHashTableFun.h"

namespace kel {

// The data set's row count: the number of keys a table for it is made for
// (0 for a null ds or a negative count).
int32_t rowCountOf(const DataSet* ds);

// Adds the column's keys to `table`: every row's cell of an integer column,
// every string of a string column, with contents[row] or contents[i] (0 when
// contents is null). Any other column, a negative column, or a ds without
// column kinds adds nothing.
void addColumn(HashTable& table, const DataSet* ds, int column, const int* contents);

}  // namespace kel
