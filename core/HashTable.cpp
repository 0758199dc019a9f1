#include "core/HashTable.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/hashing.h"
#include "core/memory.h"

namespace kel {

namespace {

constexpr int32_t kLargestSize = INT32_MAX;

// counter is a 32-bit field that restored files may set to any value; it
// wraps instead of overflowing.
int32_t wrapped(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }

// What the pool's first slab is sized for: a long entry per expected key
// and a little more (the slab is enlarged as string keys need).
std::size_t expectedEntryBytes(int64_t keys) {
  constexpr int64_t kCap = int64_t{1} << 20;
  return static_cast<std::size_t>(keys < 0 ? 0 : keys > kCap ? kCap : keys) * 16;
}

int64_t bucketsFor(int64_t n) {
  // trunc(1.5 * n) buckets, doubled once as the first growth of an empty table.
  return 2 * static_cast<int64_t>(static_cast<double>(n < 1 ? 1 : n) * 1.5);
}

}  // namespace

// Empty heads and tags for `size` buckets, in place of the current ones.
void HashTable::allocateBuckets(int64_t size) {
  if (size > kLargestSize) outOfMemory();
  buckets_ = static_cast<EntryRef*>(
      allocateZeroedOrDie(static_cast<std::size_t>(size), sizeof(EntryRef)));
  tags_ = static_cast<uint8_t*>(allocateZeroedOrDie(static_cast<std::size_t>(size) + kTagPadding, 1));
  size_ = static_cast<int32_t>(size);
}

HashTable::HashTable(int64_t n) : pool_(expectedEntryBytes(n)) { allocateBuckets(bucketsFor(n)); }

HashTable::HashTable(int32_t size, int32_t counter)
    : counter_(counter), storedChains_(true), pool_(expectedEntryBytes(counter)) {
  allocateBuckets(size);
}

// Every entry lives in the pool, which releases them all at once; only keys
// with a block of their own need a walk.
HashTable::~HashTable() {
  if (outsideKeys_ > 0) releaseOutsideKeys();
  std::free(buckets_);
  std::free(tags_);
}

void HashTable::releaseOutsideKeys() {
  for (int32_t i = 0; i < size_; ++i)
    for (EntryRef e = buckets_[i]; e != kNoEntry; e = next(e))
      if (!isLongRef(e)) std::free(entryAt(e).outsideKey());
}

EntryRef HashTable::findLike(EntryRef ref) const {
  if (isLongRef(ref)) return find(LongProbe::from(entryAt(ref).longKey));
  const auto& e = entryAt(ref);
  return find(StringProbe{e.key(), e.length, e.fraction()});
}

void HashTable::writeEntry(EntryRef ref, const StringProbe& probe, int32_t content) {
  char* outside = nullptr;
  if (!Entry::inlineKey(probe.length)) {
    outside = static_cast<char*>(allocateOrDie(probe.length + 1));
    std::memcpy(outside, probe.key, probe.length);
    outside[probe.length] = '\0';
    ++outsideKeys_;
  }
  auto& e = entryAt(ref);
  e.next = kNoEntry;
  e.content = content;
  e.length = static_cast<uint32_t>(probe.length);
  e.setFraction(probe.fraction);
  if (outside != nullptr) {
    std::memcpy(e.tail(), &outside, sizeof outside);
  } else {
    std::memcpy(e.tail(), probe.key, probe.length);
    e.tail()[probe.length] = '\0';
  }
}

void HashTable::writeEntry(EntryRef ref, const LongProbe& probe, int32_t content) {
  auto& e = entryAt(ref);
  e.next = kNoEntry;
  e.content = content;
  e.longKey = probe.key;
}

EntryRef HashTable::newEntry(const StringProbe& probe, int32_t content) {
  if (probe.length > UINT32_MAX - 1) outOfMemory();
  const EntryRef ref = pool_.allocate(Entry::stringBytesFor(probe.length), 0);
  writeEntry(ref, probe, content);
  return ref;
}

EntryRef HashTable::newEntry(const LongProbe& probe, int32_t content) {
  const EntryRef ref = pool_.allocate(sizeof(Entry), kLongKind);
  writeEntry(ref, probe, content);
  return ref;
}

EntryRef HashTable::makeStringEntry(const char* key, std::size_t length, int32_t content) {
  return newEntry(StringProbe{key, length, 0.0}, content);
}

EntryRef HashTable::makeLongEntry(int32_t key, int32_t content) {
  return newEntry(LongProbe{key, 0.0}, content);
}

// Restored string entries are hashed here, kHashGroup keys in lockstep, in
// walk order: the order the file stored them in, and so the order they lie in
// the pool. The tags are made on the way (placeChain left every stored
// chain's tag at 0xFF, so the walk finds them).
void HashTable::finishRestoring() {
  EntryRef group[kHashGroup];
  int32_t groupBuckets[kHashGroup];
  const char* keys[kHashGroup];
  std::size_t lengths[kHashGroup];
  int32_t n = 0;
  auto hashGroup = [&] {
    double fractions[kHashGroup];
    for (int32_t k = 0; k < n; ++k) {
      const auto& e = entryAt(group[k]);
      keys[k] = e.key();
      lengths[k] = e.length;
    }
    stringFractionsOfLengths(keys, lengths, n, fractions);
    for (int32_t k = 0; k < n; ++k) {
      entryAt(group[k]).setFraction(fractions[k]);
      tags_[groupBuckets[k]] |= tagOfFraction(fractions[k]);
    }
    n = 0;
  };
  // Chains too long to go unindexed, with their lengths.
  int32_t* longChains = nullptr;
  uint32_t* longLengths = nullptr;
  std::size_t longCount = 0;
  std::size_t longRoom = 0;
  for (int64_t first = 0; first < size_; first += kTagGroup) {
    for (uint32_t chains = occupied(first); chains != 0; chains &= chains - 1) {
      const int32_t bucket = static_cast<int32_t>(first + lowestBit(chains));
      tags_[bucket] = 0;
      uint32_t length = 0;
      for (EntryRef e = buckets_[bucket]; e != kNoEntry; e = next(e), ++length) {
        if (isLongRef(e)) {
          tags_[bucket] |= tagOf(e);
          continue;
        }
        group[n] = e;
        groupBuckets[n++] = bucket;
        if (n == kHashGroup) hashGroup();
      }
      if (length <= kIndexAbove) continue;
      if (longCount == longRoom) {
        longRoom = longRoom == 0 ? 16 : longRoom * 2;
        longChains = static_cast<int32_t*>(reallocateOrDie(longChains, longRoom * sizeof(int32_t)));
        longLengths = static_cast<uint32_t*>(reallocateOrDie(longLengths, longRoom * sizeof(uint32_t)));
      }
      longChains[longCount] = bucket;
      longLengths[longCount++] = length;
    }
  }
  if (n > 0) hashGroup();
  for (std::size_t k = 0; k < longCount; ++k) indexChain(longChains[k], longLengths[k]);
  std::free(longChains);
  std::free(longLengths);
}

// The chain's entries go into the index head first. In a restored table a
// key met again refuses the chain its index: the entry a search must find
// (the first) and the ones a removal walks on to are known only from the
// chain's order.
// Entries go in groups: a group's keys are hashed and the slots where their
// search starts fetched, then they are added.
void HashTable::indexChain(int32_t bucket, uint32_t length) {
  ChainIndex& index = indexes_.add(bucket);
  index.open(length);
  constexpr int32_t kGroup = 16;
  EntryRef group[kGroup];
  uint32_t hashes[kGroup];
  for (EntryRef e = buckets_[bucket]; e != kNoEntry;) {
    int32_t n = 0;
    for (; n < kGroup && e != kNoEntry; e = next(e)) group[n++] = e;
    for (int32_t k = 0; k < n; ++k) {
      hashes[k] = indexHashOf(group[k]);
      prefetch(index.home(hashes[k]));
    }
    for (int32_t k = 0; k < n; ++k) {
      if (!storedChains_) {
        index.appendTail(hashes[k], group[k]);
      } else if (!index.appendTailIfNew(hashes[k], group[k], [&](EntryRef other) { return sameKey(group[k], other); })) {
        index.refuse();
        return;
      }
    }
  }
}

template <typename Probe>
void HashTable::insert(const Probe& probe, int32_t bucket, uint8_t tag, int32_t content,
                       const ChainSearch& search) {
  linkAsHead(newEntry(probe, content), bucket, tag, search, probe);
}

// Puts `entry` at the head of chain `bucket`, whose `search` found its key
// absent, and grows the table when the entries exceed size * kLoadFactor
// (equality does not grow).
template <typename Probe>
void HashTable::linkAsHead(EntryRef entry, int32_t bucket, uint8_t tag, const ChainSearch& search,
                           const Probe& probe) {
  entryAt(entry).next = buckets_[bucket];
  buckets_[bucket] = entry;
  tags_[bucket] |= tag;
  indexNewHead(bucket, entry, search, probe);
  counter_ = wrapped(int64_t{counter_} + 1);
  if (static_cast<double>(counter_) > static_cast<double>(size_) * kLoadFactor) grow();
}

template <typename Probe>
void HashTable::addIfAbsentAt(const Probe& probe, int32_t bucket, uint8_t tag, int32_t content,
                              ChainSearch search) {
  if (findIn(bucket, tag, probe, &search) != kNoEntry) return;
  insert(probe, bucket, tag, content, search);
}

template <typename Probe>
void HashTable::setContent(const Probe& probe, int32_t content) {
  const int32_t bucket = bucketOf(probe.fraction, size_);
  const uint8_t tag = probe.tag();
  ChainSearch search;
  const EntryRef e = findIn(bucket, tag, probe, &search);
  if (e != kNoEntry) entryAt(e).content = content;
  else insert(probe, bucket, tag, content, search);
}

void HashTable::addString(const char* key, int32_t content) {
  addIfAbsent(StringProbe::from(key), content);
}

void HashTable::addLong(int32_t key, int32_t content) { addIfAbsent(LongProbe::from(key), content); }

void HashTable::setContentString(const char* key, int32_t content) {
  setContent(StringProbe::from(key), content);
}

void HashTable::setContentLong(int32_t key, int32_t content) {
  setContent(LongProbe::from(key), content);
}

// Adds read their chain and tag again when their turn comes: keys added
// meanwhile may have changed them, or grown the table.
template <typename Probe, typename Keys>
void HashTable::pipelinedAdd(Keys keys, int32_t count, const int32_t* contents) {
  pipelined<Probe, true>(keys, count, [&](const Block<Probe>& b) {
    for (int32_t k = 0; k < b.n; ++k) {
      if (!b.probes[k].present()) continue;
      const int32_t content = contents != nullptr ? contents[b.first + k] : 0;
      // The index hash stays right whatever the adds before it did.
      const ChainSearch known = b.indexed ? b.searches[k] : ChainSearch{};
      if (b.size == size_) addIfAbsentAt(b.probes[k], b.buckets[k], b.tags[k], content, known);
      else addIfAbsentAt(b.probes[k], bucketOf(b.probes[k].fraction, size_), b.tags[k], content, known);
    }
  });
}

template <typename Probe, typename Keys>
void HashTable::addEach(Keys keys, int32_t count, const int32_t* contents) {
  forEachProbe<Probe>(keys, count, [&](int32_t i, const Probe& probe) {
    addIfAbsent(probe, contents != nullptr ? contents[i] : 0);
  });
}

void HashTable::addStrings(const char* const* keys, int32_t count, const int32_t* contents) {
  if (canPlaceInBucketOrder(count) && placeStringsInBucketOrder(keys, count, contents)) return;
  if (size_ <= kCachedSize) addEach<StringProbe>(keys, count, contents);
  else pipelinedAdd<StringProbe>(keys, count, contents);
}

// Long keys are added one by one (pipelined in large tables) in the order
// given: placing them in bucket order took three times as long (three
// streams of random writes instead of two and a sequential one), for
// enumerations only a third faster.
void HashTable::addLongs(const int32_t* keys, int32_t count, const int32_t* contents) {
  if (size_ <= kCachedSize) addEach<LongProbe>(keys, count, contents);
  else pipelinedAdd<LongProbe>(keys, count, contents);
}

// Building an empty table from an array of string keys, when none of the
// keys can make it grow, places the entries in bucket order: first every
// bucket's entries are counted (their 4-byte units, in the bucket's head),
// then a run of whole slabs is cut into one range per bucket, in bucket
// order, and every key is put, in the order given, at the end of what is
// left of its bucket's range, below the entry put there before it, which
// becomes its next. So the chain of a bucket is the reverse of the order its
// keys came in, exactly as adds at the chain head make it, and it lies in
// ascending addresses: walks, enumeration and dumps then read the entries
// front to back.
//
// The run holds room only for keys known to be first keys (keys that repeat
// none before them), however often the host's array repeats its keys: a key
// whose tag bit its bucket has already when it is counted is a suspect and
// gets no room. Every repeat is one (its first occurrence set the bit), and
// so is about one first key in fifty, whose bit another key set. Suspects
// are looked up in their chain when their turn comes, as an add does: a
// repeat is dropped, any other gets an entry carved from the pool as an add
// gets one, outside the run, at the head of its chain like any key. The
// chain order stays exactly that of adds.
bool HashTable::canPlaceInBucketOrder(int32_t count) const {
  return counter_ == 0 && !storedChains_ && count > 0 &&
         static_cast<double>(count) <= static_cast<double>(size_) * kLoadFactor;
}

namespace {
// The most units a run may have: references are 32 bits wide.
constexpr uint64_t kMostRunUnits = uint64_t{1} << 30;
constexpr uint32_t unitsFor(std::size_t bytes) { return static_cast<uint32_t>((bytes + 3) / 4); }
// While keys are counted a bucket's head holds the units of its first keys
// in its low bits and their tag bits in its top byte. Each counted key
// brings a tag bit the bucket lacked, so a bucket counts at most eight keys,
// and its units never reach the tag bits nor pass a slab.
constexpr uint32_t kUnitBits = (uint32_t{1} << 24) - 1;
constexpr uint32_t kMostCountedUnits = 8 * unitsFor(Entry::stringBytesFor(Entry::kLongestInlineKey));
static_assert(kMostCountedUnits <= kUnitBits && kMostCountedUnits <= EntryPool::kSlabUnits,
              "a bucket's units fit below its tag bits, and in a slab");
// A suspect's fraction is kept with its sign bit set: fractions lie in
// [0, 1), so no other has it (0.0 turns into -0.0, which keeps it too).
double asSuspect(double fraction) { return -fraction; }
bool isSuspect(double kept) { return std::signbit(kept); }
double fractionKept(double kept) { return std::fabs(kept); }
}  // namespace

// Only the fractions are kept (8 bytes a key, until the build returns);
// lengths are measured again when the entries are placed.
bool HashTable::placeStringsInBucketOrder(const char* const* keys, int32_t count,
                                          const int32_t* contents) {
  auto* fractions = static_cast<double*>(allocateArrayOrDie(static_cast<std::size_t>(count), sizeof(double)));
  countKeys(keys, count, fractions);
  uint32_t firstUnit = 0;
  uint64_t runUnits = 0;
  const bool reserved = reserveRanges(&firstUnit, &runUnits);
  if (reserved) placeInBucketOrder(keys, count, fractions, firstUnit, runUnits, contents);
  else std::memset(buckets_, 0, static_cast<std::size_t>(size_) * sizeof(EntryRef));
  std::free(fractions);
  return reserved;
}

// Hashes the keys kHashGroup at a time; each group's buckets are fetched
// while the next group is hashed, then its keys are counted in order, and
// the suspects among them marked in their fractions.
void HashTable::countKeys(const char* const* keys, int32_t count, double* fractions) {
  int32_t pending[kHashGroup];
  int32_t pendingBuckets[kHashGroup];
  uint32_t pendingCounts[kHashGroup];  // tag bits and units, as a head counts them
  int32_t pendingCount = 0;
  auto countPending = [&] {
    for (int32_t k = 0; k < pendingCount; ++k) {
      const uint32_t head = buckets_[pendingBuckets[k]];
      if ((head & pendingCounts[k] & ~kUnitBits) != 0) fractions[pending[k]] = asSuspect(fractions[pending[k]]);
      else buckets_[pendingBuckets[k]] = head + pendingCounts[k];
    }
    pendingCount = 0;
  };
  for (int32_t i = 0, n = 0; i < count; i += n) {
    n = count - i < kHashGroup ? count - i : kHashGroup;
    std::size_t lengths[kHashGroup];
    stringFractions(keys + i, n, lengths, fractions + i);
    countPending();
    for (int32_t k = 0; k < n; ++k) {
      if (keys[i + k] == nullptr) continue;
      if (lengths[k] > UINT32_MAX - 1) outOfMemory();
      const int32_t bucket = bucketOf(fractions[i + k], size_);
      prefetch(&buckets_[bucket]);
      pending[pendingCount] = i + k;
      pendingBuckets[pendingCount] = bucket;
      pendingCounts[pendingCount++] = uint32_t{tagOfFraction(fractions[i + k])} << 24 |
                                      unitsFor(Entry::stringBytesFor(lengths[k]));
    }
  }
  countPending();
}

// Turns the heads, which count their buckets' units, into the ends of the
// buckets' ranges and reserves the run that holds them: its first unit in
// *firstUnit, its units in *runUnits. Each bucket's range ends where the
// ranges before it and its own units end; a range that would cross into the
// next slab starts that slab instead, so no entry crosses one. False when
// the run cannot be named.
bool HashTable::reserveRanges(uint32_t* firstUnit, uint64_t* runUnits) {
  uint64_t end = 0;
  EntryRef* const heads = buckets_;  // a copy the stores cannot change
  for (int32_t b = 0, size = size_; b < size; ++b) {
    const uint32_t bucketUnits = heads[b] & kUnitBits;
    if (end % EntryPool::kSlabUnits + bucketUnits > EntryPool::kSlabUnits)
      end += EntryPool::kSlabUnits - end % EntryPool::kSlabUnits;
    end += bucketUnits;
    heads[b] = static_cast<uint32_t>(end);
  }
  *runUnits = end;
  return end <= kMostRunUnits && pool_.reserveRun(end, firstUnit);
}

// The heads hold the end of each bucket's range, counted in units from the
// run's first; while a bucket's tag is zero its head is that end, afterwards
// the reference of the entry last put there, the chain's head. The chain's
// entries in the run lie in ascending addresses from its head on, past the
// entries of suspects, which lie outside the run: the first key of a bucket
// is never a suspect, so its chain always has one in the run.
// Keys go in blocks: a block's heads and tags are fetched, then the places
// its entries will take, then the entries are written.
void HashTable::placeInBucketOrder(const char* const* keys, int32_t count, const double* fractions,
                                   uint32_t firstUnit, uint64_t runUnits, const int32_t* contents) {
  auto inRun = [&](EntryRef e) { return (e >> 1) - firstUnit < runUnits; };  // wraps below the run
  auto below = [&](int32_t bucket) -> uint32_t {
    if (tags_[bucket] == 0) return firstUnit + buckets_[bucket];
    EntryRef e = buckets_[bucket];
    while (!inRun(e)) e = entryAt(e).next;
    return e >> 1;
  };
  struct Place {
    StringProbe probe;
    int32_t bucket;
    int32_t index;
    bool suspect;
  };
  // Stage A hashes block j and fetches heads and tags, stage B (block
  // j - 2) fetches the places, stage C (block j - 3) writes.
  constexpr int32_t kRing = 4;
  Place blocks[kRing][kBlock];
  int32_t filled[kRing] = {};
  const int32_t blockCount = blocksFor(count);
  for (int32_t j = 0; j < blockCount + 3; ++j) {
    if (j < blockCount) {
      Place* block = blocks[j % kRing];
      int32_t& n = filled[j % kRing];
      n = 0;
      const int32_t end = count - j * kBlock < kBlock ? count : j * kBlock + kBlock;
      for (int32_t i = j * kBlock; i < end; ++i) {
        if (keys[i] == nullptr) continue;
        const double fraction = fractionKept(fractions[i]);
        const int32_t bucket = bucketOf(fraction, size_);
        block[n++] = {StringProbe{keys[i], std::strlen(keys[i]), fraction}, bucket, i, isSuspect(fractions[i])};
        prefetch(&buckets_[bucket]);
        prefetch(&tags_[bucket]);
      }
    }
    if (j >= 2 && j - 2 < blockCount) {
      const Place* block = blocks[(j - 2) % kRing];
      for (int32_t k = 0; k < filled[(j - 2) % kRing]; ++k)
        if (!block[k].suspect) prefetch(pool_.at((below(block[k].bucket) - unitsFor(bytesFor(block[k].probe))) << 1));
    }
    if (j >= 3) {
      const Place* block = blocks[(j - 3) % kRing];
      for (int32_t k = 0; k < filled[(j - 3) % kRing]; ++k) {
        const StringProbe& probe = block[k].probe;
        const int32_t bucket = block[k].bucket;
        const uint8_t tag = probe.tag();
        ChainSearch search;
        if (findIn(bucket, tag, probe, &search) != kNoEntry) continue;  // a suspect that repeats
        const int32_t content = contents != nullptr ? contents[block[k].index] : 0;
        EntryRef ref;
        if (block[k].suspect) {
          ref = newEntry(probe, content);
        } else {
          ref = (below(bucket) - unitsFor(bytesFor(probe))) << 1;
          writeEntry(ref, probe, content);
        }
        entryAt(ref).next = tags_[bucket] != 0 ? buckets_[bucket] : kNoEntry;
        buckets_[bucket] = ref;
        tags_[bucket] |= tag;
        indexNewHead(bucket, ref, search, probe);
        ++counter_;
      }
    }
  }
  // Ranges no key went to end as empty chains; copies the stores cannot
  // change let this loop run without a branch.
  EntryRef* const heads = buckets_;
  const uint8_t* const tags = tags_;
  for (int32_t b = 0, size = size_; b < size; ++b) heads[b] = tags[b] != 0 ? heads[b] : kNoEntry;
}

// Walks the key's chain and removes the first entry that holds the key and
// passes the filter. Restored chains may hold a key twice, so the walk goes
// on past an entry the filter kept; the result is the content of the last
// entry that held the key, or 0. An indexed chain holds the key once at most:
// its index finds the entry and the entry before it, and unlinks it.
template <typename Probe>
int32_t HashTable::remove(const Probe& probe, const int32_t* filter) {
  int32_t result = 0;
  const int32_t bucket = bucketOf(probe.fraction, size_);
  if ((tags_[bucket] & probe.tag()) == 0) return result;
  if (ChainIndex* index = usableIndex(bucket)) {
    const uint32_t slot = index->find(probe.indexHash(seed_), [&](EntryRef e) { return probe.matches(e, pool_); });
    if (slot == ChainIndex::kNoSlot) return result;
    const EntryRef e = index->entryAt(slot);
    result = entryAt(e).content;
    if (filter != nullptr && *filter != result) return result;
    const EntryRef before = index->unlink(slot);
    (before == kNoEntry ? buckets_[bucket] : entryAt(before).next) = entryAt(e).next;
    if (index->count() < kIndexBelow) indexes_.remove(bucket);
    unlinked(bucket, e);
    return result;
  }
  EntryRef* link = &buckets_[bucket];
  for (EntryRef e = walkToMatch(*link, probe); e != kNoEntry; e = walkToMatch(*link, probe)) {
    while (*link != e) link = &entryAt(*link).next;
    result = entryAt(e).content;
    if (filter == nullptr || *filter == result) {
      *link = entryAt(e).next;
      unlinked(bucket, e);
      return result;
    }
    link = &entryAt(e).next;
  }
  return result;
}

// The rest of a removal, once the entry is out of its chain.
void HashTable::unlinked(int32_t bucket, EntryRef e) {
  destroy(e);
  // The tag keeps the removed key's bit (it may be another entry's too):
  // a stale bit costs a chain walk now and then, finding out would cost
  // one at every removal. The next growth makes the tag exact again.
  if (buckets_[bucket] == kNoEntry) tags_[bucket] = 0;
  counter_ = wrapped(int64_t{counter_} - 1);
}

int32_t HashTable::removeString(const char* key, const int32_t* filter) {
  return remove(StringProbe::from(key), filter);
}

int32_t HashTable::removeLong(int32_t key, const int32_t* filter) {
  return remove(LongProbe::from(key), filter);
}

void HashTable::destroy(EntryRef entry) {
  if (!isLongRef(entry)) {
    if (char* outside = entryAt(entry).outsideKey()) {
      std::free(outside);
      --outsideKeys_;
    }
  }
  pool_.release(entry, bytesOf(entry));
}

void HashTable::releaseChain(EntryRef head) {
  while (head != kNoEntry) {
    const EntryRef following = next(head);
    destroy(head);
    head = following;
  }
}

void HashTable::placeChain(int32_t bucket, EntryRef head) {
  releaseChain(buckets_[bucket]);
  buckets_[bucket] = head;
  tags_[bucket] = 0xFF;  // until finishRestoring: every key may be there
}

// Doubles the bucket array. Entries are moved rather than copied, but in the
// order and to the chain places that adding copies of them would give.
// The indexes of the old chains serve the split, which gives the new chains
// theirs; re-adding every entry indexes the chains as they grow again.
void HashTable::grow() {
  const int32_t oldSize = size_;
  EntryRef* oldBuckets = buckets_;
  ChainIndexes oldIndexes;
  oldIndexes.takeFrom(indexes_);
  std::free(tags_);
  allocateBuckets(int64_t{oldSize} * 2);
  if (isEmpty()) {
    for (int32_t i = 0; i < oldSize; ++i) releaseChain(oldBuckets[i]);
  } else if (storedChains_) {
    oldIndexes.clear();
    counter_ = 0;
    relinkAll(oldBuckets, oldSize);
  } else {
    split(oldBuckets, oldSize, oldIndexes);
  }
  std::free(oldBuckets);
}

// Puts an entry of an old chain at the head of its chain in the grown
// array; returns that chain's bucket.
inline int32_t HashTable::pushOnNewChain(EntryRef e) {
  const int32_t bucket = bucketOf(fractionOf(e), size_);
  entryAt(e).next = buckets_[bucket];
  buckets_[bucket] = e;
  tags_[bucket] |= tagOf(e);
  return bucket;
}

// Growth of a table that keeps its invariants. trunc(f * 2 * size) is
// 2 * trunc(f * size) or one more (doubling a double is exact), so old chain
// b feeds new chains 2b and 2b + 1 only, and the old chains are taken in
// order, each from its head, with every entry pushed on the head of its new
// chain: the writes run through the new array front to back. The counter
// stays; it cannot exceed the new threshold (it was at most
// 0.75 * size + 1, and size is at least 2).
void HashTable::split(EntryRef* oldBuckets, int32_t oldSize, ChainIndexes& oldIndexes) {
  const bool anyIndexed = !oldIndexes.empty();
  for (int32_t i = 0; i < oldSize; ++i) {
    if (i + kWalkAhead < oldSize) prefetchEntry(oldBuckets[i + kWalkAhead]);
    if (anyIndexed) {
      if (ChainIndex* index = oldIndexes.find(i)) {
        splitIndexed(i, oldBuckets[i], *index);
        continue;
      }
    }
    for (EntryRef e = oldBuckets[i]; e != kNoEntry;) {
      const EntryRef following = next(e);
      pushOnNewChain(e);
      e = following;
    }
  }
}

// An indexed chain is split like any other. Keys the bucket hash cannot
// tell apart have one fraction and so all go to one new chain, which then
// holds the old chain reversed: the old index serves it with its links
// turned round. When the entries part, each new chain of kIndexBelow
// entries or more is indexed anew.
void HashTable::splitIndexed(int32_t oldBucket, EntryRef head, ChainIndex& index) {
  const int32_t low = 2 * oldBucket;
  uint32_t counts[2] = {0, 0};
  for (EntryRef e = head; e != kNoEntry;) {
    const EntryRef following = next(e);
    ++counts[pushOnNewChain(e) - low];
    e = following;
  }
  const uint32_t total = counts[0] + counts[1];
  for (int32_t piece = 0; piece < 2; ++piece) {
    if (counts[piece] == total) {
      ChainIndex& moved = indexes_.add(low + piece);
      moved = index;
      index = ChainIndex{};
      moved.reverse();
    } else if (counts[piece] >= kIndexBelow) {
      indexChain(low + piece, counts[piece]);
    }
  }
}

// Growth of a table that still holds stored chains: every entry is added
// again through the add step, so a repeated key is dropped as adding it again
// would drop it, and an add that grows the table again midway (a stored
// counter may be anything) comes out the same.
void HashTable::relinkAll(EntryRef* oldBuckets, int32_t oldSize) {
  for (int32_t i = 0; i < oldSize; ++i) {
    EntryRef e = oldBuckets[i];
    while (e != kNoEntry) {
      const EntryRef following = next(e);
      withProbeOf(e, [&](const auto& probe) { readd(e, probe); });
      e = following;
    }
  }
  storedChains_ = false;
}

// Puts an entry of an old chain at the head of its chain, unless its key is
// there already.
template <typename Probe>
void HashTable::readd(EntryRef entry, const Probe& probe) {
  const double fraction = fractionOf(entry);
  const int32_t bucket = bucketOf(fraction, size_);
  const uint8_t tag = tagOf(entry);
  ChainSearch search;
  if (findIn(bucket, tag, probe, &search) != kNoEntry) {
    destroy(entry);
    return;
  }
  linkAsHead(entry, bucket, tag, search, probe);
}

const char* HashTable::brokenInvariant() const {
  if (const char* broken = brokenIndex()) return broken;
  if (storedChains_) return nullptr;
  int64_t entries = 0;
  for (int32_t i = 0; i < size_; ++i) {
    uint32_t length = 0;
    for (EntryRef e = buckets_[i]; e != kNoEntry; e = next(e), ++entries, ++length) {
      const EntryView v = view(e);
      const double fraction =
          v.isLong ? longFraction(v.longKey) : stringFraction(v.stringKey, v.keyLength);
      if (fraction != fractionOf(e)) return "an entry keeps a fraction other than its key's";
      if (bucketOf(fraction, size_) != i) return "an entry sits outside the bucket of its key";
      if (findLike(e) != e) return "a key occurs twice";
    }
    const uint8_t chainTags = tagsOfChain(buckets_[i]);
    if ((tags_[i] & chainTags) != chainTags) return "a bucket's tag lacks the bit of an entry";
    if ((tags_[i] == 0) != (buckets_[i] == kNoEntry)) return "a bucket's tag is zero but not its chain, or not zero for an empty one";
    if (length > kIndexAbove + 7 && usableIndex(i) == nullptr) return "a long chain has no index";
  }
  return entries == counter_ ? nullptr : "counter differs from the entries in the chains";
}

}  // namespace kel

