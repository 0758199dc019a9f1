#include "progress.h"

#include <cstdio>

#if defined(_WIN32)
#include <io.h>
#define isTerminal(stream) (_isatty(_fileno(stream)) != 0)
#else
#include <unistd.h>
#define isTerminal(stream) (isatty(fileno(stream)) != 0)
#endif

namespace kelht {

namespace {
constexpr int kWidth = 40;
}  // namespace

Progress::Progress(int64_t total)
    : total_(total), enabled_(total >= kLargeWork && isTerminal(stderr)) {}

Progress::~Progress() {
  if (shown_ >= 0) std::fprintf(stderr, "\r%*s\r", kWidth + 8, "");
}

void Progress::at(int64_t done) {
  if (!enabled_) return;
  const int percent = static_cast<int>(done >= total_ ? 100 : done * 100 / total_);
  if (percent == shown_) return;
  shown_ = percent;
  const int filled = percent * kWidth / 100;
  std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled, "########################################",
               kWidth - filled, "", percent);
  std::fflush(stderr);
}

}  // namespace kelht
