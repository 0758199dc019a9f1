// The key sets every benchmark uses, generated from a fixed seed and the
// same for every contestant:
//
//   ascii  identifiers such as customerOrderId, ship_date_2231 or
//          TAX_RATE_LEVEL7: one to three words, camelCase, PascalCase,
//          snake_case or UPPER_SNAKE, often with a number, 8 to 24 bytes
//   path   path-like keys such as /store/region_17/customer/order-88812/memo,
//          40 to 120 bytes (longer than the 30 bytes the hash mixes)
//   sjis   Shift_JIS-like keys: 2 to 10 double-byte characters (lead bytes
//          0x81 to 0x9F, trail bytes 0x40 to 0xFC without 0x7F), sometimes
//          followed by ASCII digits
//   lng    distinct random 32-bit integers over the whole range
//
// For n keys there are also n absent keys of the same kind (none of them a
// key), and hit probes: the n keys in a shuffled order.
#pragma once

#include <algorithm>
#include <cstring>
#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace bench {

constexpr uint64_t kSeed = 0x6b656c4854ULL;

enum class KeySet { kAscii, kPath, kSjis, kLong };

inline const char* nameOf(KeySet set) {
  switch (set) {
    case KeySet::kAscii: return "ascii";
    case KeySet::kPath: return "path";
    case KeySet::kSjis: return "sjis";
    case KeySet::kLong: return "lng";
  }
  return "?";
}

inline const char* const kWords[] = {
    "customer", "order",  "id",     "name",    "total",  "price",   "item",   "user",
    "account",  "date",   "code",   "status",  "count",  "index",   "value",  "amount",
    "region",   "product", "line",  "ship",    "bill",   "tax",     "rate",   "group",
    "key",      "type",   "flag",   "level",   "score",  "source",  "target", "batch",
    "file",     "row",    "column", "table",   "zip",    "city",    "phone",  "email",
    "vendor",   "store",  "branch", "unit",    "weight", "size",    "color",  "stock",
    "entry",    "period", "year",   "month",   "week",   "day",     "hour",   "parent",
    "child",    "node",   "link",   "owner",   "memo",   "note",    "limit",  "plan"};
constexpr int kWordCount = sizeof kWords / sizeof kWords[0];

inline std::string makeIdentifier(std::mt19937_64& rng) {
  for (;;) {
    const int style = static_cast<int>(rng() % 4);
    const int words = 1 + static_cast<int>(rng() % 3);
    std::string id;
    for (int w = 0; w < words; ++w) {
      std::string word = kWords[rng() % kWordCount];
      if (style == 2 || style == 3) {
        if (w > 0) id += '_';
        if (style == 3)
          for (char& c : word) c = static_cast<char>(c - 'a' + 'A');
      } else if (w > 0 || style == 1) {
        word[0] = static_cast<char>(word[0] - 'a' + 'A');
      }
      id += word;
    }
    if (rng() % 4 != 0) {
      if (style >= 2) id += '_';
      id += std::to_string(rng() % (1 + rng() % 100000));
    }
    if (id.size() >= 8 && id.size() <= 24) return id;
  }
}

inline std::string makePath(std::mt19937_64& rng) {
  const std::size_t length = 40 + rng() % 81;
  std::string path;
  while (path.size() < length) {
    path += '/';
    path += kWords[rng() % kWordCount];
    switch (rng() % 3) {
      case 0: path += '_' + std::to_string(rng() % 1000); break;
      case 1: path += '-' + std::to_string(rng() % 100000); break;
      default: break;
    }
  }
  path.resize(length);
  return path;
}

inline std::string makeShiftJis(std::mt19937_64& rng) {
  const int characters = 2 + static_cast<int>(rng() % 9);
  std::string key;
  for (int i = 0; i < characters; ++i) {
    key += static_cast<char>(0x81 + rng() % 0x1F);
    unsigned trail = 0x40 + static_cast<unsigned>(rng() % 0xBC);
    if (trail >= 0x7F) ++trail;
    key += static_cast<char>(trail);
  }
  if (rng() % 3 == 0) key += std::to_string(rng() % 1000);
  return key;
}

// String keys live in one arena, NUL-terminated, so that generating them
// leaves no per-key blocks behind on the heap that every contestant then
// allocates from.
struct StringKeys {
  std::vector<char> arena;
  std::vector<std::string_view> keys, absent, hits;  // hits: the keys, shuffled
  std::vector<const char*> keyPointers, absentPointers, hitPointers;
  std::vector<int> contents;
};

struct LongKeys {
  std::vector<int32_t> keys, absent, hits;
  std::vector<int> contents;
};

