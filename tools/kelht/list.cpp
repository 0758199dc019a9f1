// list: every entry of a restart file in the order of its records, read
// record by record, as a plain listing, a restart listing (listing.h) or
// JSON lines.
#include <string>

#include "commands.h"
#include "keyText.h"
#include "listing.h"
#include "output.h"
#include "scan.h"

namespace kelht {

namespace {

const char kHex[] = "0123456789abcdef";

// Text inside a JSON string: quotes, backslashes and control characters escaped.
std::string jsonEscaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  return out;
}

std::string hexBytes(std::string_view bytes) {
  std::string out;
  for (char c : bytes) {
    out += kHex[static_cast<unsigned char>(c) >> 4];
    out += kHex[static_cast<unsigned char>(c) & 15];
  }
  return out;
}

class Lister final : public kel::RestartVisitor {
 public:
  Lister(ListFormat format, bool cp932) : format_(format), cp932_(cp932) {}
  void header(int32_t size, int32_t counter) override {
    if (format_ == ListFormat::restart) out_ << restartListingHeader(size, counter) << '\n';
    if (format_ != ListFormat::jsonl) out_ << kListingColumns << '\n';
  }
  void chain(const kel::RestartChain& chain) override {
    bucket_ = chain.bucket;
    position_ = 0;
  }
  void entry(const kel::RestartEntry& e) override {
    if (format_ == ListFormat::jsonl) jsonRow(e);
    else tsvRow(e);
    ++position_;
  }
  void chainEnd() override {}

 private:
  static const char* kind(const kel::RestartEntry& e) { return e.isLong ? "long" : "string"; }

  void tsvRow(const kel::RestartEntry& e) {
    out_ << bucket_ << '\t' << position_ << '\t' << kind(e) << '\t';
    if (e.isLong) out_ << e.longKey;
    else out_ << escapedKey(keyOf(e), cp932_);
    out_ << '\t' << e.content << '\n';
  }

  // A long key is a number; a string key is a JSON string when it is text,
  // else its bytes in hexadecimal under "keyHex".
  void jsonRow(const kel::RestartEntry& e) {
    out_ << "{\"bucket\":" << bucket_ << ",\"position\":" << position_ << ",\"kind\":\"" << kind(e)
         << "\",";
    if (e.isLong) out_ << "\"key\":" << e.longKey;
    else if (const std::optional<std::string> text = keyAsUnicode(keyOf(e), cp932_))
      out_ << "\"key\":\"" << jsonEscaped(*text) << '"';
    else out_ << "\"keyHex\":\"" << hexBytes(keyOf(e)) << '"';
    out_ << ",\"content\":" << e.content << "}\n";
  }

  Output out_;
  ListFormat format_;
  bool cp932_;
  int32_t bucket_ = 0;
  int64_t position_ = 0;
};

}  // namespace

int list(const std::string& path, ListFormat format, bool cp932) {
  ScannedFile file;
  {
    Lister lister(format, cp932);  // prints every row before a damage report
    file = scanFile(path, lister);
  }
  return file.damaged() ? reportDamage(path, file) : 0;
}

}  // namespace kelht
