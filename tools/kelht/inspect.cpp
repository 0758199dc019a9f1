// info and verify: a restart file read record by record, in memory
// proportional to its bucket count (verify also keeps one chain's keys).
#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "commands.h"
#include "core/hashing.h"
#include "failure.h"
#include "keyText.h"
#include "output.h"
#include "scan.h"

namespace kelht {

namespace {

using kel::RestartChain;
using kel::RestartEntry;

// A key inside a sentence: a long key by its number, a string key quoted and
// cut after 40 bytes.
std::string describeKey(bool isLong, int32_t longKey, std::string_view key) {
  if (isLong) return "long key " + std::to_string(longKey);
  constexpr std::size_t kShown = 40;
  if (key.size() <= kShown) return "string key \"" + escapedKey(key, false) + "\"";
  return "string key \"" + escapedKey(key.substr(0, kShown), false) + "...\" (" +
         std::to_string(key.size()) + " bytes)";
}

// ---- info -------------------------------------------------------------------

class Census final : public kel::RestartVisitor {
 public:
  void header(int32_t size, int32_t) override { withChain_.assign(static_cast<std::size_t>(size), false); }
  void chain(const RestartChain& chain) override {
    withChain_[static_cast<std::size_t>(chain.bucket)] = true;
    inChain_ = 0;
  }
  void entry(const RestartEntry& e) override {
    ++inChain_;
    ++(e.isLong ? longKeys : stringKeys);
  }
  void chainEnd() override {
    ++chainsOfLength[inChain_];
    longest = std::max(longest, inChain_);
  }

  int64_t bucketsWithChains() const { return std::count(withChain_.begin(), withChain_.end(), true); }

  int64_t stringKeys = 0;
  int64_t longKeys = 0;
  int64_t longest = 0;
  std::map<int64_t, int64_t> chainsOfLength;

 private:
  std::vector<bool> withChain_;
  int64_t inChain_ = 0;
};

std::string fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

}  // namespace

int info(const std::string& path) {
  Census census;
  const ScannedFile file = scanFile(path, census);
  if (file.damaged()) return reportDamage(path, file);
  const int64_t entries = census.stringKeys + census.longKeys;
  Output out;
  out << "buckets: " << file.size << "\ncounter: " << file.counter << "\nentries: " << entries
      << "\nstring keys: " << census.stringKeys << "\nlong keys: " << census.longKeys
      << "\nload factor: " << fixed(static_cast<double>(entries) / file.size, 3)
      << "\nlongest chain: " << census.longest << "\nchain lengths:\n  0: "
      << (file.size - census.bucketsWithChains()) << " buckets\n";
  for (const auto& [length, chains] : census.chainsOfLength)
    out << "  " << length << ": " << chains << (chains == 1 ? " bucket\n" : " buckets\n");
  out << "file bytes per entry: "
      << (entries == 0 ? std::string("-") : fixed(static_cast<double>(file.bytes) / entries, 1))
      << '\n';
  return 0;
}

// ---- verify -----------------------------------------------------------------

namespace {

struct Problem {
  int64_t offset;
  std::string what;
};

// Everything the loader accepts but a dump would not have written: each
// found at the offset of the record or field concerned, and printed in
// offset order once its chain is done.
class Checker final : public kel::RestartVisitor {
 public:
  Checker(const std::string& path, Output& out) : path_(path), out_(out) {}

  void header(int32_t size, int32_t counter) override {
    size_ = size;
    counter_ = counter;
    stored_.assign(static_cast<std::size_t>(size), false);
    if (counter < 0)
      note(4, "counter " + std::to_string(counter) +
                  " below 0: the loaded table cannot be listed or dumped");
  }

  void chain(const RestartChain& chain) override {
    bucket_ = chain.bucket;
    if (chain.length < 1)
      note(chain.offset + 4, "chain length " + std::to_string(chain.length) + " stands for one entry");
    const auto bucket = static_cast<std::size_t>(chain.bucket);
    if (stored_[bucket])
      note(chain.offset, "bucket " + std::to_string(chain.bucket) +
                             " stored again: the loader keeps this later chain");
    else if (chain.bucket <= previousBucket_)
      note(chain.offset, "bucket " + std::to_string(chain.bucket) + " stored after bucket " +
                             std::to_string(previousBucket_) + ": chains go in ascending bucket order");
    stored_[bucket] = true;
    previousBucket_ = chain.bucket;
  }

