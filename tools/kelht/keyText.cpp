#include "keyText.h"

#include <charconv>

#include "cp932.h"

namespace kelht {

namespace {

const char kHex[] = "0123456789abcdef";

bool printable(unsigned char c) { return c >= 0x20 && c < 0x7F && c != '\\'; }

void appendEscaped(std::string& out, unsigned char c) {
  if (c == '\\') {
    out += "\\\\";
    return;
  }
  out += "\\x";
  out += kHex[c >> 4];
  out += kHex[c & 15];
}

// Bytes that start a two-byte Shift_JIS character, and the half-width
// katakana, which take one byte.
bool leadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool katakana(unsigned char c) { return c >= 0xA1 && c <= 0xDF; }

// Appends the character at key[i] decoded, or its first byte escaped;
// returns the bytes used.
std::size_t appendCp932(std::string& out, std::string_view key, std::size_t i) {
  const auto c = static_cast<unsigned char>(key[i]);
  const std::size_t width = leadByte(c) && i + 1 < key.size() ? 2 : 1;
  if (leadByte(c) || katakana(c)) {
    if (std::optional<std::string> text = decodeCp932(key.substr(i, width))) {
      out += *text;
      return width;
    }
  }
  appendEscaped(out, c);
  return 1;
}

// Well-formed UTF-8: no stray continuation bytes, no overlong forms, no
// surrogates, nothing past U+10FFFF.
bool validUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t width = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2
                              : lead >= 0xE0 && lead <= 0xEF             ? 3
                              : lead >= 0xF0 && lead <= 0xF4             ? 4
                                                                         : 0;
    if (width == 0 || width > text.size() - i) return false;
    // The second byte's range narrows after E0, ED, F0 and F4.
    unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    for (std::size_t k = 1; k < width; ++k, low = 0x80, high = 0xBF) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if (next < low || next > high) return false;
    }
    i += width;
  }
  return true;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Appends the text gathered since the last escape, encoded with cp932.
bool appendRun(std::string& key, std::string& run, bool cp932) {
  if (!cp932) {
    key += run;
  } else if (std::optional<std::string> encoded = encodeCp932(run)) {
    key += *encoded;
  } else {
    return false;
  }
  run.clear();
  return true;
}

}  // namespace

std::string escapedKey(std::string_view key, bool cp932) {
  std::string out;
  out.reserve(key.size());
  for (std::size_t i = 0; i < key.size();) {
    const auto c = static_cast<unsigned char>(key[i]);
    if (printable(c)) {
      out += static_cast<char>(c);
      ++i;
    } else if (cp932 && c >= 0x80) {
      i += appendCp932(out, key, i);
    } else {
      appendEscaped(out, c);
      ++i;
    }
  }
  return out;
}

std::optional<std::string> keyAsUnicode(std::string_view key, bool cp932) {
  if (cp932) return decodeCp932(key);
  if (!validUtf8(key)) return std::nullopt;
  return std::string(key);
}

std::optional<std::string> keyFromText(std::string_view text, bool cp932) {
  std::string key;
  std::string run;  // text since the last escape
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      run += text[i];
      continue;
    }
    if (!appendRun(key, run, cp932)) return std::nullopt;
    if (i + 1 < text.size() && text[i + 1] == '\\') {
      key += '\\';
      i += 1;
      continue;
    }
    const int high = i + 3 < text.size() && text[i + 1] == 'x' ? hexDigit(text[i + 2]) : -1;
    const int low = high >= 0 ? hexDigit(text[i + 3]) : -1;
    if (low < 0) return std::nullopt;
    key += static_cast<char>(high * 16 + low);
    i += 3;
  }
  if (!appendRun(key, run, cp932) || key.find('\0') != std::string::npos) return std::nullopt;
  return key;
}

std::optional<int32_t> int32FromText(std::string_view text) {
  int32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || stop != end || text.empty()) return std::nullopt;
  return value;
}

}  // namespace kelht
