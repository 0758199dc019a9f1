// The table: an array of `size` singly linked bucket chains holding string
// and long entries side by side. A string key and a long key never match.
//
// Invariants kept by every operation of a table built in memory:
//   - each key occurs at most once per kind;
//   - every entry of chain i hashes to i at the current size;
//   - counter equals the number of entries in all chains.
// A table restored from a restart file takes its size, counter and chains as
// stored; the operations below stay memory-safe when such a table breaks the
// invariants, and behave exactly as they would on the stored chains. Its
// first growth adds every entry again, after which the invariants hold.
//
// New entries go to the head of their chain. When an add pushes counter above
// size * kLoadFactor the table doubles: the old chains are visited in bucket
// order, each from its head, and every entry is added again, so entries that
// meet in one new chain end up in the reverse of their visiting order.
//
// Bucket heads and chain links are 32-bit entry references (core/Entry.h).
// Beside every bucket head lies a one-byte tag: it holds one bit for every
// entry of its chain (the bit chosen by a hash of the entry's key that is
// independent of its bucket), maybe more after removals, and is zero
// exactly when the chain is empty. A lookup whose key's bit is missing from
// its bucket's tag is answered without reading the head or any entry: a
// miss reads one byte, from an array a quarter the size of the heads.
//
// A long chain also has a side index (core/ChainIndex.h): its entries by a
// seeded hash of their whole key, so that keys the bucket hash cannot tell
// apart (long keys that agree on the bytes it reads, keys that differ only in
// their spaces) are found, added and removed without walking the chain. The
// chain stays as it is and keeps the order; the index only finds entries in
// it. An add that walks a chain of kIndexAbove entries or more without
// finding its key indexes the chain; a removal that leaves an indexed chain
// with fewer than kIndexBelow entries drops its index; growth passes the
// index of a chain on to the chain it splits into, or indexes anew the
// chains it splits into that hold kIndexBelow entries or more. The tag
// spares some adds their walk, but a walked add finds fewer than kIndexAbove
// entries (or it indexes) and a spared one brings a tag bit no entry of the
// chain has, so an unindexed chain of a table built in memory holds at most
// kIndexAbove - 1 entries and one more for each of the eight tag bits its
// entries use.
// A restored table indexes its chains of more than kIndexAbove entries when
// it is restored, except a chain that repeats a key: its entries are found by
// walking, as the stored chain orders them, until the table grows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/ChainIndex.h"
#include "core/Entry.h"
#include "core/EntryPool.h"
#include "core/hashing.h"
#include "core/probes.h"

// Marks the branches only long chains take, so that the code of ordinary
// chains is laid out as if the index did not exist.
#if defined(__GNUC__)
#define KEL_RARELY(condition) __builtin_expect(!!(condition), 0)
#else
#define KEL_RARELY(condition) (condition)
#endif

namespace kel {

class HashTable {
 public:
  // The growth threshold. Every builder of the original library set a
  // module-wide variable to 0.75 before it made a table, and nothing else
  // changed it, so a constant behaves the same.
  static constexpr double kLoadFactor = 0.75;
  // A chain that an add finds kIndexAbove entries in gets an index; one left
  // with fewer than kIndexBelow loses it (docs/design.md says why these).
  static constexpr uint32_t kIndexAbove = 16;
  static constexpr uint32_t kIndexBelow = 8;

  // A table for n - 1 keys: 2 * trunc(1.5 * n) buckets, never grown by them.
  // n below 1 is taken as 1; a bucket count beyond 32 bits is out of memory.
  explicit HashTable(int64_t n);
  // An empty table with the bucket count and counter of a restart file,
  // to be filled with placeChain. size must be at least 1.
  HashTable(int32_t size, int32_t counter);
  ~HashTable();
  HashTable(const HashTable&) = delete;
  HashTable& operator=(const HashTable&) = delete;

  // Adding a key that is present changes nothing.
  void addString(const char* key, int32_t content);
  void addLong(int32_t key, int32_t content);

  // Replaces the content of a present key; adds an absent one.
  void setContentString(const char* key, int32_t content);
  void setContentLong(int32_t key, int32_t content);

