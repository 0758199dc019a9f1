// Keys as text. A string key is a byte string: kelht prints it with every
// byte outside printable ASCII, and the backslash, escaped (\xHH, \\), and
// reads it back the same way. With Shift_JIS (code page 932) decoding, the
// characters that decode are printed as UTF-8 instead, and the bytes that
// do not (or that would not encode back to the same bytes) stay escaped.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelht {

// The printed form of a string key.
std::string escapedKey(std::string_view key, bool cp932);

// A string key as Unicode text in UTF-8, when it is text: valid UTF-8 or,
// with cp932, valid Shift_JIS (decoded). Null otherwise.
std::optional<std::string> keyAsUnicode(std::string_view key, bool cp932);

// The bytes of a printed key: escapes undone and, with cp932, the text
// between them encoded as Shift_JIS. Null when the text is not a key: a
// broken escape, a NUL byte, text that Shift_JIS cannot encode.
std::optional<std::string> keyFromText(std::string_view text, bool cp932);

// A 32-bit integer written in decimal, or null.
std::optional<int32_t> int32FromText(std::string_view text);

}  // namespace kelht
