// Tests reach the library the way a host does: loaded privately through the
// public header's loader, every export called through the function table.
#pragma once

#include <gtest/gtest.h>

#include "kelHashTableFun.h"

namespace kel::test {

// The library under test, loaded once per test program.
const KelHashTableFun& library();

// Each test starts and ends without a current table.
class LibraryTest : public ::testing::Test {
 protected:
  void SetUp() override { ht.close(); }
  void TearDown() override { ht.close(); }
  const KelHashTableFun& ht = library();
};

}  // namespace kel::test