  // Removes the key when filter is null or equals its content. Returns the
  // key's content, removed or not, or 0 when the key is absent.
  int32_t removeString(const char* key, const int32_t* filter);
  int32_t removeLong(int32_t key, const int32_t* filter);

  // Bulk forms of add and find (core/bulkCalls.h says how they take their
  // keys): results and chain order are always those of taking the keys one
  // by one, in order. Null string keys are skipped; null contents mean 0.
  // The adds are builds: the table is empty and sized for more than `count`
  // keys, so that none of them makes it grow, as the builders make it.
  // The finds are defined in core/bulkCalls.h, which their callers include.
  void addStrings(const char* const* keys, int32_t count, const int32_t* contents);
  void addLongs(const int32_t* keys, int32_t count, const int32_t* contents);
  // Calls report(i, content) for every key i that is present; never for a
  // null key.
  template <typename Report>
  void findStrings(const char* const* keys, int32_t count, Report report) const;
  template <typename Report>
  void findLongs(const int32_t* keys, int32_t count, Report report) const;

  // The first invariant the table breaks, described, or null when it keeps
  // them all (always null while it holds chains as a restart file stored
  // them). Walks every entry: for checked builds and tests.
  const char* brokenInvariant() const;

  bool isEmpty() const { return counter_ == 0; }
  int32_t size() const { return size_; }
  int32_t counter() const { return counter_; }

  // Chains one by one: visitChain(bucket, head) for every non-empty bucket in
  // ascending order; in a large table, entries of buckets further on are
  // fetched into the cache meanwhile. Follow a chain with next() and read it
  // with view().
  template <typename VisitChain>
  void forEachChain(VisitChain visitChain) const;
  EntryRef next(EntryRef ref) const { return entryAt(ref).next; }
  EntryView view(EntryRef ref) const;
  // Fetches an entry into the cache ahead of its use. kNoEntry names the
  // reserved first bytes of the pool: prefetching them is harmless, and a
  // prefetch without a branch is not dropped.
  void prefetchEntry(EntryRef ref) const { prefetch(pool_.at(ref)); }

  // Visits every entry in walk order: bucket index ascending, each chain
  // from its head, as visit(EntryView). Returns the number of entries visited.
  template <typename Visit>
  int64_t walk(Visit visit) const;

  // Restoring: entries made here are linked with setNext and placeChain,
  // which puts a whole chain at a bucket as stored, without hashing,
  // releasing any chain that bucket held before. String entries get their
  // hash fraction in finishRestoring, which must run before anything else is
  // done with the table; discardChain releases a chain never placed.
  EntryRef makeStringEntry(const char* key, std::size_t length, int32_t content);
  EntryRef makeLongEntry(int32_t key, int32_t content);
  void setNext(EntryRef entry, EntryRef next) { entryAt(entry).next = next; }
  void placeChain(int32_t bucket, EntryRef head);
  void discardChain(EntryRef head) { releaseChain(head); }
  void finishRestoring();

