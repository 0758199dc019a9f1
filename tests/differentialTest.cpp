// Seeded random operations through the exports, checked step by step against
// a plain model of what the table must hold. A failure names its seed and
// step; KEL_SEED=<seed> replays one seed.
#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/library.h"
#include "tests/support/tableSnapshot.h"

namespace kel::test {
namespace {

constexpr int kStepsPerSeed = 50000;

struct Model {
  bool present = false;
  std::map<std::string, int> strings;
  std::map<int, int> longs;
};

class RandomRun {
 public:
  RandomRun(const KelHashTableFun& ht, uint32_t seed) : ht_(ht), random_(seed) {
    for (int i = 0; i < 400; ++i) stringPool_.push_back(randomString());
    std::uniform_int_distribution<int> anyLong(INT32_MIN, INT32_MAX);
    longPool_ = {0, 1, -1, INT32_MIN, INT32_MAX};
    while (longPool_.size() < 400) longPool_.push_back(random_() % 4 ? int(random_() % 2000) - 1000 : anyLong(random_));
  }

  // Returns a description of the first disagreement, or nothing.
  std::optional<std::string> step() {
    switch (random_() % 16) {
      case 0: return buildStrings();
      case 1: return buildLongs();
      case 2: return buildFromList();
      case 3: ht_.close(); model_ = Model{}; return {};
      case 4: case 5: return addOrSet(false);
      case 6: case 7: return addOrSet(true);
      case 8: case 9: case 10: return remove();
      case 11: case 12: case 13: return searchStrings();
      case 14: return searchLongs();
      default: return compareWholeTable();
    }
  }

 private:
  std::string randomString() {
    static const char alphabet[] = "ab c,\x80\xff\x9f" "0123456789xyz";
    std::string s(random_() % 5 == 0 ? 25 + random_() % 30 : random_() % 8, ' ');
    for (char& c : s) c = alphabet[random_() % (sizeof alphabet - 1)];
    return s;
  }
  const std::string& anyString() { return stringPool_[random_() % stringPool_.size()]; }
  int anyLong() { return longPool_[random_() % longPool_.size()]; }
  int anyContent() { return int(random_() % 7) - 3; }
  bool coin() { return random_() % 2 == 0; }

  std::optional<std::string> buildStrings() {
    std::vector<std::string> keys(random_() % 60);
    std::vector<int> contents;
    for (std::string& k : keys) k = anyString(), contents.push_back(anyContent());
    std::vector<const char*> pointers;
    for (const std::string& k : keys) pointers.push_back(k.c_str());
    const bool withContents = coin();
    ht_.makeHashTableStrList(pointers.data(), int(keys.size()), withContents ? contents.data() : nullptr);
    model_ = Model{true};
    for (std::size_t i = 0; i < keys.size(); ++i) model_.strings.emplace(keys[i], withContents ? contents[i] : 0);
    return {};
  }

  std::optional<std::string> buildLongs() {
    std::vector<int> keys(random_() % 60), contents;
    for (int& k : keys) k = anyLong(), contents.push_back(anyContent());
    ht_.makeHashTableLng(keys.data(), int(keys.size()), contents.data());
    model_ = Model{true};
    for (std::size_t i = 0; i < keys.size(); ++i) model_.longs.emplace(keys[i], contents[i]);
    return {};
  }

  std::optional<std::string> buildFromList() {
    std::string list = anyString();
    for (int n = random_() % 4; n > 0; --n) list += "," + anyString();
    std::vector<int> contents(list.size() + 1);
    for (int& c : contents) c = anyContent();
    ht_.makeHashTableStr(list.c_str(), contents.data());
    model_ = Model{true};
    std::istringstream tokens(list + ",");
    std::string token;
    for (int i = 0; std::getline(tokens, token, ','); ++i) model_.strings.emplace(token, contents[i]);
    return {};
  }

  // Adds a key (a present key keeps its content) or sets its content.
  std::optional<std::string> addOrSet(bool set) {
    const int content = anyContent();
    if (coin()) {
      const std::string& key = anyString();
      (set ? ht_.setContentStr : ht_.addOneStr)(key.c_str(), content);
      if (model_.present) store(model_.strings, key, content, set);
    } else {
      const int key = anyLong();
      (set ? ht_.setContentLng : ht_.addOneLng)(key, content);
      if (model_.present) store(model_.longs, key, content, set);
    }
    return {};
  }
  template <typename Map, typename Key>
  static void store(Map& map, const Key& key, int content, bool set) {
    if (set) map[key] = content;
    else map.emplace(key, content);
  }

