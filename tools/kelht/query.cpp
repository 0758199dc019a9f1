// get and diff: tables loaded by the library and searched through its
// exports. A file is checked before the library loads it, since the library
// ends the process on a damaged file.
#include <string>
#include <vector>

#include "commands.h"
#include "failure.h"
#include "keyText.h"
#include "library.h"
#include "output.h"
#include "scan.h"

namespace kelht {

namespace {

struct Key {
  bool isLong;
  int32_t longKey;
  std::string bytes;
  int32_t content;  // in the table it was read from
};

// Searches keys of both kinds in the current table, in bulk: found flags and
// contents in the order of the keys.
void search(const KelHashTableFun& ht, const std::vector<Key>& keys, std::vector<char>& found,
            std::vector<int>& contents) {
  std::vector<const char*> strings;
  std::vector<int> longs;
  for (const Key& key : keys) {
    if (key.isLong) longs.push_back(key.longKey);
    else strings.push_back(key.bytes.c_str());
  }
  std::vector<char> stringFound(strings.size()), longFound(longs.size());
  std::vector<int> stringContents(strings.size()), longContents(longs.size());
  ht.searchStrList(strings.data(), static_cast<int>(strings.size()), stringFound.data(),
                   stringContents.data());
  ht.searchLng(longs.data(), static_cast<int>(longs.size()), longFound.data(), longContents.data());
  found.clear();
  contents.clear();
  std::size_t nextString = 0, nextLong = 0;
  for (const Key& key : keys) {
    const std::size_t i = key.isLong ? nextLong++ : nextString++;
    found.push_back(key.isLong ? longFound[i] : stringFound[i]);
    contents.push_back(key.isLong ? longContents[i] : stringContents[i]);
  }
}

std::string printed(const Key& key, bool cp932) {
  return key.isLong ? std::to_string(key.longKey) : escapedKey(key.bytes, cp932);
}

// ---- diff -------------------------------------------------------------------

// Walks one file and looks its keys up in the table of the other, a batch at
// a time, printing the keys the table lacks (and, walking A, the keys it
// holds with another content).
class Comparer final : public kel::RestartVisitor {
 public:
  Comparer(const KelHashTableFun& ht, Output& out, bool cp932, bool walkingA)
      : ht_(ht), out_(out), cp932_(cp932), walkingA_(walkingA) {}
  void header(int32_t, int32_t) override {}
  void chain(const kel::RestartChain&) override {}
  void entry(const kel::RestartEntry& e) override {
    const std::string bytes = e.isLong ? std::string() : std::string(e.stringKey, e.keyLength);
    batch_.push_back({e.isLong != 0, e.longKey, bytes, e.content});
    if (batch_.size() == kBatch) flush();
  }
  void chainEnd() override {}

  void flush() {
    std::vector<char> found;
    std::vector<int> contents;
    search(ht_, batch_, found, contents);
    for (std::size_t i = 0; i < batch_.size(); ++i) {
      const Key& key = batch_[i];
      const bool changed = found[i] && walkingA_ && contents[i] != key.content;
      if (found[i] && !changed) continue;
      const std::string content = std::to_string(key.content);
      if (changed) row("changed", key, content, std::to_string(contents[i]));
      else if (walkingA_) row("only-a", key, content, "");
      else row("only-b", key, "", content);
    }
    batch_.clear();
  }

  bool differs = false;

 private:
  static constexpr std::size_t kBatch = 4096;

  // change, kind, key, content in A, content in B (empty where absent).
  void row(const char* change, const Key& key, const std::string& inA, const std::string& inB) {
    differs = true;
    out_ << change << (key.isLong ? "\tlong\t" : "\tstring\t") << printed(key, cp932_) << '\t' << inA
         << '\t' << inB << '\n';
  }

  const KelHashTableFun& ht_;
  Output& out_;
  bool cp932_;
  bool walkingA_;
  std::vector<Key> batch_;
};

// The keys of `walked` looked up in the table of `loaded`; both files are
// known to be sound.
bool compare(const KelHashTableFun& ht, Output& out, const std::string& walked,
             const std::string& loaded, bool cp932, bool walkingA) {
  ht.makeHashTableFromBinFile(loaded.c_str());
  Comparer comparer(ht, out, cp932, walkingA);
  scanFile(walked, comparer);
  comparer.flush();
  ht.close();
  return comparer.differs;
}

Key keyFromArgument(const std::string& text, bool longKeys, bool cp932) {
  Key key{longKeys, 0, std::string(), 0};
  if (longKeys) {
    const std::optional<int32_t> number = int32FromText(text);
    if (!number) throw Failure(kTrouble, "not a long key: " + text);
    key.longKey = *number;
  } else {
    std::optional<std::string> bytes = keyFromText(text, cp932);
    if (!bytes) throw Failure(kTrouble, "not a key: " + text);
    key.bytes = std::move(*bytes);
  }
  return key;
}

}  // namespace

int get(const std::string& path, const std::vector<std::string>& texts, bool longKeys, bool cp932,
        Library& library) {
  std::vector<Key> keys;
  for (const std::string& text : texts) keys.push_back(keyFromArgument(text, longKeys, cp932));
  requireLoadable(path);
  const KelHashTableFun& ht = *library;
  ht.makeHashTableFromBinFile(path.c_str());
  std::vector<char> found;
  std::vector<int> contents;
  search(ht, keys, found, contents);
  ht.close();
  Output out;
  out << "key\tfound\tcontent\n";
  bool all = true;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    out << printed(keys[i], cp932) << '\t' << (found[i] ? "1\t" : "0\t");
    if (found[i]) out << contents[i];
    out << '\n';
    all = all && found[i];
  }
  return all ? 0 : kAnswerNo;
}

int diff(const std::string& a, const std::string& b, bool cp932, Library& library) {
  requireLoadable(a);
  requireLoadable(b);
  const KelHashTableFun& ht = *library;
  Output out;
  out << "change\tkind\tkey\ta\tb\n";
  const bool changed = compare(ht, out, a, b, cp932, true);
  const bool added = compare(ht, out, b, a, cp932, false);
  return changed || added ? kAnswerNo : 0;
}

}  // namespace kelht