 private:
  // The most buckets of a table the cache is taken to hold (its heads, tags
  // and entries fit a core's second-level cache): bulk calls fetch nothing
  // ahead in such tables.
  static constexpr int32_t kCachedSize = int32_t{1} << 16;
  // Walks fetch the chains ahead only in tables of more buckets than this:
  // the processor overlaps the reads of a walk of a smaller table itself
  // (100,000 long keys listed, 300,002 buckets: 9.1 ns a key without
  // fetching ahead, 10.4 with; a million, 3,000,002 buckets: 25.5 and 15.7).
  static constexpr int32_t kWalkCachedSize = int32_t{1} << 19;
  template <bool kFetchAhead, typename VisitChain>
  void visitChains(VisitChain visitChain) const;
  // Walks read tags in groups of kTagGroup, up to kTagGroups groups ahead;
  // the tag array has zero bytes past its end for them.
  static constexpr int32_t kTagGroup = 16;
  static constexpr int32_t kTagGroups = 16;
  static constexpr std::size_t kTagPadding = kTagGroup * (kTagGroups + 1);
  // Bit k set: bucket first + k holds a chain (its tag is not zero).
  uint32_t occupied(int64_t first) const { return chainsIn(tags_, first); }
  static uint32_t chainsIn(const uint8_t* tags, int64_t first) {
#if defined(KEL_HASH_SSE2)
    const __m128i group = _mm_loadu_si128(reinterpret_cast<const __m128i*>(tags + first));
    return ~static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(group, _mm_setzero_si128()))) & 0xFFFFu;
#else
    uint32_t bits = 0;
    for (int32_t k = 0; k < kTagGroup; ++k) bits |= static_cast<uint32_t>(tags[first + k] != 0) << k;
    return bits;
#endif
  }
  static int32_t lowestBit(uint32_t bits) {
#if defined(__GNUC__)
    return __builtin_ctz(bits);
#else
    int32_t k = 0;
    while ((bits & 1u) == 0) bits >>= 1, ++k;
    return k;
#endif
  }

  static void prefetch(const void* address) {
#if defined(__GNUC__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
  }

  Entry& entryAt(EntryRef ref) const { return *reinterpret_cast<Entry*>(pool_.at(ref)); }
  uint8_t tagOf(EntryRef ref) const {
    if (isLongRef(ref)) return tagOfLong(entryAt(ref).longKey);
    return tagOfFraction(entryAt(ref).fraction());
  }
  // The union of the tag bits of a chain.
  uint8_t tagsOfChain(EntryRef head) const {
    uint8_t tags = 0;
    for (EntryRef e = head; e != kNoEntry; e = entryAt(e).next) tags |= tagOf(e);
    return tags;
  }
  // The fraction that places an entry.
  double fractionOf(EntryRef ref) const {
    if (isLongRef(ref)) return longFraction(entryAt(ref).longKey);
    return entryAt(ref).fraction();
  }
  std::size_t bytesOf(EntryRef ref) const {
    if (isLongRef(ref)) return sizeof(Entry);
    return entryAt(ref).stringBytes();
  }

  // What searching a chain tells the add that may follow.
  struct ChainSearch {
    uint32_t walked = 0;  // entries a walk passed without finding the key
    bool hashed = false;  // `hash` is the key's index hash
    uint32_t hash = 0;
  };
  // The bucket's index, when it has one that can be used.
  ChainIndex* usableIndex(int32_t bucket) const {
    if (!KEL_RARELY(!indexes_.empty())) return nullptr;
    ChainIndex* index = indexes_.find(bucket);
    return index != nullptr && index->usable() ? index : nullptr;
  }
  // The entries from `ref` on, walked to the first that holds the probe's
  // key (or kNoEntry); `walked` counts the entries passed.
  template <typename Probe>
  EntryRef walkToMatch(EntryRef ref, const Probe& probe, uint32_t* walked = nullptr) const {
    uint32_t passed = 0;
    while (ref != kNoEntry && !probe.matches(ref, pool_)) ref = entryAt(ref).next, ++passed;
    if (walked != nullptr) *walked = passed;
    return ref;
  }
  // The one place a chain is searched for a key: the first entry of the
  // chain of `bucket`, whose head is `head`, that holds the probe's key, or
  // kNoEntry. An indexed chain is asked through its index (it holds every
  // entry of the chain and its keys do not repeat, so the entry it finds is
  // the first), any other is walked.
  template <typename Probe>
  EntryRef firstMatch(int32_t bucket, EntryRef head, const Probe& probe,
                      ChainSearch* search = nullptr) const {
    if (const ChainIndex* index = usableIndex(bucket)) {
      const uint32_t hash = search != nullptr && search->hashed ? search->hash : probe.indexHash(seed_);
      if (search != nullptr) search->hashed = true, search->hash = hash;
      const uint32_t slot = index->find(hash, [&](EntryRef e) { return probe.matches(e, pool_); });
      return slot == ChainIndex::kNoSlot ? kNoEntry : index->entryAt(slot);
    }
    return walkToMatch(head, probe, search != nullptr ? &search->walked : nullptr);
  }
  // The entry that holds the key, from the key's chain in `bucket`, or
  // kNoEntry; the bucket's tag answers for most keys that are absent. `tag`
  // is the probe's, when the caller has it already.
  template <typename Probe>
  EntryRef findIn(int32_t bucket, uint8_t tag, const Probe& probe, ChainSearch* search = nullptr) const {
    if ((tags_[bucket] & tag) == 0) return kNoEntry;
    return firstMatch(bucket, buckets_[bucket], probe, search);
  }
  template <typename Probe>
  EntryRef find(const Probe& probe) const {
    return findIn(bucketOf(probe.fraction, size_), probe.tag(), probe);
  }
  // The entry that holds another entry's key, or kNoEntry.
  EntryRef findLike(EntryRef ref) const;
  // Calls use(probe) with a probe of the entry's key.
  template <typename Use>
  auto withProbeOf(EntryRef ref, Use use) const {
    if (isLongRef(ref)) return use(LongProbe{entryAt(ref).longKey, 0.0});
    const auto& e = entryAt(ref);
    return use(StringProbe{e.key(), e.length, e.fraction()});
  }
  uint32_t indexHashOf(EntryRef ref) const {
    return withProbeOf(ref, [&](const auto& probe) { return probe.indexHash(seed_); });
  }

  // The index's part of putting `entry` at the head of chain `bucket`, after
  // `search` of that chain found its key absent.
  template <typename Probe>
  void indexNewHead(int32_t bucket, EntryRef entry, const ChainSearch& search, const Probe& probe) {
    if (KEL_RARELY(!indexes_.empty() || search.walked >= kIndexAbove))
      indexNewHeadOfLongChain(bucket, entry, search, probe);
  }
  template <typename Probe>
