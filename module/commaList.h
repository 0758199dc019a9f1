#pragma once

#include <cstddef>

namespace kel {

// A comma-separated key list split in place: every ',' of the private copy
// becomes a NUL and each token starts after one. "a,,b" gives "a", "" and
// "b"; "a," gives "a" and ""; "" gives one empty token.
class CommaList {
 public:
  explicit CommaList(const char* list);
  ~CommaList();
  CommaList(const CommaList&) = delete;
  CommaList& operator=(const CommaList&) = delete;

  const char** tokens() const { return tokens_; }
  int count() const { return count_; }

 private:
  char* copy_;
  const char** tokens_;
  int count_ = 1;
};

}  // namespace kel
