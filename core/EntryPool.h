// Storage for a table's entries. Entries are carved from slabs in classes
// of 8-byte steps; a released entry goes on its class's free list and is
// reused by the next entry of that size. Entries larger than the biggest
// class get a block of their own, kept on a list. Destroying the pool
// releases every entry at once, which is how a table is closed.
#pragma once

#include <cstddef>

namespace kel {

class EntryPool {
 public:
  EntryPool() = default;
  ~EntryPool();
  EntryPool(const EntryPool&) = delete;
  EntryPool& operator=(const EntryPool&) = delete;

  void* allocate(std::size_t bytes);
  void release(void* block, std::size_t bytes);

 private:
  static constexpr std::size_t kGrain = 8;
  static constexpr std::size_t kLargestClass = 512;
  static constexpr std::size_t kFirstSlab = 4096;
  static constexpr std::size_t kLargestSlab = std::size_t{1} << 20;
  static constexpr std::size_t kCacheLine = 64;

  struct FreeSlot { FreeSlot* next; };
  struct Slab { Slab* next; alignas(16) unsigned char bytes[1]; };
  struct LargeBlock { LargeBlock* previous; LargeBlock* next; };

  static std::size_t roundUp(std::size_t bytes) { return (bytes + kGrain - 1) & ~(kGrain - 1); }
  void* carve(std::size_t rounded);
  void* allocateLarge(std::size_t bytes);
  void releaseLarge(void* block);

  FreeSlot* freeSlots_[kLargestClass / kGrain + 1] = {};
  Slab* slabs_ = nullptr;
  unsigned char* cursor_ = nullptr;
  unsigned char* slabEnd_ = nullptr;
  std::size_t nextSlabBytes_ = kFirstSlab;
  LargeBlock* largeBlocks_ = nullptr;
};

}  // namespace kel
