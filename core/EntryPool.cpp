#include "core/EntryPool.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/memory.h"

namespace kel {

namespace {
// Large blocks carry a two-pointer header; keep what follows it 16-aligned.
constexpr std::size_t kLargeHeader = 16;
}  // namespace

EntryPool::~EntryPool() {
  while (slabs_ != nullptr) {
    Slab* next = slabs_->next;
    std::free(slabs_);
    slabs_ = next;
  }
  while (largeBlocks_ != nullptr) {
    LargeBlock* next = largeBlocks_->next;
    std::free(largeBlocks_);
    largeBlocks_ = next;
  }
}

void* EntryPool::allocate(std::size_t bytes) {
  const std::size_t rounded = roundUp(bytes);
  if (rounded > kLargestClass) return allocateLarge(bytes);
  FreeSlot*& slot = freeSlots_[rounded / kGrain];
  if (slot != nullptr) {
    FreeSlot* reused = slot;
    slot = reused->next;
    return reused;
  }
  return carve(rounded);
}

void EntryPool::release(void* block, std::size_t bytes) {
  const std::size_t rounded = roundUp(bytes);
  if (rounded > kLargestClass) {
    releaseLarge(block);
    return;
  }
  auto* slot = static_cast<FreeSlot*>(block);
  slot->next = freeSlots_[rounded / kGrain];
  freeSlots_[rounded / kGrain] = slot;
}

// Takes `rounded` bytes from the current slab, starting a new slab (twice
// the size of the last, up to 1 MiB) when it has too little left.
void* EntryPool::carve(std::size_t rounded) {
  if (static_cast<std::size_t>(slabEnd_ - cursor_) < rounded) {
    const std::size_t capacity = nextSlabBytes_;
    auto* slab = static_cast<Slab*>(allocateOrDie(offsetof(Slab, bytes) + kCacheLine + capacity));
    slab->next = slabs_;
    slabs_ = slab;
    // Entries start on a cache line, so a table of 32-byte long entries has
    // no entry that straddles two lines.
    const auto misalignment = reinterpret_cast<std::uintptr_t>(slab->bytes) % kCacheLine;
    cursor_ = slab->bytes + (misalignment == 0 ? 0 : kCacheLine - misalignment);
    slabEnd_ = cursor_ + capacity;
    if (nextSlabBytes_ < kLargestSlab) nextSlabBytes_ *= 2;
  }
  void* block = cursor_;
  cursor_ += rounded;
  return block;
}

void* EntryPool::allocateLarge(std::size_t bytes) {
  if (bytes > SIZE_MAX - kLargeHeader) outOfMemory();
  auto* header = static_cast<LargeBlock*>(allocateOrDie(kLargeHeader + bytes));
  header->previous = nullptr;
  header->next = largeBlocks_;
  if (largeBlocks_ != nullptr) largeBlocks_->previous = header;
  largeBlocks_ = header;
  return reinterpret_cast<unsigned char*>(header) + kLargeHeader;
}

void EntryPool::releaseLarge(void* block) {
  auto* header = reinterpret_cast<LargeBlock*>(static_cast<unsigned char*>(block) - kLargeHeader);
  if (header->previous != nullptr) header->previous->next = header->next;
  else largeBlocks_ = header->next;
  if (header->next != nullptr) header->next->previous = header->previous;
  std::free(header);
}

}  // namespace kel