#if defined(__GNUC__)
  __attribute__((noinline))
#endif
  void indexNewHeadOfLongChain(int32_t bucket, EntryRef entry, ChainSearch search, Probe probe) {
    if (!indexes_.empty()) {
      if (ChainIndex* index = indexes_.find(bucket)) {
        if (index->usable()) index->pushHead(search.hashed ? search.hash : probe.indexHash(seed_), entry);
        return;
      }
    }
    if (search.walked >= kIndexAbove) indexChain(bucket, search.walked + 1);
  }
  // Gives the chain of `bucket`, about `length` entries, an index; a
  // restored table's chain that repeats a key gets a refusal instead.
#if defined(__GNUC__)
  __attribute__((cold, noinline))
#endif
  void indexChain(int32_t bucket, uint32_t length);
  bool sameKey(EntryRef a, EntryRef b) const {
    return withProbeOf(a, [&](const auto& probe) { return probe.matches(b, pool_); });
  }
  const char* brokenIndex() const;

  EntryRef newEntry(const StringProbe& probe, int32_t content);
  EntryRef newEntry(const LongProbe& probe, int32_t content);
  // Fills in an entry at `ref`, its next link kNoEntry.
  void writeEntry(EntryRef ref, const StringProbe& probe, int32_t content);
  void writeEntry(EntryRef ref, const LongProbe& probe, int32_t content);
  static std::size_t bytesFor(const StringProbe& probe) { return Entry::stringBytesFor(probe.length); }
  template <typename Probe>
  void addIfAbsent(const Probe& probe, int32_t content);
  template <typename Probe>
#if defined(__GNUC__)
  __attribute__((noinline))
