// How the bulk finds take their keys: findStrings and findLongs (declared
// in core/HashTable.h, whose results they keep exactly: those of taking the
// keys one by one, in order), and the one-by-one adds a build falls back to.
//
// Tables of up to kCachedSize buckets, which the cache holds, take the keys
// one by one, hashed kHashGroup at a time. Finds in tables of up to
// kFindEachSize buckets without side indexes do too, fetching the tags and
// heads of a group ahead; larger ones and tables with indexes (whose slots
// the pipeline fetches ahead too) go through a software pipeline that
// fetches every key's tag, head and first entry into the cache some keys
// ahead of its lookup, so that memory latencies overlap.
#pragma once

#include <cstdint>

#include "core/HashTable.h"

namespace kel {

template <typename Report>
void HashTable::findStrings(const char* const* keys, int32_t count, Report report) const {
  if (size_ <= kCachedSize) findEach<StringProbe, false>(keys, count, report);
  else if (size_ <= kFindEachSize && indexes_.empty()) findEach<StringProbe, true>(keys, count, report);
  else pipelinedFind<StringProbe>(keys, count, report);
}

template <typename Report>
void HashTable::findLongs(const int32_t* keys, int32_t count, Report report) const {
  if (size_ <= kCachedSize) findEach<LongProbe, false>(keys, count, report);
  else if (size_ <= kFindEachSize && indexes_.empty()) findEach<LongProbe, true>(keys, count, report);
  else pipelinedFind<LongProbe>(keys, count, report);
}

// ------------------------------------------------- one by one, in groups

// Keys are hashed kHashGroup at a time, a group ahead of their lookups; a
// probe is made only for a key whose bit its bucket's tag has. With
// kFetchAhead the tags and heads of the group ahead are fetched into the
// cache meanwhile. The table is read into locals, which the stores through
// the host's char flags cannot change.
template <typename Probe, bool kFetchAhead, typename Keys, typename Report>
void HashTable::findEach(Keys keys, int32_t count, Report report) const {
  const uint8_t* const tags = tags_;
  const EntryRef* const heads = buckets_;
  const int32_t size = size_;
  const bool indexed = !indexes_.empty();
  typename Probe::Group groups[2];
  int32_t buckets[2][kHashGroup];
  auto hash = [&](int32_t first, int32_t n, int32_t g) {
    groups[g].hash(keys, first, n);
    for (int32_t k = 0; k < n; ++k) {
      buckets[g][k] = bucketOf(groups[g].fractions[k], size);
      if (kFetchAhead) prefetch(&tags[buckets[g][k]]), prefetch(&heads[buckets[g][k]]);
    }
  };
  auto groupAt = [&](int32_t first) { return count - first < kHashGroup ? count - first : kHashGroup; };
  if (count > 0) hash(0, groupAt(0), 0);
  for (int32_t first = 0, n = 0, g = 0; first < count; first += n, g ^= 1) {
    n = groupAt(first);
    if (count - first > kHashGroup) hash(first + kHashGroup, groupAt(first + kHashGroup), g ^ 1);
    for (int32_t k = 0; k < n; ++k) {
      const int32_t bucket = buckets[g][k];
      if ((tags[bucket] & groups[g].tag(k)) == 0) continue;
      const Probe probe = groups[g].probe(k);
      const EntryRef found = indexed ? firstMatch(bucket, heads[bucket], probe) : walkToMatch(heads[bucket], probe);
      if (found != kNoEntry) report(first + k, entryAt(found).content);
    }
  }
}

template <typename Probe, typename Keys>
void HashTable::addEach(Keys keys, int32_t count, const int32_t* contents) {
  Probe probes[kHashGroup];
  for (int32_t first = 0, n = 0; first < count; first += n) {
    n = count - first < kHashGroup ? count - first : kHashGroup;
    Probe::fill(probes, keys, first, n);
    for (int32_t k = 0; k < n; ++k)
      if (probes[k].present()) addIfAbsent(probes[k], contents != nullptr ? contents[first + k] : 0);
  }
}

// ------------------------------------------------------------ the pipeline

// A software pipeline over blocks of kBlock keys. Block j is hashed and the
// tags of its buckets prefetched; block j - 1 reads its tags, lists the keys
// whose bit they have (its candidates) and prefetches their heads; block
// j - 2 loads those heads and prefetches the first entries; and block j - 3
// is looked up, by then usually in the cache. A search of absent keys so
// reads one byte a key, mostly, and its later stages pass over the keys the
// tags ruled out. Each stage is a short loop over one block.
template <typename Probe>
struct HashTable::Block {
  Probe probes[kBlock];
  int32_t buckets[kBlock];
  uint8_t tags[kBlock];
  // The keys whose bit their bucket's tag has, in block order: only these
  // can be present, so the later stages of a find visit them alone.
  int32_t candidates[kBlock];
  int32_t admitted;        // how many candidates
  EntryRef heads[kBlock];  // the chain heads of the candidates, by key
  ChainSearch searches[kBlock];  // the index hash, for keys of indexed chains
  bool indexed;  // the table had indexes: searches are filled in
  int32_t first;
  int32_t n;
  // Calls visit(k) for every candidate k. A block of keys that are all
  // candidates, as a search of present keys has, is taken straight.
  template <typename Visit>
  void forCandidates(Visit visit) const {
    if (admitted == n) {
      for (int32_t k = 0; k < n; ++k) visit(k);
    } else {
      for (int32_t c = 0; c < admitted; ++c) visit(candidates[c]);
    }
  }
};

template <typename Probe, typename Keys, typename Step>
void HashTable::pipelined(Keys keys, int32_t count, Step step) const {
  constexpr int32_t kStages = 4;
  Block<Probe> blocks[kStages];
  const int32_t blockCount = blocksFor(count);
  const int32_t size = size_;
  const uint8_t* const tags = tags_;
  const EntryRef* const heads = buckets_;
  for (int32_t j = 0; j < blockCount + kStages - 1; ++j) {
    if (j < blockCount) {
      Block<Probe>& b = blocks[j % kStages];
      b.first = j * kBlock;
      b.n = count - b.first < kBlock ? count - b.first : kBlock;
      for (int32_t k = 0; k < b.n; k += kHashGroup)
        Probe::fill(b.probes + k, keys, b.first + k, b.n - k < kHashGroup ? b.n - k : kHashGroup);
      for (int32_t k = 0; k < b.n; ++k) {
        const int32_t bucket = b.buckets[k] = bucketOf(b.probes[k].fraction, size);
        b.tags[k] = b.probes[k].present() ? b.probes[k].tag() : 0;
        prefetch(&tags[bucket]);
      }
    }
    if (j >= 1 && j - 1 < blockCount) {
      Block<Probe>& b = blocks[(j - 1) % kStages];
      int32_t admitted = 0;
      for (int32_t k = 0; k < b.n; ++k) {
        const bool maybe = (tags[b.buckets[k]] & b.tags[k]) != 0;
        b.candidates[admitted] = k;
        admitted += maybe;
        if (maybe) prefetch(&heads[b.buckets[k]]);
      }
      b.admitted = admitted;
      b.indexed = !indexes_.empty();
      if (b.indexed) prefetchIndexSlots(b);
    }
    if (j >= 2 && j - 2 < blockCount) {
      Block<Probe>& b = blocks[(j - 2) % kStages];
      b.forCandidates([&](int32_t k) {
        const EntryRef head = heads[b.buckets[k]];
        b.heads[k] = head;
        prefetchEntry(head);
      });
      if (b.indexed) prefetchIndexedEntries(b);
    }
    if (j >= 3) step(blocks[(j - 3) % kStages]);
  }
}

// The heads found for a block stay right: nothing changes the table during
// a find.
template <typename Probe, typename Keys, typename Report>
void HashTable::pipelinedFind(Keys keys, int32_t count, Report report) const {
  pipelined<Probe>(keys, count, [&](const Block<Probe>& b) {
    // Copies the compiler can keep in registers: the host's found flags are
    // chars, and a store through them could change anything in memory.
    Report local = report;
    const int32_t first = b.first;
    if (!b.indexed) {
      b.forCandidates([&](int32_t k) {
        const EntryRef found = walkToMatch(b.heads[k], b.probes[k]);
        if (found != kNoEntry) local(first + k, entryAt(found).content);
      });
      return;
    }
    b.forCandidates([&](int32_t k) {
      ChainSearch known = b.searches[k];
      const EntryRef found = firstMatch(b.buckets[k], b.heads[k], b.probes[k], &known);
      if (found != kNoEntry) local(first + k, entryAt(found).content);
    });
  });
}

template <typename Probe>
void HashTable::prefetchIndexSlots(Block<Probe>& b) const {
  for (int32_t k = 0; k < b.n; ++k) b.searches[k] = ChainSearch{};
  b.forCandidates([&](int32_t k) {
    if (const ChainIndex* index = usableIndex(b.buckets[k])) {
      b.searches[k].hashed = true;
      b.searches[k].hash = b.probes[k].indexHash(seed_);
      prefetch(index->home(b.searches[k].hash));
    }
  });
}

template <typename Probe>
void HashTable::prefetchIndexedEntries(const Block<Probe>& b) const {
  b.forCandidates([&](int32_t k) {
    if (!b.searches[k].hashed) return;
    if (const ChainIndex* index = usableIndex(b.buckets[k])) prefetchEntry(index->homeEntry(b.searches[k].hash));
  });
}

}  // namespace kel
