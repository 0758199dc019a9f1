// The table: an array of `size` singly linked bucket chains holding string
// and long entries side by side. A string key and a long key never match.
//
// Invariants kept by every operation of a table built in memory:
//   - each key occurs at most once per kind;
//   - every entry of chain i hashes to i at the current size;
//   - counter equals the number of entries in all chains.
// A table restored from a restart file takes its size, counter and chains as
// stored; the operations below stay memory-safe when such a table breaks the
// invariants, and behave exactly as they would on the stored chains.
//
// New entries go to the head of their chain. When an add pushes counter above
// size * loadFactor the table doubles: the old chains are visited in bucket
// order, each from its head, and every entry is added again, so entries that
// meet in one new chain end up in the reverse of their visiting order.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/EntryPool.h"
#include "core/Object.h"

namespace kel {

// Module-wide growth threshold; every builder sets it to 0.75.
extern double loadFactor;

class HashTablePure {
 public:
  // A table for n - 1 keys: 2 * trunc(1.5 * n) buckets, never grown by them.
  // n below 1 is taken as 1; a bucket count beyond 32 bits is out of memory.
  explicit HashTablePure(int64_t n);
  // An empty table with the bucket count and counter of a restart file,
  // to be filled with placeChain. size must be at least 1.
  HashTablePure(int32_t size, int32_t counter);
  ~HashTablePure();
  HashTablePure(const HashTablePure&) = delete;
  HashTablePure& operator=(const HashTablePure&) = delete;

  Object* findString(const char* key) const;
  Object* findLong(int32_t key) const;

  // Adding a key that is present changes nothing.
  void addString(const char* key, int32_t content);
  void addLong(int32_t key, int32_t content);

  // Replaces the content of a present key; adds an absent one.
  void setContentString(const char* key, int32_t content);
  void setContentLong(int32_t key, int32_t content);

  // Removes the key when filter is null or equals its content. Returns the
  // key's content, removed or not, or 0 when the key is absent.
  int32_t removeString(const char* key, const int32_t* filter);
  int32_t removeLong(int32_t key, const int32_t* filter);

  bool isEmpty() const { return counter_ == 0; }
  int32_t size() const { return size_; }
  int32_t counter() const { return counter_; }
  const Object* chain(int32_t bucket) const { return buckets_[bucket]; }

  // Visits every entry in walk order: bucket index ascending, each chain
  // from its head. Returns the number of entries visited.
  template <typename Visit>
  int64_t walk(Visit visit) const {
    int64_t visited = 0;
    for (int32_t i = 0; i < size_; ++i)
      for (const Object* e = buckets_[i]; e != nullptr; e = e->next, ++visited) visit(*e);
    return visited;
  }

  // Restoring: entries made here are linked with placeChain, which puts a
  // whole chain at a bucket as stored, without hashing, releasing any chain
  // that bucket held before.
  Object* makeStringEntry(const char* key, std::size_t length, int32_t content);
  Object* makeLongEntry(int32_t key, int32_t content);
  void placeChain(int32_t bucket, Object* head);
  void releaseChain(Object* head);

 private:
  struct StringProbe {
    const char* key;
    std::size_t length;
    double fraction;
  };
  static StringProbe probeFor(const char* key);

  Object* find(const StringProbe& probe) const;
  Object* findLongWithFraction(int32_t key, double fraction) const;
  Object* findLike(const Object& entry) const;
  void add(Object* entry);
  void link(Object* entry);
  int32_t remove(Object** link, const int32_t* filter);
  void destroy(Object* entry);
  void grow();
  void relinkAll(Object** oldBuckets, int32_t oldSize);

  int32_t size_ = 0;
  Object** buckets_ = nullptr;
  int32_t counter_ = 0;
  // Restored chains may repeat a key; growth then drops the later copies, as
  // adding them again would. Tables built in memory skip that search.
  bool mayRepeatKeys_ = false;
  EntryPool pool_;
};

}  // namespace kel
