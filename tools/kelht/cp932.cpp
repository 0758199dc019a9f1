#include "cp932.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace kelht {

namespace {

#if defined(_WIN32)
// From one code page to another through UTF-16; null when a byte or a
// character has no conversion.
std::optional<std::string> convert(std::string_view text, UINT from, UINT to) {
  if (text.empty()) return std::string();
  const int length = static_cast<int>(text.size());
  const int wide = MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
  if (wide == 0) return std::nullopt;
  std::wstring utf16(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, text.data(), length, utf16.data(), wide);
  // Code page 932 takes no flags and reports no replacement when it
  // converts to UTF-8; towards 932 a replaced character is a failure.
  BOOL replaced = FALSE;
  BOOL* replacedFlag = to == CP_UTF8 ? nullptr : &replaced;
  const DWORD flags = to == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  const int bytes = WideCharToMultiByte(to, flags, utf16.data(), wide, nullptr, 0, nullptr, replacedFlag);
  if (bytes == 0 || replaced) return std::nullopt;
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(to, flags, utf16.data(), wide, out.data(), bytes, nullptr, replacedFlag);
  return out;
}
std::optional<std::string> toUtf8(std::string_view bytes) { return convert(bytes, 932, CP_UTF8); }
std::optional<std::string> toCp932(std::string_view text) { return convert(text, CP_UTF8, 932); }
#else
// One converter per direction, opened on first use.
class Converter {
 public:
  Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~Converter() {
    if (handle_ != reinterpret_cast<iconv_t>(-1)) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  std::optional<std::string> operator()(std::string_view text) {
    if (handle_ == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    std::string out(text.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char* next = out.data();
    std::size_t outLeft = out.size();
    if (iconv(handle_, &in, &inLeft, &next, &outLeft) == static_cast<std::size_t>(-1)) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
  }

 private:
  iconv_t handle_;
};

std::optional<std::string> toUtf8(std::string_view bytes) {
  static Converter converter("UTF-8", "CP932");
  return converter(bytes);
}
std::optional<std::string> toCp932(std::string_view text) {
  static Converter converter("CP932", "UTF-8");
  return converter(text);
}
#endif

}  // namespace

std::optional<std::string> decodeCp932(std::string_view bytes) {
  std::optional<std::string> text = toUtf8(bytes);
  if (!text || toCp932(*text) != std::string(bytes)) return std::nullopt;
  return text;
}

std::optional<std::string> encodeCp932(std::string_view utf8) { return toCp932(utf8); }

}  // namespace kelht