namespace kel {

// Every index lists exactly its chain's entries, in the chain's order both
// ways, each under its key's hash and found from that hash; it holds
// kIndexBelow entries or more. Only restored tables refuse chains.
const char* HashTable::brokenIndex() const {
  const char* broken = nullptr;
  indexes_.forEach([&](int32_t bucket, const ChainIndex& index) {
    if (broken != nullptr) return;
    if (bucket < 0 || bucket >= size_) {
      broken = "an index names a bucket the table lacks";
      return;
    }
    if (indexes_.find(bucket) != &index) {
      broken = "the directory cannot reach an index from its bucket";
      return;
    }
    if (!index.usable()) {
      // Refused while it repeated a key; it stays so (the repeats may be
      // gone by now) until the table grows.
      if (!storedChains_) broken = "a chain of a table built in memory is refused an index";
      return;
    }
    uint32_t listed = 0;
    uint32_t slot = index.headSlot();
    uint32_t before = ChainIndex::kNoSlot;
    EntryRef e = buckets_[bucket];
    for (; e != kNoEntry && slot != ChainIndex::kNoSlot; e = next(e), before = slot, slot = index.tailward(slot), ++listed) {
      if (index.entryAt(slot) != e || index.headward(slot) != before)
        broken = "an index lists its chain out of order";
      else if (index.hashAt(slot) != indexHashOf(e))
        broken = "an index keeps a hash other than its entry's key's";
      else if (index.find(index.hashAt(slot), [&](EntryRef found) { return found == e; }) != slot)
        broken = "an index cannot reach an entry from its hash";
      if (broken != nullptr) return;
    }
    if (e != kNoEntry || slot != ChainIndex::kNoSlot || listed != index.count())
      broken = "an index holds other entries than its chain";
    else if (listed < kIndexBelow)
      broken = "an index outlived its chain's length";
  });
  return broken;
}

}  // namespace kel
