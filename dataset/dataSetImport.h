// Building the current table from one column of a host's data set.
#pragma once

#include "kelHashTableFun.h"

namespace kel {

void makeTableFromDataSet(const DataSet* ds, int column, const int* contents);

}  // namespace kel
