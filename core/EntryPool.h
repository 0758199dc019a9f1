// Storage for a table's entries, named by 32-bit references.
//
// Entries are carved from slabs of 1 MiB at 4-byte alignment; a reference is
// the slab's number and the entry's offset in it (bits 1 to 18, in 4-byte
// units), with bit 0 left for the entry's kind. Up to 8192 slabs (8 GiB of
// entries) can be named. The first slab starts at the size the table expects
// to need and is enlarged in place of itself (its contents may move, its
// references do not) until it reaches 1 MiB; every later slab has 1 MiB.
// Runs of whole slabs may be reserved for entries placed by the caller;
// blocks are carved from one slab at a time, which a run does not change.
//
// A released block goes on the free list of its size (4-byte steps) and is
// reused by the next block of that size. Destroying the pool releases every
// block at once, which is how a table is closed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/Entry.h"

namespace kel {

class EntryPool {
 public:
  // Blocks above this size are not served.
  static constexpr std::size_t kLargestBlock = 512;

  explicit EntryPool(std::size_t expectedBytes);
  ~EntryPool();
  EntryPool(const EntryPool&) = delete;
  EntryPool& operator=(const EntryPool&) = delete;

  // A block of `bytes` (at most kLargestBlock); its reference carries `kind`.
  // Addresses from at() stay valid only until the next allocate. A block is
  // carved from the slab being carved unless one of its size was released.
  EntryRef allocate(std::size_t bytes, EntryRef kind) {
    const std::size_t rounded = roundUp(bytes);
    if (freeBlocks_[rounded / kGrain] != kNoEntry || capacity_ - used_ < rounded)
      return reuseOrMakeRoom(rounded, kind);
    const EntryRef ref = static_cast<EntryRef>((carving_ << kSlabShift) | (used_ >> 1));
    used_ += rounded;
    return ref | kind;
  }
  void release(EntryRef ref, std::size_t bytes);

  // Room for blocks the caller places one after another: from the first
  // unused byte of the slab being carved (a new one, or the first one
  // enlarged, when it has less than `least` bytes left) to its end. Blocks
  // placed there are carved once carved(bytes) counts their bytes, which
  // must come before any other allocate.
  struct Room {
    unsigned char* start;
    EntryRef first;     // the reference of a block at start, kind 0
    std::size_t bytes;  // room left
  };
  Room room(std::size_t least);
  void carved(std::size_t bytes) { used_ += roundUp(bytes); }

  // The 4-byte units of one slab.
  static constexpr uint32_t kSlabUnits = uint32_t{1} << 18;

  // A run of `units` 4-byte units in whole slabs, for entries the caller
  // places itself (no entry may cross from one slab to the next), or false
  // when the references would run out: the caller then allocates entry by
  // entry. An entry at unit u of the run has the reference
  // ((*first + u) << 1) | kind. Blocks allocated afterwards are carved as
  // before, from the slab they came from (the first, while it can grow in
  // place), then from new slabs after the run.
  bool reserveRun(uint64_t units, uint32_t* first);

  unsigned char* at(EntryRef ref) const {
    return slabs_[ref >> kSlabShift] + ((ref & kOffsetBits) << 1);
  }

 private:
  static constexpr unsigned kSlabShift = 19;
  static constexpr EntryRef kOffsetBits = (EntryRef{1} << kSlabShift) - 2;
  static constexpr std::size_t kSlabBytes = std::size_t{1} << 20;
  static constexpr std::size_t kMostSlabs = std::size_t{1} << (32 - kSlabShift);
  static constexpr std::size_t kGrain = 4;
  static constexpr std::size_t kFirstSlabLeast = 4096;

  static std::size_t roundUp(std::size_t bytes) { return (bytes + kGrain - 1) & ~(kGrain - 1); }
  EntryRef reuseOrMakeRoom(std::size_t rounded, EntryRef kind);
  void makeRoom();
  void addSlabSlots(std::size_t needed);

  unsigned char** slabs_ = nullptr;
  std::size_t slabCount_ = 0;
  std::size_t slabSlots_ = 0;
  std::size_t carving_ = 0;   // the slab new blocks are carved from: the last but for runs
  std::size_t used_ = 0;      // bytes taken from it
  std::size_t capacity_ = 0;  // its bytes
  EntryRef freeBlocks_[kLargestBlock / kGrain + 1] = {};
};

}  // namespace kel