  void entry(const RestartEntry& e) override {
    if (++entries == int64_t{counter_} + 1 && counter_ > 0)
      note(e.offset, "entry " + std::to_string(entries) + " is beyond the counter " +
                         std::to_string(counter_) + ": the last chain is read whole");
    const double fraction = e.isLong ? kel::longFraction(e.longKey)
                                     : kel::stringFraction(e.stringKey, e.keyLength);
    const int32_t hashed = kel::bucketOf(fraction, size_);
    if (hashed != bucket_)
      note(e.offset, describeKey(e.isLong, e.longKey, keyOf(e)) + " belongs in bucket " +
                         std::to_string(hashed) + ", not in bucket " + std::to_string(bucket_));
    chainKeys_.push_back({e.isLong, e.longKey, keyBytes_.size(), e.keyLength, e.offset});
    if (!e.isLong) keyBytes_.append(e.stringKey, e.keyLength);
  }

  // A key stored twice in a chain: searches find the first, the later one
  // is never found. (A copy in another chain sits outside its bucket and is
  // reported as such.)
  void chainEnd() override {
    if (chainKeys_.size() > 1) findRepeatedKeys();
    chainKeys_.clear();
    keyBytes_.clear();
    report();
  }

  // After the scan: what a damage cut short, and the bytes left after it.
  void end(const kel::RestartScan& scan) {
    if (scan.trailing) note(scan.offset, "bytes after the last chain the counter asks for are ignored");
    report();
  }

  int64_t problems = 0;
  int64_t entries = 0;

 private:
  struct Key {
    uint8_t isLong;
    int32_t longKey;  // 0 for a string key
    std::size_t at;   // a string key's bytes in keyBytes_
    std::size_t length;
    int64_t offset;
  };
  std::string_view bytes(const Key& key) const {
    return std::string_view(keyBytes_).substr(key.at, key.isLong ? 0 : key.length);
  }
  bool same(const Key& a, const Key& b) const {
    return a.isLong == b.isLong && a.longKey == b.longKey && bytes(a) == bytes(b);
  }
  // Sorted, equal keys meet, each run led by the key stored first.
  void findRepeatedKeys() {
    std::vector<const Key*> keys;
    for (const Key& key : chainKeys_) keys.push_back(&key);
    std::sort(keys.begin(), keys.end(), [this](const Key* a, const Key* b) {
      return std::make_tuple(a->isLong, a->longKey, bytes(*a), a->offset) <
             std::make_tuple(b->isLong, b->longKey, bytes(*b), b->offset);
    });
    const Key* first = keys.front();
    for (const Key* key : keys) {
      if (key == first || !same(*first, *key)) {
        first = key;
        continue;
      }
      note(key->offset, describeKey(key->isLong, key->longKey, bytes(*key)) +
                            " repeats the key at offset " + std::to_string(first->offset));
    }
  }
  void note(int64_t offset, std::string what) { pending_.push_back({offset, std::move(what)}); }
  void report() {
    std::stable_sort(pending_.begin(), pending_.end(),
                     [](const Problem& a, const Problem& b) { return a.offset < b.offset; });
    for (const Problem& problem : pending_)
      out_ << path_ << ": offset " << problem.offset << ": " << problem.what << '\n';
    problems += static_cast<int64_t>(pending_.size());
    pending_.clear();
  }

  const std::string& path_;
  Output& out_;
  std::vector<Problem> pending_;
  int32_t size_ = 0;
  int32_t counter_ = 0;
  int32_t bucket_ = 0;
  int32_t previousBucket_ = -1;
  std::vector<bool> stored_;
  std::vector<Key> chainKeys_;
  std::string keyBytes_;
};

}  // namespace

int verify(const std::string& path) {
  Output out;
  Checker checker(path, out);
  const ScannedFile file = scanFile(path, checker);
  checker.end(file.scan);
  if (file.damaged()) {
    out << damageReport(path, file) << '\n';
    return kAnswerNo;
  }
  if (checker.problems != 0) {
    out << path << ": inconsistent: " << checker.problems
        << (checker.problems == 1 ? " problem\n" : " problems\n");
    return kAnswerNo;
  }
  out << path << ": sound: " << checker.entries << " entries in " << file.size << " buckets\n";
  return 0;
}

}  // namespace kelht
