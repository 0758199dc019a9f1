// Standard output through one large buffer: listings of millions of entries
// are written in large blocks.
#pragma once

#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>
#include <type_traits>

namespace kelht {

class Output {
 public:
  Output() { buffer_.reserve(kBlock * 2); }
  ~Output() { flush(); }
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  Output& operator<<(std::string_view text) {
    buffer_ += text;
    if (buffer_.size() >= kBlock) flush();
    return *this;
  }
  Output& operator<<(char c) { return *this << std::string_view(&c, 1); }
  template <typename Int, typename = std::enable_if_t<std::is_integral_v<Int>>>
  Output& operator<<(Int value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return *this << std::string_view(digits, static_cast<std::size_t>(end - digits));
  }

  void flush() {
    std::fwrite(buffer_.data(), 1, buffer_.size(), stdout);
    std::fflush(stdout);
    buffer_.clear();
  }

 private:
  static constexpr std::size_t kBlock = std::size_t{1} << 16;
  std::string buffer_;
};

}  // namespace kelht
