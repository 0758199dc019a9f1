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
  addSlabSlots(16);
  capacity_ = firstSlabBytes(expectedBytes + kGrain, kFirstSlabLeast, kSlabBytes);
  slabs_[0] = static_cast<unsigned char*>(allocateOrDie(capacity_));
  slabCount_ = 1;
  used_ = kGrain;  // offset 0 of slab 0 would be the reference kNoEntry
}

EntryPool::~EntryPool() {
  for (std::size_t i = 0; i < slabCount_; ++i) std::free(slabs_[i]);
  std::free(slabs_);
}

// Room in the slab table for `needed` slabs.
void EntryPool::addSlabSlots(std::size_t needed) {
  if (needed <= slabSlots_) return;
  std::size_t slots = slabSlots_ == 0 ? 16 : slabSlots_;
  while (slots < needed) slots *= 2;
  auto* slabs = static_cast<unsigned char**>(allocateOrDie(slots * sizeof(unsigned char*)));
  if (slabCount_ > 0) std::memcpy(slabs, slabs_, slabCount_ * sizeof(unsigned char*));
  std::free(slabs_);
  slabs_ = slabs;
  slabSlots_ = slots;
}

bool EntryPool::reserveRun(uint64_t units, uint32_t* first) {
  const uint64_t spans = (units + kSlabUnits - 1) / kSlabUnits;
  if (spans > kMostSlabs - slabCount_) return false;
  addSlabSlots(slabCount_ + static_cast<std::size_t>(spans));
  *first = static_cast<uint32_t>(slabCount_ << (kSlabShift - 1));
  for (uint64_t j = 0; j < spans; ++j)
    slabs_[slabCount_++] = static_cast<unsigned char*>(allocateOrDie(kSlabBytes));
  return true;
}

// allocate's way when no room is left in the slab being carved, or a block
// of the size was released.
EntryRef EntryPool::reuseOrMakeRoom(std::size_t rounded, EntryRef kind) {
  EntryRef& reusable = freeBlocks_[rounded / kGrain];
  if (reusable != kNoEntry) {
    const EntryRef ref = reusable;
    std::memcpy(&reusable, at(ref), sizeof reusable);
    return ref | kind;
  }
  makeRoom();  // a new slab, or the first one doubled, has room for any block
  const EntryRef ref = static_cast<EntryRef>((carving_ << kSlabShift) | (used_ >> 1));
  used_ += rounded;
  return ref | kind;
}

EntryPool::Room EntryPool::room(std::size_t least) {
  if (capacity_ - used_ < least) makeRoom();
  const EntryRef first = static_cast<EntryRef>((carving_ << kSlabShift) | (used_ >> 1));
  return {slabs_[carving_] + used_, first, capacity_ - used_};
}

void EntryPool::release(EntryRef ref, std::size_t bytes) {
  ref &= ~kLongKind;
  EntryRef& reusable = freeBlocks_[roundUp(bytes) / kGrain];
  std::memcpy(at(ref), &reusable, sizeof reusable);
  reusable = ref;
}

// The first slab is enlarged while blocks are carved from it and it is
// smaller than a full slab; otherwise a new full slab starts.
void EntryPool::makeRoom() {
  if (carving_ == 0 && capacity_ < kSlabBytes) {
    const std::size_t bytes = capacity_ * 2;
    auto* moved = static_cast<unsigned char*>(std::realloc(slabs_[0], bytes));
    if (moved == nullptr) outOfMemory();
    slabs_[0] = moved;
    capacity_ = bytes;
    return;
  }
  if (slabCount_ == kMostSlabs) outOfMemory();
  addSlabSlots(slabCount_ + 1);
  carving_ = slabCount_;
  slabs_[slabCount_++] = static_cast<unsigned char*>(allocateOrDie(kSlabBytes));
  capacity_ = kSlabBytes;
  used_ = 0;
}

}  // namespace kel
