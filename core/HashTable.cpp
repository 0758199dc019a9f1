#include "core/HashTable.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/hashing.h"
#include "core/memory.h"

namespace kel {

namespace {

constexpr int32_t kLargestSize = INT32_MAX;

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
  growAbove_ = static_cast<int32_t>(std::floor(static_cast<double>(size_) * kLoadFactor));
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

EntryRef HashTable::newEntry(const StringProbe& probe, int32_t content) {
  if (probe.length > UINT32_MAX - 1) outOfMemory();
  const EntryRef ref = pool_.allocate(Entry::stringBytesFor(probe.length), 0);
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
  uint8_t* oldTags = tags_;
  ChainIndexes oldIndexes;
  oldIndexes.takeFrom(indexes_);
  allocateBuckets(int64_t{oldSize} * 2);
  if (isEmpty()) {
    for (int32_t i = 0; i < oldSize; ++i) releaseChain(oldBuckets[i]);
  } else if (storedChains_) {
    oldIndexes.clear();
    counter_ = 0;
    relinkAll(oldBuckets, oldSize);
  } else {
    split(oldBuckets, oldTags, oldSize, oldIndexes);
  }
  std::free(oldBuckets);
  std::free(oldTags);
}

// Puts an entry of an old chain at the head of its chain in the grown
// arrays, `heads` and `tags` of `size` buckets (copies of the table's, which
// the stores through tags cannot change); returns that chain's bucket.
inline int32_t HashTable::pushOnNewChain(EntryRef e, EntryRef* heads, uint8_t* tags, int32_t size) const {
  Entry& entry = entryAt(e);
  const bool isLong = isLongRef(e);
  const double fraction = isLong ? longFraction(entry.longKey) : entry.fraction();
  const uint8_t tag = isLong ? tagOfLong(entry.longKey) : tagOfFraction(fraction);
  const int32_t bucket = bucketOf(fraction, size);
  entry.next = heads[bucket];
  heads[bucket] = e;
  tags[bucket] |= tag;
  return bucket;
}

// Growth of a table that keeps its invariants. trunc(f * 2 * size) is
// 2 * trunc(f * size) or one more (doubling a double is exact), so old chain
// b feeds new chains 2b and 2b + 1 only, and the old chains are taken in
// order, each from its head, with every entry pushed on the head of its new
// chain: the writes run through the new array front to back. The counter
// stays; it cannot exceed the new threshold (it was at most
// 0.75 * size + 1, and size is at least 2).
//
// The old chains are found through their tags, kTagGroup buckets at a time
// (a tag is zero exactly when its chain is empty). As in walks, their first
// entries are fetched ahead only in tables of more than kWalkCachedSize
// buckets: a split of 98,305 long keys took 0.8 ms with or without.
void HashTable::split(const EntryRef* oldBuckets, const uint8_t* oldTags, int32_t oldSize,
                      ChainIndexes& oldIndexes) {
  if (oldSize > kWalkCachedSize) splitChains<true>(oldBuckets, oldTags, oldSize, oldIndexes);
  else splitChains<false>(oldBuckets, oldTags, oldSize, oldIndexes);
}

template <bool kFetchAhead>
void HashTable::splitChains(const EntryRef* oldBuckets, const uint8_t* oldTags, int32_t oldSize,
                            ChainIndexes& oldIndexes) {
  constexpr int64_t kSplitAhead = 2 * kTagGroup;
  const bool anyIndexed = !oldIndexes.empty();
  EntryRef* const heads = buckets_;
  uint8_t* const tags = tags_;
  const int32_t size = size_;
  for (int64_t first = 0; first < oldSize; first += kTagGroup) {
    for (uint32_t ahead = kFetchAhead ? chainsIn(oldTags, first + kSplitAhead) : 0; ahead != 0; ahead &= ahead - 1) {
      const int64_t bucket = first + kSplitAhead + lowestBit(ahead);
      if (bucket < oldSize) prefetchEntry(oldBuckets[bucket]);
    }
    for (uint32_t chains = chainsIn(oldTags, first); chains != 0; chains &= chains - 1) {
      const int32_t i = static_cast<int32_t>(first + lowestBit(chains));
      if (i >= oldSize) break;
      if (anyIndexed) {
        if (ChainIndex* index = oldIndexes.find(i)) {
          splitIndexed(i, oldBuckets[i], *index);
          continue;
        }
      }
      for (EntryRef e = oldBuckets[i]; e != kNoEntry;) {
        const EntryRef following = next(e);
        pushOnNewChain(e, heads, tags, size);
        e = following;
      }
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
    ++counts[pushOnNewChain(e, buckets_, tags_, size_) - low];
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
