// The data-set records as a host lays them out: word k at byte
// k * sizeof(void*), that is 4k on a 32-bit build and 8k on a 64-bit build.
// Checked at compile time; builds for both widths.
#include <cstddef>

#include "kelHashTableFun.h"

#define KEL_WORD(record, field, word)                                        \
  static_assert(offsetof(record, field) == sizeof(void*) * (word),           \
                #record "." #field " is word " #word);                       \
  static_assert(sizeof(record::field) == sizeof(void*), #field " is one word")

KEL_WORD(DataSet, rowCacheBase, 2);
KEL_WORD(DataSet, files, 3);
KEL_WORD(DataSet, rowCount, 6);
KEL_WORD(DataSet, columnKinds, 7);
KEL_WORD(DataSet, recordLength, 9);
KEL_WORD(DataSet, cachedRowCount, 10);
KEL_WORD(DataSet, firstCachedRow, 12);
KEL_WORD(DataSet, columnOffsets, 14);
KEL_WORD(DataSet, stringCounts, 17);
KEL_WORD(DataSet, stringOffsets, 21);
KEL_WORD(DataSet, stringHeapMemoryLength, 23);
KEL_WORD(DataSet, stringHeapMemoryBase, 24);
static_assert(sizeof(DataSet) == sizeof(void*) * 25, "DataSet is 25 words");

KEL_WORD(DataSetFiles, recordFile, 1);
KEL_WORD(DataSetFiles, stringFile, 2);
static_assert(sizeof(DataSetFiles) == sizeof(void*) * 3, "DataSetFiles is 3 words");
