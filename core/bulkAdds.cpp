// Builds (declared in core/HashTable.h): an empty table built from an array
// of string keys places its entries in bucket order, one built from long
// keys writes them one after another.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/bulkCalls.h"
#include "core/memory.h"

namespace kel {

// A run of more than kMostRunUnits cannot be named (more than 4 GiB of
// entries, 64-bit hosts only): the keys are then added one by one.
void HashTable::addStrings(const char* const* keys, int32_t count, const int32_t* contents) {
  if (!placeStringsInBucketOrder(keys, count, contents)) addEach<StringProbe>(keys, count, contents);
}

void HashTable::addLongs(const int32_t* keys, int32_t count, const int32_t* contents) {
  placeLongs(keys, count, contents);
}

// An empty table built from an array of long keys takes them in blocks of
// kBlock: the buckets and tags of a block are worked out, and fetched into
// the cache, a block before its keys are placed. A key is looked up as an
// add looks it up (its bucket's tag rules out most absent keys); an absent
// one is written to the next entry of the room the pool gives, one after
// another, and put at the head of its chain. None of the keys can make the
// table grow, so nothing tests for growth; entries lie in the order their
// keys came, and repeats take no room.
void HashTable::placeLongs(const int32_t* keys, int32_t count, const int32_t* contents) {
  struct Place {
    int32_t bucket;
    uint8_t tag;
  };
  Place blocks[2][kBlock];
  EntryRef* const heads = buckets_;  // copies the stores through tags cannot change
  uint8_t* const tags = tags_;
  EntryPool::Room room = pool_.room(sizeof(Entry));
  std::size_t used = 0;
  int32_t added = 0;
  // Only keys whose bucket's tag has their bit, or tables with indexes,
  // need the chain searched and the index told.
  bool indexed = !indexes_.empty();
  const int32_t blockCount = blocksFor(count);
  for (int32_t j = 0; j <= blockCount; ++j) {
    if (j < blockCount) {
      Place* block = blocks[j % 2];
      const int32_t first = j * kBlock;
      const int32_t n = count - first < kBlock ? count - first : kBlock;
      double fractions[kBlock];
      longFractions(keys + first, n, fractions);
      for (int32_t k = 0; k < n; ++k) {
        block[k] = {bucketOf(fractions[k], size_), tagOfLong(keys[first + k])};
        prefetch(&tags[block[k].bucket]);
        prefetch(&heads[block[k].bucket]);
      }
    }
    if (j == 0) continue;
    const Place* block = blocks[(j - 1) % 2];
    const int32_t first = (j - 1) * kBlock;
    const int32_t n = count - first < kBlock ? count - first : kBlock;
    for (int32_t k = 0; k < n; ++k) {
      const int32_t bucket = block[k].bucket;
      const uint8_t tag = block[k].tag;
      const LongProbe probe{keys[first + k], 0.0};
      ChainSearch search;
      const bool searched = (tags[bucket] & tag) != 0 || indexed;
      if (KEL_RARELY(searched) && firstMatch(bucket, heads[bucket], probe, &search) != kNoEntry) continue;
      if (room.bytes - used < sizeof(Entry)) {
        pool_.carved(used);
        room = pool_.room(sizeof(Entry));
        used = 0;
      }
      auto& e = *reinterpret_cast<Entry*>(room.start + used);
      const EntryRef ref = (room.first + static_cast<EntryRef>(used >> 1)) | kLongKind;
      used += sizeof(Entry);
      e.next = heads[bucket];
      e.content = contents != nullptr ? contents[first + k] : 0;
      e.longKey = probe.key;
      heads[bucket] = ref;
      tags[bucket] |= tag;
      ++added;
      if (KEL_RARELY(searched)) {
        indexNewHead(bucket, ref, search, probe);
        indexed = !indexes_.empty();
      }
    }
  }
  pool_.carved(used);
  counter_ = added;
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

}  // namespace kel
