#include "core/ChainIndex.h"

#include <chrono>
#include <cstdlib>
#include <cstring>

#include "core/memory.h"

namespace kel {

namespace {

uint64_t rotl(uint64_t x, int b) { return (x << b) | (x >> (64 - b)); }

uint64_t splitMix(uint64_t& state) {
  uint64_t z = (state += 0x9E3779B97F4A7C15u);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

struct SipState {
  uint64_t v0, v1, v2, v3;
  void round() {
    v0 += v1, v1 = rotl(v1, 13), v1 ^= v0, v0 = rotl(v0, 32);
    v2 += v3, v3 = rotl(v3, 16), v3 ^= v2;
    v0 += v3, v3 = rotl(v3, 21), v3 ^= v0;
    v2 += v1, v1 = rotl(v1, 17), v1 ^= v2, v2 = rotl(v2, 32);
  }
  void absorb(uint64_t m) {
    v3 ^= m;
    round();
    v0 ^= m;
  }
};

// SipHash-1-3: one round per 8 bytes, three to finish. The words are read
// in the machine's byte order; the hash only has to agree with itself.
uint32_t sipHash13(uint64_t k0, uint64_t k1, const unsigned char* bytes, std::size_t length) {
  SipState s{k0 ^ 0x736F6D6570736575u, k1 ^ 0x646F72616E646F6Du, k0 ^ 0x6C7967656E657261u,
             k1 ^ 0x7465646279746573u};
  const std::size_t whole = length & ~std::size_t{7};
  for (std::size_t i = 0; i < whole; i += 8) {
    uint64_t m;
    std::memcpy(&m, bytes + i, 8);
    s.absorb(m);
  }
  uint64_t last = static_cast<uint64_t>(length) << 56;
  for (std::size_t i = whole; i < length; ++i) last |= static_cast<uint64_t>(bytes[i]) << (8 * (i - whole));
  s.absorb(last);
  s.v2 ^= 0xFF;
  s.round(), s.round(), s.round();
  const uint64_t h = s.v0 ^ s.v1 ^ s.v2 ^ s.v3;
  return static_cast<uint32_t>(h ^ (h >> 32));
}

// Removal from a linear-probing array without tombstones: the entries
// after the hole in its cluster move back into it, one by one, unless an
// entry's home lies cyclically after the hole and at or before the entry
// (it would move before its home). Returns where the last hole is left, to
// be cleared.
template <typename Occupied, typename Home, typename Move>
uint32_t closeHole(uint32_t hole, uint32_t mask, Occupied occupied, Home home, Move move) {
  for (uint32_t j = (hole + 1) & mask; occupied(j); j = (j + 1) & mask) {
    const uint32_t h = home(j);
    const bool stays = hole <= j ? (hole < h && h <= j) : (hole < h || h <= j);
    if (stays) continue;
    move(j, hole);
    hole = j;
  }
  return hole;
}

}  // namespace

// The process's first table draws the seeds' source from the clocks and from
// where the library and its stack were placed; every table takes the next
// two words of it. Not cryptographic: it keeps an outsider, who sees neither
// the process's memory nor the moment it made the table, from knowing which
// keys collide in an index.
IndexSeed IndexSeed::fresh() {
  static uint64_t source = 0;
  if (source == 0) {
    const uint64_t steady = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    const uint64_t wall = static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    int local = 0;
    source = steady ^ rotl(wall, 21) ^ rotl(reinterpret_cast<uintptr_t>(&source), 37) ^
             rotl(reinterpret_cast<uintptr_t>(&local), 11);
    splitMix(source);
    if (source == 0) source = 1;
  }
  const uint64_t k0 = splitMix(source);
  return {k0, splitMix(source)};
}

uint32_t indexHashOfString(const IndexSeed& seed, const char* key, std::size_t length) {
  return sipHash13(seed.k0, seed.k1, reinterpret_cast<const unsigned char*>(key), length);
}

uint32_t indexHashOfLong(const IndexSeed& seed, int32_t key) {
  unsigned char bytes[4];
  std::memcpy(bytes, &key, sizeof bytes);
  return sipHash13(seed.k0, ~seed.k1, bytes, sizeof bytes);
}

// ------------------------------------------------------------- ChainIndex

void ChainIndex::open(uint32_t expected) {
  uint32_t slots = kLeastSlots;
  while (slots / 2 < expected && slots < (uint32_t{1} << 31)) slots *= 2;
  slots_ = static_cast<Slot*>(allocateZeroedOrDie(slots, sizeof(Slot)));
  mask_ = slots - 1;
  count_ = 0;
  head_ = tail_ = kNoSlot;
}

void ChainIndex::close() {
  std::free(slots_);
  slots_ = nullptr;
  mask_ = count_ = 0;
  head_ = tail_ = kNoSlot;
}

uint32_t ChainIndex::place(uint32_t hash, EntryRef entry) {
  uint32_t i = hash & mask_;
  while (slots_[i].entry != kNoEntry) i = (i + 1) & mask_;
  slots_[i] = {hash, entry, kNoSlot, kNoSlot};
  ++count_;
  return i;
}

void ChainIndex::pushHead(uint32_t hash, EntryRef entry) {
  if ((count_ + 1) > (mask_ + 1) / 2) resize((mask_ + 1) * 2);
  const uint32_t i = place(hash, entry);
  slots_[i].tailward = head_;
  if (head_ != kNoSlot) slots_[head_].headward = i;
  else tail_ = i;
  head_ = i;
}

void ChainIndex::appendTail(uint32_t hash, EntryRef entry) {
  if ((count_ + 1) > (mask_ + 1) / 2) resize((mask_ + 1) * 2);
  const uint32_t i = place(hash, entry);
  slots_[i].headward = tail_;
  if (tail_ != kNoSlot) slots_[tail_].tailward = i;
  else head_ = i;
  tail_ = i;
}

void ChainIndex::reverse() {
  if (slots_ == nullptr) return;
  for (uint32_t i = 0; i <= mask_; ++i) {
    const uint32_t headward = slots_[i].headward;
    slots_[i].headward = slots_[i].tailward;
    slots_[i].tailward = headward;
  }
  const uint32_t head = head_;
  head_ = tail_;
  tail_ = head;
}

// A slot now lies at `to`: its neighbours are told.
void ChainIndex::moved(uint32_t to) {
  const Slot& s = slots_[to];
  if (s.headward != kNoSlot) slots_[s.headward].tailward = to;
  else head_ = to;
  if (s.tailward != kNoSlot) slots_[s.tailward].headward = to;
  else tail_ = to;
}

EntryRef ChainIndex::unlink(uint32_t slot) {
  const Slot gone = slots_[slot];
  if (gone.headward != kNoSlot) slots_[gone.headward].tailward = gone.tailward;
  else head_ = gone.tailward;
  if (gone.tailward != kNoSlot) slots_[gone.tailward].headward = gone.headward;
  else tail_ = gone.headward;
  const EntryRef before = gone.headward != kNoSlot ? slots_[gone.headward].entry : kNoEntry;
  const uint32_t hole = closeHole(
      slot, mask_, [&](uint32_t j) { return slots_[j].entry != kNoEntry; },
      [&](uint32_t j) { return slots_[j].hash & mask_; },
      [&](uint32_t from, uint32_t to) { slots_[to] = slots_[from], moved(to); });
  slots_[hole] = Slot{};
  --count_;
  if (count_ < (mask_ + 1) / 8 && mask_ + 1 > kLeastSlots) resize((mask_ + 1) / 2);
  return before;
}

// Rebuilds the slots from the stored hashes, reading the old slots front to
// back: first every entry goes to its new slot, whose number is written over
// the old slots already read, four bytes for each (slot k's number at byte
// 4k, which lies at or before slot k); then the links are renamed through
// that compact table.
void ChainIndex::resize(uint32_t slots) {
  Slot* old = slots_;
  const uint32_t oldSlots = mask_ + 1;
  slots_ = static_cast<Slot*>(allocateZeroedOrDie(slots, sizeof(Slot)));
  mask_ = slots - 1;
  count_ = 0;
  auto* renamed = reinterpret_cast<unsigned char*>(old);
  for (uint32_t k = 0; k < oldSlots; ++k) {
    const Slot s = old[k];
    uint32_t i = kNoSlot;
    if (s.entry != kNoEntry) {
      i = place(s.hash, s.entry);
      slots_[i].headward = s.headward;
      slots_[i].tailward = s.tailward;
    }
    std::memcpy(renamed + 4 * std::size_t{k}, &i, 4);
  }
  auto newSlot = [&](uint32_t k) {
    uint32_t i;
    std::memcpy(&i, renamed + 4 * std::size_t{k}, 4);
    return i;
  };
  for (uint32_t i = 0; i < slots; ++i) {
    if (slots_[i].entry == kNoEntry) continue;
    if (slots_[i].headward != kNoSlot) slots_[i].headward = newSlot(slots_[i].headward);
    if (slots_[i].tailward != kNoSlot) slots_[i].tailward = newSlot(slots_[i].tailward);
  }
  if (head_ != kNoSlot) head_ = newSlot(head_), tail_ = newSlot(tail_);
  std::free(old);
}

// ----------------------------------------------------------- ChainIndexes

void ChainIndexes::takeFrom(ChainIndexes& other) {
  clear();
  items_ = other.items_, mask_ = other.mask_, shift_ = other.shift_, count_ = other.count_;
  other.items_ = nullptr, other.mask_ = 0, other.shift_ = 32, other.count_ = 0;
}

ChainIndex& ChainIndexes::add(int32_t bucket) {
  if (items_ == nullptr || (count_ + 1) > (mask_ + 1) / 2) resize(items_ == nullptr ? 8 : (mask_ + 1) * 2);
  uint32_t i = spot(bucket);
  while (items_[i].bucket != kNoBucket) i = (i + 1) & mask_;
  items_[i].bucket = bucket;
  items_[i].index = ChainIndex{};
  ++count_;
  return items_[i].index;
}

void ChainIndexes::remove(int32_t bucket) {
  uint32_t gone = spot(bucket);
  while (items_[gone].bucket != bucket) gone = (gone + 1) & mask_;
  items_[gone].index.close();
  const uint32_t hole = closeHole(
      gone, mask_, [&](uint32_t j) { return items_[j].bucket != kNoBucket; },
      [&](uint32_t j) { return spot(items_[j].bucket); },
      [&](uint32_t from, uint32_t to) { items_[to] = items_[from]; });
  items_[hole].bucket = kNoBucket;
  items_[hole].index = ChainIndex{};
  --count_;
}

void ChainIndexes::clear() {
  for (uint32_t i = 0; items_ != nullptr && i <= mask_; ++i) items_[i].index.close();
  std::free(items_);
  items_ = nullptr;
  mask_ = count_ = 0;
  shift_ = 32;
}

void ChainIndexes::resize(uint32_t slots) {
  Item* old = items_;
  const uint32_t oldSlots = old == nullptr ? 0 : mask_ + 1;
  items_ = static_cast<Item*>(allocateOrDie(slots * sizeof(Item)));
  for (uint32_t i = 0; i < slots; ++i) items_[i].bucket = kNoBucket, items_[i].index = ChainIndex{};
  mask_ = slots - 1;
  shift_ = 32;
  for (uint32_t s = slots; s > 1; s /= 2) --shift_;
  for (uint32_t k = 0; k < oldSlots; ++k) {
    if (old[k].bucket == kNoBucket) continue;
    uint32_t i = spot(old[k].bucket);
    while (items_[i].bucket != kNoBucket) i = (i + 1) & mask_;
    items_[i] = old[k];
  }
  std::free(old);
}

}  // namespace kel
