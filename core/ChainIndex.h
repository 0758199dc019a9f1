// The side index of a long chain: its entries by a seeded hash of their
// whole key, so that a key is found in a chain of any length after one hash
// and a probe or two, and unlinked without a walk.
//
// Only long chains have one (see HashTable.h for when a chain gets and loses
// it). The chain stays the record of order: the index never decides where an
// entry goes, it only finds it. Its slots mirror the chain as a doubly linked
// list (each slot names the slots of the entries before and after its own),
// so an entry found by key also gives the entry before it, which unlinking
// from a singly linked chain needs.
//
// Open addressing with linear probing over a power-of-two slot array at most
// half full; a removal shifts the slots after it back, so no tombstones
// build up. The slot array doubles when it would be more than half full and
// halves when it is less than an eighth full; both rebuild it front to back
// from the stored hashes, without reading a key. When a chain comes out of
// growth reversed, its index is turned round in place.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/Entry.h"

namespace kel {

// The key of a table's index hashes: two secret 64-bit words, different for
// every table, so that keys that collide in one table's indexes are not
// known in advance.
struct IndexSeed {
  uint64_t k0, k1;
  static IndexSeed fresh();
};

// SipHash-1-3 of every byte of a string key, and of a long key's four bytes
// under a seed with one word changed, folded to 32 bits.
uint32_t indexHashOfString(const IndexSeed& seed, const char* key, std::size_t length);
uint32_t indexHashOfLong(const IndexSeed& seed, int32_t key);

class ChainIndex {
 public:
  static constexpr uint32_t kNoSlot = UINT32_MAX;

  // Where the search for a hash starts, and the entry there (for fetching
  // them into the cache ahead of the search).
  const void* home(uint32_t hash) const { return &slots_[hash & mask_]; }
  EntryRef homeEntry(uint32_t hash) const { return slots_[hash & mask_].entry; }

  // An index for about `expected` entries, empty.
  void open(uint32_t expected);
  void close();
  // A marker for a chain that may not be indexed: it repeats a key (only a
  // restored table's chains can).
  void refuse() { close(); }
  bool usable() const { return slots_ != nullptr; }

  uint32_t count() const { return count_; }
  uint32_t headSlot() const { return head_; }
  uint32_t tailward(uint32_t slot) const { return slots_[slot].tailward; }
  uint32_t headward(uint32_t slot) const { return slots_[slot].headward; }
  uint32_t hashAt(uint32_t slot) const { return slots_[slot].hash; }
  EntryRef entryAt(uint32_t slot) const { return slots_[slot].entry; }

  // The slot of the entry whose hash is `hash` and that `matches`, or kNoSlot.
  template <typename Matches>
  uint32_t find(uint32_t hash, Matches matches) const {
    for (uint32_t i = hash & mask_;; i = (i + 1) & mask_) {
      const Slot& s = slots_[i];
      if (s.entry == kNoEntry) return kNoSlot;
      if (s.hash == hash && matches(s.entry)) return i;
    }
  }
  // Adds an entry as the chain's new head, or as its last entry (while an
  // index is built from its chain, head first).
  void pushHead(uint32_t hash, EntryRef entry);
  void appendTail(uint32_t hash, EntryRef entry);
  // appendTail, unless an entry that `matches` is there already: then
  // false, and nothing is added.
  template <typename Matches>
  bool appendTailIfNew(uint32_t hash, EntryRef entry, Matches matches) {
    if ((count_ + 1) > (mask_ + 1) / 2) resize((mask_ + 1) * 2);
    uint32_t i = hash & mask_;
    for (; slots_[i].entry != kNoEntry; i = (i + 1) & mask_)
      if (slots_[i].hash == hash && matches(slots_[i].entry)) return false;
    slots_[i] = {hash, entry, tail_, kNoSlot};
    ++count_;
    if (tail_ != kNoSlot) slots_[tail_].tailward = i;
    else head_ = i;
    tail_ = i;
    return true;
  }
  // The chain was turned round: its head is its last entry and so on.
  void reverse();
  // Takes a slot's entry out of the index; returns the entry before it in
  // the chain, or kNoEntry when it was the head.
  EntryRef unlink(uint32_t slot);

 private:
  struct Slot {
    uint32_t hash;
    EntryRef entry;  // kNoEntry: the slot is free
    uint32_t headward;
    uint32_t tailward;
  };
  static constexpr uint32_t kLeastSlots = 32;

  uint32_t place(uint32_t hash, EntryRef entry);
  void moved(uint32_t to);
  void resize(uint32_t slots);

  Slot* slots_ = nullptr;
  uint32_t mask_ = 0;
  uint32_t count_ = 0;
  uint32_t head_ = kNoSlot;
  uint32_t tail_ = kNoSlot;
};

// The indexes of one table, by bucket.
class ChainIndexes {
 public:
  ChainIndexes() = default;
  ~ChainIndexes() { clear(); }
  ChainIndexes(const ChainIndexes&) = delete;
  ChainIndexes& operator=(const ChainIndexes&) = delete;
  // Takes over another's indexes, leaving it empty.
  void takeFrom(ChainIndexes& other);

  bool empty() const { return count_ == 0; }
  uint32_t count() const { return count_; }
  // The bucket's index (usable or refused), or null. Pointers stay valid
  // until the next add or remove.
  ChainIndex* find(int32_t bucket) const {
    if (count_ == 0) return nullptr;
    for (uint32_t i = spot(bucket);; i = (i + 1) & mask_) {
      if (items_[i].bucket == bucket) return &items_[i].index;
      if (items_[i].bucket == kNoBucket) return nullptr;
    }
  }
  // A closed index for a bucket that has none.
  ChainIndex& add(int32_t bucket);
  // Closes and forgets the bucket's index, which it must have.
  void remove(int32_t bucket);
  void clear();

  // visit(bucket, index) for every index, in no particular order.
  template <typename Visit>
  void forEach(Visit visit) const {
    for (uint32_t i = 0; count_ != 0 && i <= mask_; ++i)
      if (items_[i].bucket != kNoBucket) visit(items_[i].bucket, items_[i].index);
  }

 private:
  static constexpr int32_t kNoBucket = -1;
  struct Item {
    int32_t bucket;
    ChainIndex index;
  };
  uint32_t spot(int32_t bucket) const {
    return static_cast<uint32_t>((static_cast<uint32_t>(bucket) * 0x9E3779B1u) >> shift_) & mask_;
  }
  void resize(uint32_t slots);

  Item* items_ = nullptr;
  uint32_t mask_ = 0;
  uint32_t shift_ = 32;
  uint32_t count_ = 0;
};

}  // namespace kel
