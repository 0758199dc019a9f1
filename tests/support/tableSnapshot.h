// The current table as the host sees it through getAllValidFullContents:
// every entry in walk order, with its key and content.
#pragma once

#include <string>
#include <vector>

#include "kelHashTableFun.h"

namespace kel::test {

struct Entry {
  bool isLong;
  std::string stringKey;
  int longKey;
  int content;
  bool operator==(const Entry& o) const {
    return isLong == o.isLong && stringKey == o.stringKey && longKey == o.longKey &&
           content == o.content;
  }
};

// Lists the current table and frees what the library handed over.
std::vector<Entry> snapshot(const KelHashTableFun& ht);

}  // namespace kel::test