#endif
  void addUnlessFound(Probe probe, int32_t bucket, uint8_t tag, int32_t content);
  template <typename Probe>
  void insert(const Probe& probe, int32_t bucket, uint8_t tag, int32_t content,
              const ChainSearch& search);
  template <typename Probe>
  void linkAsHead(EntryRef entry, int32_t bucket, uint8_t tag, const ChainSearch& search, const Probe& probe);
  void pushHead(EntryRef entry, int32_t bucket, uint8_t tag) {
    entryAt(entry).next = buckets_[bucket];
    buckets_[bucket] = entry;
    tags_[bucket] |= tag;
  }
  // Counts an entry just added, and grows the table when the entries exceed
  // size * kLoadFactor (equality does not grow).
  void countAdded() {
    counter_ = wrapped(int64_t{counter_} + 1);
    if (counter_ > growAbove_) grow();
  }
  template <typename Probe>
  void setContent(const Probe& probe, int32_t content);
  template <typename Probe>
  int32_t remove(const Probe& probe, const int32_t* filter);
  void unlinked(int32_t bucket, EntryRef e);
  template <typename Probe>
  void readd(EntryRef entry, const Probe& probe);

  // Bulk calls: how addStrings, addLongs, findStrings and findLongs take
  // their keys (core/bulkCalls.h), and the builds of an empty table
  // (core/bulkAdds.cpp).
  //
  // Bulk finds in tables of up to kCachedSize buckets take the keys one by
  // one: the processor overlaps their few misses itself, and the pipeline's
  // stages would only add work. So do finds in tables of up to
  // kFindEachSize buckets without side indexes (the pipeline fetches the
  // index slots of long chains ahead: searching 200,000 keys of one chain
  // took it 40 % of the time for hits, 34 % for misses), fetching tags and
  // heads a group of keys ahead:
  // at 100,000 keys (300,002 buckets) long hits took 754 us against the
  // pipeline's 783, misses 275 against 359; at a million keys the pipeline
  // took half the time.
  static constexpr int32_t kFindEachSize = int32_t{1} << 20;
  template <typename Probe, bool kFetchAhead, typename Keys, typename Report>
  void findEach(Keys keys, int32_t count, Report report) const;
  // Adds the keys one by one, hashed kHashGroup at a time.
  template <typename Probe, typename Keys>
  void addEach(Keys keys, int32_t count, const int32_t* contents);
  // Larger tables go through the pipeline, in blocks of kBlock keys hashed
  // kHashGroup at a time.
  static constexpr int32_t kBlock = 32;
  static_assert(kBlock % kHashGroup == 0, "blocks hold whole hash groups");
  // Blocks of up to kBlock keys for `count` keys; any count a host passes
  // (up to INT32_MAX) is counted without overflow, as are the bulk loops.
  static int32_t blocksFor(int32_t count) { return count / kBlock + (count % kBlock != 0 ? 1 : 0); }
  template <typename Probe>
  struct Block;
  template <typename Probe, typename Keys, typename Step>
  void pipelined(Keys keys, int32_t count, Step step) const;
  template <typename Probe, typename Keys, typename Report>
  void pipelinedFind(Keys keys, int32_t count, Report report) const;
  // For keys of indexed chains in a block: their index hashes, and the
  // slots, then the entries, where their search in the index starts.
  template <typename Probe>
  void prefetchIndexSlots(Block<Probe>& b) const;
  template <typename Probe>
  void prefetchIndexedEntries(const Block<Probe>& b) const;
  // Builds: string keys are placed in bucket order, long keys one after
  // another.
  void placeLongs(const int32_t* keys, int32_t count, const int32_t* contents);
  bool placeStringsInBucketOrder(const char* const* keys, int32_t count, const int32_t* contents);
  void countKeys(const char* const* keys, int32_t count, double* fractions);
  bool reserveRanges(uint32_t* firstUnit, uint64_t* runUnits);
  void placeInBucketOrder(const char* const* keys, int32_t count, const double* fractions,
                          uint32_t firstUnit, uint64_t runUnits, const int32_t* contents);

  void destroy(EntryRef entry);
  void releaseChain(EntryRef head);
  void releaseOutsideKeys();
  void grow();
  void allocateBuckets(int64_t size);
  void split(const EntryRef* oldBuckets, const uint8_t* oldTags, int32_t oldSize, ChainIndexes& oldIndexes);
  void splitIndexed(int32_t oldBucket, EntryRef head, ChainIndex& index);
  template <bool kFetchAhead>
  void splitChains(const EntryRef* oldBuckets, const uint8_t* oldTags, int32_t oldSize, ChainIndexes& oldIndexes);
  int32_t pushOnNewChain(EntryRef e, EntryRef* heads, uint8_t* tags, int32_t size) const;
  void relinkAll(EntryRef* oldBuckets, int32_t oldSize);

  // counter is a 32-bit field that restored files may set to any value; it
  // wraps instead of overflowing.
  static int32_t wrapped(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }

  int32_t size_ = 0;
  // The most entries the table holds without growing: counter > size *
  // kLoadFactor exactly when counter > growAbove_ (size * 0.75 is exact in a
  // double, and counter an integer).
  int32_t growAbove_ = 0;
  EntryRef* buckets_ = nullptr;
  uint8_t* tags_ = nullptr;
  int32_t counter_ = 0;
  // True while the table holds chains as a restart file stored them: they may
  // repeat a key, which growth then drops as adding it again would. Tables
  // built in memory, and restored ones once grown, skip that search.
  bool storedChains_ = false;
  // String entries whose key has a block of its own.
  int64_t outsideKeys_ = 0;
  EntryPool pool_;
  // The indexes of long chains, by bucket, and the key of their hashes.
  ChainIndexes indexes_;
  IndexSeed seed_ = IndexSeed::fresh();
};