  template <typename Map, typename Key>
  int removeFromModel(Map& map, const Key& key, const int* filter) {
    const auto it = map.find(key);
    if (it == map.end()) return 0;
    const int stored = it->second;
    if (filter == nullptr || *filter == stored) map.erase(it);
    return stored;
  }

  std::optional<std::string> remove() {
    const int mode = random_() % 3;  // no filter, a random filter, the stored content
    const bool isString = coin();
    const std::string key = anyString();
    const int longKey = anyLong();
    int filter = anyContent();
    if (mode == 2) {
      if (isString && model_.strings.count(key)) filter = model_.strings[key];
      if (!isString && model_.longs.count(longKey)) filter = model_.longs[longKey];
    }
    const int sentinel = 12345;
    int reported = mode == 0 ? sentinel : filter;
    int* argument = mode == 0 ? nullptr : &reported;
    if (isString) ht_.removeOneStr(key.c_str(), argument);
    else ht_.removeOneLng(longKey, argument);
    if (!model_.present) return reported == (mode == 0 ? sentinel : filter) ? std::nullopt
                                                                         : std::optional<std::string>("remove wrote without a table");
    const int expected = isString ? removeFromModel(model_.strings, key, mode ? &filter : nullptr)
                                  : removeFromModel(model_.longs, longKey, mode ? &filter : nullptr);
    if (mode != 0 && reported != expected)
      return "remove reported " + std::to_string(reported) + ", expected " + std::to_string(expected);
    return {};
  }

  template <typename Key, typename Search>
  std::optional<std::string> checkSearch(const std::vector<Key>& probes, const std::map<Key, int>& model,
                                         Search search) {
    const int n = int(probes.size());
    std::vector<char> found(n, 9);
    std::vector<int> contents(n, -777);
    search(n, found.data(), contents.data());
    for (int i = 0; i < n; ++i) {
      const auto it = model_.present ? model.find(probes[i]) : model.end();
      const bool expectFound = it != model.end();
      const int expectContent = expectFound ? it->second : -777;
      if (found[i] != expectFound || contents[i] != expectContent)
        return "search probe " + std::to_string(i) + " found " + std::to_string(found[i]) +
               " content " + std::to_string(contents[i]);
    }
    return {};
  }

  std::optional<std::string> searchStrings() {
    std::vector<std::string> probes(1 + random_() % 160);  // past the bulk search's 64-key ring
    for (std::string& p : probes) p = coin() ? anyString() : randomString();
    std::vector<const char*> pointers;
    for (const std::string& p : probes) pointers.push_back(p.c_str());
    return checkSearch(probes, model_.strings, [&](int n, char* found, int* contents) {
      ht_.searchStrList(pointers.data(), n, found, contents);
    });
  }

  std::optional<std::string> searchLongs() {
    std::vector<int> probes(1 + random_() % 160);
    for (int& p : probes) p = anyLong();
    return checkSearch(probes, model_.longs, [&](int n, char* found, int* contents) {
      ht_.searchLng(probes.data(), n, found, contents);
    });
  }

  std::optional<std::string> compareWholeTable() {
    if (!model_.present) return {};
    std::vector<Entry> actual = snapshot(ht_), expected;
    for (const auto& [key, content] : model_.strings) expected.push_back({false, key, 0, content});
    for (const auto& [key, content] : model_.longs) expected.push_back({true, "", key, content});
    const auto order = [](const Entry& a, const Entry& b) {
      return std::tie(a.isLong, a.stringKey, a.longKey) < std::tie(b.isLong, b.stringKey, b.longKey);
    };
    std::sort(actual.begin(), actual.end(), order);
    if (actual == expected) return {};
    return "table holds " + std::to_string(actual.size()) + " entries, expected " +
           std::to_string(expected.size());
  }

  const KelHashTableFun& ht_;
  std::mt19937 random_;
  std::vector<std::string> stringPool_;
  std::vector<int> longPool_;
  Model model_;
};

class Differential : public LibraryTest {};

TEST_F(Differential, RandomOperationsAgreeWithTheModel) {
  std::vector<uint32_t> seeds = {1, 20261205, 77, 4242};
  if (const char* seed = std::getenv("KEL_SEED")) seeds = {uint32_t(std::strtoul(seed, nullptr, 10))};
  for (uint32_t seed : seeds) {
    ht.close();
    RandomRun run(ht, seed);
    for (int step = 0; step < kStepsPerSeed; ++step) {
      if (auto mismatch = run.step()) FAIL() << "seed " << seed << " step " << step << ": " << *mismatch;
    }
  }
}

}  // namespace
}  // namespace kel::test
