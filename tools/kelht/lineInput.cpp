#include "lineInput.h"

#include <cstdio>
#include <optional>

#include "cp932.h"
#include "failure.h"
#include "keyText.h"
#include "persist/restartScanner.h"

namespace kelht {

void requireRead(const std::istream& in, const std::string& input) {
  // Standard input is read through stdin, which keeps the error to itself.
  if (in.bad() || (input == "-" && std::ferror(stdin))) throw Failure(kTrouble, input + ": cannot read the file");
}

bool readLine(std::istream& in, const std::string& input, std::string& line) {
  if (!std::getline(in, line)) {
    requireRead(in, input);
    return false;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

std::vector<std::string> split(const std::string& line, char separator) {
  std::vector<std::string> fields(1);
  for (char c : line) {
    if (c == separator) fields.emplace_back();
    else fields.back() += c;
  }
  return fields;
}

void malformed(const std::string& input, long line, const std::string& why) {
  throw Failure(kTrouble, input + ": line " + std::to_string(line) + ": " + why);
}

int32_t integerField(const std::string& input, long line, const std::string& text, const char* what) {
  const std::optional<int32_t> value = int32FromText(text);
  if (!value) malformed(input, line, std::string(what) + " \"" + text + "\" is not a 32-bit integer");
  return *value;
}

std::string stringKeyField(const std::string& input, long line, const std::string& text, bool escaped,
                           bool cp932) {
  const std::optional<std::string> key =
      escaped ? keyFromText(text, cp932) : cp932 ? encodeCp932(text) : std::optional<std::string>(text);
  if (!key || key->find('\0') != std::string::npos)
    malformed(input, line, cp932 ? "not a key: a broken escape, a NUL byte or a character Shift_JIS lacks"
                                 : "not a key: a broken escape or a NUL byte");
  if (key->size() > kel::kLongestStringKey)
    malformed(input, line, "key longer than " + std::to_string(kel::kLongestStringKey) + " bytes");
  return *key;
}

}  // namespace kelht