template <typename T>
std::vector<T> shuffled(std::vector<T> values, std::mt19937_64& rng) {
  std::shuffle(values.begin(), values.end(), rng);
  return values;
}

inline const StringKeys& stringKeys(KeySet set, int n) {
  static std::map<std::pair<KeySet, int>, std::unique_ptr<StringKeys>> cache;
  std::unique_ptr<StringKeys>& slot = cache[{set, n}];
  if (slot) return *slot;
  auto d = std::make_unique<StringKeys>();
  std::mt19937_64 rng(kSeed + static_cast<uint64_t>(n) * 7 + static_cast<uint64_t>(set));
  // Draw keys into a scratch arena until 2n of them are distinct (found by
  // sorting), then keep the first n distinct as the keys and the next n as
  // the absent ones, in the order drawn.
  std::vector<char> drawn;
  std::vector<std::size_t> starts;
  std::vector<char> keep;
  const std::size_t wanted = 2 * static_cast<std::size_t>(n);
  for (std::size_t target = wanted + wanted / 8 + 16;; target += wanted / 4 + 16) {
    while (starts.size() < target) {
      const std::string key = set == KeySet::kAscii  ? makeIdentifier(rng)
                              : set == KeySet::kPath ? makePath(rng)
                                                     : makeShiftJis(rng);
      starts.push_back(drawn.size());
      drawn.insert(drawn.end(), key.begin(), key.end());
      drawn.push_back('\0');
    }
    auto view = [&](std::size_t i) { return std::string_view(&drawn[starts[i]]); };
    std::vector<uint32_t> order(starts.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<uint32_t>(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](uint32_t x, uint32_t y) { return view(x) < view(y); });
    keep.assign(starts.size(), 1);
    for (std::size_t i = 1; i < order.size(); ++i)
      if (view(order[i]) == view(order[i - 1])) keep[order[i]] = 0;
    if (static_cast<std::size_t>(std::count(keep.begin(), keep.end(), 1)) >= wanted) break;
  }
  std::vector<std::size_t> chosen;
  for (std::size_t i = 0; i < starts.size() && chosen.size() < wanted; ++i)
    if (keep[i]) chosen.push_back(i);
  std::size_t bytes = 0;
  for (std::size_t i : chosen) bytes += std::strlen(&drawn[starts[i]]) + 1;
  d->arena.reserve(bytes);
  std::vector<std::size_t> offsets;
  for (std::size_t i : chosen) {
    offsets.push_back(d->arena.size());
    const char* key = &drawn[starts[i]];
    d->arena.insert(d->arena.end(), key, key + std::strlen(key) + 1);
  }
  drawn = {};
  for (std::size_t k = 0; k < wanted; ++k) {
    const char* key = d->arena.data() + offsets[k];
    (k < static_cast<std::size_t>(n) ? d->keys : d->absent).push_back(key);
    (k < static_cast<std::size_t>(n) ? d->keyPointers : d->absentPointers).push_back(key);
  }
  for (int i = 0; i < n; ++i) d->contents.push_back(static_cast<int>(rng()));
  std::vector<int> order(n);
  for (int i = 0; i < n; ++i) order[i] = i;
  order = shuffled(std::move(order), rng);
  for (int i : order) {
    d->hits.push_back(d->keys[i]);
    d->hitPointers.push_back(d->keyPointers[i]);
  }
  slot = std::move(d);
  return *slot;
}

inline const LongKeys& longKeys(int n) {
  static std::map<int, std::unique_ptr<LongKeys>> cache;
  std::unique_ptr<LongKeys>& slot = cache[n];
  if (slot) return *slot;
  auto d = std::make_unique<LongKeys>();
  std::mt19937_64 rng(kSeed + 1000003 * static_cast<uint64_t>(n));
  std::unordered_set<int32_t> seen;
  seen.reserve(2 * static_cast<std::size_t>(n));
  auto draw = [&] {
    for (;;) {
      const auto key = static_cast<int32_t>(static_cast<uint32_t>(rng()));
      if (seen.insert(key).second) return key;
    }
  };
  for (int i = 0; i < n; ++i) d->keys.push_back(draw());
  for (int i = 0; i < n; ++i) d->absent.push_back(draw());
  for (int i = 0; i < n; ++i) d->contents.push_back(static_cast<int>(rng()));
  d->hits = shuffled(d->keys, rng);
  slot = std::move(d);
  return *slot;
}

// The bucket count the library gives a table built for n keys.
inline int64_t bucketsFor(int n) { return 2 * static_cast<int64_t>(1.5 * (n + 1.0)); }

}  // namespace bench
