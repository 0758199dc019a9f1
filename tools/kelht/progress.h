// A progress bar on standard error, for work through a large file: drawn
// only when standard error is a terminal and the work is at least
// kLargeWork bytes, redrawn when the percentage changes, erased at the end.
#pragma once

#include <cstdint>

namespace kelht {

class Progress {
 public:
  static constexpr int64_t kLargeWork = int64_t{8} << 20;

  explicit Progress(int64_t total);
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  void at(int64_t done);

 private:
  int64_t total_;
  int shown_ = -1;  // percentage drawn last; -1 while none is
  bool enabled_;
};

}  // namespace kelht
