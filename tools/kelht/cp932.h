// Shift_JIS (code page 932) to and from UTF-8, through the system's own
// converter: iconv on Linux, the code page functions on Windows.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelht {

// Shift_JIS bytes (a character, or a whole key) as UTF-8, or null when they
// do not decode, or do not encode back to the same bytes.
std::optional<std::string> decodeCp932(std::string_view bytes);

// UTF-8 text as Shift_JIS, or null when it is not UTF-8 or has a character
// that Shift_JIS lacks.
std::optional<std::string> encodeCp932(std::string_view utf8);

}  // namespace kelht
