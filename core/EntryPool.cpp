#include "core/EntryPool.h"

#include <cstdlib>
#include <cstring>

#include "core/memory.h"

namespace kel {

namespace {

std::size_t firstSlabBytes(std::size_t expected, std::size_t least, std::size_t most) {
  std::size_t bytes = least;
  while (bytes < expected && bytes < most) bytes *= 2;
  return bytes;
}

}  // namespace

EntryPool::EntryPool(std::size_t expectedBytes) {
  slabSlots_ = 16;
  slabs_ = static_cast<unsigned char**>(allocateOrDie(slabSlots_ * sizeof(unsigned char*)));
  capacity_ = firstSlabBytes(expectedBytes + kGrain, kFirstSlabLeast, kSlabBytes);
  slabs_[0] = static_cast<unsigned char*>(allocateOrDie(capacity_));
  slabCount_ = 1;
  used_ = kGrain;  // offset 0 of slab 0 would be the reference kNoEntry
}

EntryPool::~EntryPool() {
  for (std::size_t i = 0; i < slabCount_; ++i) std::free(slabs_[i]);
  std::free(slabs_);
}

EntryRef EntryPool::allocate(std::size_t bytes, EntryRef kind) {
  const std::size_t rounded = roundUp(bytes);
  EntryRef& reusable = freeBlocks_[rounded / kGrain];
  if (reusable != kNoEntry) {
    const EntryRef ref = reusable;
    std::memcpy(&reusable, at(ref), sizeof reusable);
    return ref | kind;
  }
  if (capacity_ - used_ < rounded) makeRoom(rounded);
  const EntryRef ref =
      static_cast<EntryRef>(((slabCount_ - 1) << kSlabShift) | (used_ >> 1));
  used_ += rounded;
  return ref | kind;
}

void EntryPool::release(EntryRef ref, std::size_t bytes) {
  ref &= ~kLongKind;
  EntryRef& reusable = freeBlocks_[roundUp(bytes) / kGrain];
  std::memcpy(at(ref), &reusable, sizeof reusable);
  reusable = ref;
}

// The first slab is enlarged while it is the only one and smaller than a
// full slab; otherwise a new full slab starts.
void EntryPool::makeRoom(std::size_t rounded) {
  if (slabCount_ == 1 && capacity_ < kSlabBytes) {
    const std::size_t bytes = capacity_ * 2;
    auto* moved = static_cast<unsigned char*>(std::realloc(slabs_[0], bytes));
    if (moved == nullptr) outOfMemory();
    slabs_[0] = moved;
    capacity_ = bytes;
    return;
  }
  if (slabCount_ == kMostSlabs) outOfMemory();
  if (slabCount_ == slabSlots_) {
    auto* slots =
        static_cast<unsigned char**>(allocateOrDie(2 * slabSlots_ * sizeof(unsigned char*)));
    std::memcpy(slots, slabs_, slabCount_ * sizeof(unsigned char*));
    std::free(slabs_);
    slabs_ = slots;
    slabSlots_ *= 2;
  }
  slabs_[slabCount_++] = static_cast<unsigned char*>(allocateOrDie(kSlabBytes));
  capacity_ = kSlabBytes;
  used_ = 0;
  (void)rounded;  // every block fits a full slab
}

}  // namespace kel