// Buckets are taken kTagGroup at a time, and only those whose tag is not
// zero are read: a tag is zero exactly when its chain is empty. In a table
// of more than kWalkCachedSize buckets, the first entries of the chains
// kTagGroups groups ahead are fetched meanwhile.
template <typename VisitChain>
void HashTable::forEachChain(VisitChain visitChain) const {
  if (size_ <= kWalkCachedSize) visitChains<false>(visitChain);
  else visitChains<true>(visitChain);
}

template <bool kFetchAhead, typename VisitChain>
void HashTable::visitChains(VisitChain visitChain) const {
  constexpr int64_t kAhead = int64_t{kTagGroup} * kTagGroups;
  const EntryRef* const heads = buckets_;
  const int32_t size = size_;
  for (int64_t first = 0; first < size; first += kTagGroup) {
    for (uint32_t ahead = kFetchAhead ? occupied(first + kAhead) : 0; ahead != 0; ahead &= ahead - 1) {
      const int64_t bucket = first + kAhead + lowestBit(ahead);
      if (bucket < size) prefetchEntry(heads[bucket]);
    }
    for (uint32_t chains = occupied(first); chains != 0; chains &= chains - 1) {
      const int32_t bucket = static_cast<int32_t>(first + lowestBit(chains));
      if (bucket < size && heads[bucket] != kNoEntry) visitChain(bucket, heads[bucket]);
    }
  }
}

template <typename Visit>
int64_t HashTable::walk(Visit visit) const {
  int64_t visited = 0;
  forEachChain([&](int32_t, EntryRef head) {
    for (EntryRef e = head; e != kNoEntry; e = next(e), ++visited) visit(view(e));
  });
  return visited;
}

inline EntryView HashTable::view(EntryRef ref) const {
  const Entry& e = entryAt(ref);
  if (isLongRef(ref)) return {true, e.content, e.longKey, nullptr, 0};
  return {false, e.content, 0, e.key(), e.length};
}

inline void HashTable::writeEntry(EntryRef ref, const LongProbe& probe, int32_t content) {
  auto& e = entryAt(ref);
  e.next = kNoEntry;
  e.content = content;
  e.longKey = probe.key;
}

inline EntryRef HashTable::newEntry(const LongProbe& probe, int32_t content) {
  const EntryRef ref = pool_.allocate(sizeof(Entry), kLongKind);
  writeEntry(ref, probe, content);
  return ref;
}

// The add step, which single adds, sets, builds and growth of stored chains
// share.
template <typename Probe>
void HashTable::insert(const Probe& probe, int32_t bucket, uint8_t tag, int32_t content,
                       const ChainSearch& search) {
  linkAsHead(newEntry(probe, content), bucket, tag, search, probe);
}

// Puts `entry` at the head of chain `bucket`, whose `search` found its key
// absent.
template <typename Probe>
void HashTable::linkAsHead(EntryRef entry, int32_t bucket, uint8_t tag, const ChainSearch& search,
                           const Probe& probe) {
  pushHead(entry, bucket, tag);
  indexNewHead(bucket, entry, search, probe);
  countAdded();
}

// A key whose bit its bucket's tag lacks is absent, and in a table without
// indexes nothing but the chain learns of its entry: such adds, most of
// them, take the short way.
template <typename Probe>
void HashTable::addIfAbsent(const Probe& probe, int32_t content) {
  const int32_t bucket = bucketOf(probe.fraction, size_);
  const uint8_t tag = probe.tag();
  if (KEL_RARELY((tags_[bucket] & tag) != 0 || !indexes_.empty())) {
    addUnlessFound(probe, bucket, tag, content);
    return;
  }
  pushHead(newEntry(probe, content), bucket, tag);
  countAdded();
}

template <typename Probe>
void HashTable::addUnlessFound(Probe probe, int32_t bucket, uint8_t tag, int32_t content) {
  ChainSearch search;
  if (findIn(bucket, tag, probe, &search) != kNoEntry) return;
  insert(probe, bucket, tag, content, search);
}

}  // namespace kel
