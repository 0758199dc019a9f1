#include "core/HashTablePure.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "core/hashing.h"
#include "core/memory.h"

namespace kel {

double loadFactor = 0.75;

namespace {

constexpr int32_t kLargestSize = INT32_MAX;

Object** allocateBuckets(int64_t size) {
  if (size > kLargestSize) outOfMemory();
  return static_cast<Object**>(allocateZeroedOrDie(static_cast<std::size_t>(size), sizeof(Object*)));
}

// counter is a 32-bit field that restored files may set to any value; it
// wraps instead of overflowing.
int32_t wrapped(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }

}  // namespace

HashTablePure::HashTablePure(int64_t n) {
  if (n < 1) n = 1;
  // trunc(1.5 * n) buckets, doubled once as the first growth of an empty table.
  const int64_t size = 2 * static_cast<int64_t>(static_cast<double>(n) * 1.5);
  buckets_ = allocateBuckets(size);
  size_ = static_cast<int32_t>(size);
}

HashTablePure::HashTablePure(int32_t size, int32_t counter)
    : size_(size), buckets_(allocateBuckets(size)), counter_(counter), mayRepeatKeys_(true) {}

// Every entry lives in the pool, which releases them all at once.
HashTablePure::~HashTablePure() { std::free(buckets_); }

HashTablePure::StringProbe HashTablePure::probeFor(const char* key) {
  const std::size_t length = std::strlen(key);
  return {key, length, stringFraction(key, length)};
}

Object* HashTablePure::find(const StringProbe& probe) const {
  for (Object* e = buckets_[bucketOf(probe.fraction, size_)]; e != nullptr; e = e->next)
    if (e->matchesString(probe.key, probe.length, probe.fraction)) return e;
  return nullptr;
}

Object* HashTablePure::findLongWithFraction(int32_t key, double fraction) const {
  for (Object* e = buckets_[bucketOf(fraction, size_)]; e != nullptr; e = e->next)
    if (e->matchesLong(key)) return e;
  return nullptr;
}

Object* HashTablePure::findLike(const Object& entry) const {
  if (entry.isLong) return findLongWithFraction(entry.longKey, entry.fraction);
  return find({entry.stringKey(), entry.keyLength, entry.fraction});
}

Object* HashTablePure::findString(const char* key) const { return find(probeFor(key)); }

Object* HashTablePure::findLong(int32_t key) const { return findLongWithFraction(key, longFraction(key)); }

Object* HashTablePure::makeStringEntry(const char* key, std::size_t length, int32_t content) {
  if (length > UINT32_MAX - Object::bytesForString(0)) outOfMemory();
  auto* entry = static_cast<Object*>(pool_.allocate(Object::bytesForString(length)));
  entry->next = nullptr;
  entry->fraction = stringFraction(key, length);
  entry->content = content;
  entry->keyLength = static_cast<uint32_t>(length);
  entry->isLong = 0;
  std::memcpy(entry->stringKey(), key, length);
  entry->stringKey()[length] = '\0';
  return entry;
}

Object* HashTablePure::makeLongEntry(int32_t key, int32_t content) {
  auto* entry = static_cast<Object*>(pool_.allocate(Object::bytesForLong()));
  entry->next = nullptr;
  entry->fraction = longFraction(key);
  entry->content = content;
  entry->longKey = key;
  entry->isLong = 1;
  return entry;
}

void HashTablePure::addString(const char* key, int32_t content) {
  const StringProbe probe = probeFor(key);
  if (find(probe) == nullptr) add(makeStringEntry(key, probe.length, content));
}

void HashTablePure::addLong(int32_t key, int32_t content) {
  if (findLong(key) == nullptr) add(makeLongEntry(key, content));
}

void HashTablePure::setContentString(const char* key, int32_t content) {
  const StringProbe probe = probeFor(key);
  if (Object* e = find(probe)) e->setContent(content);
  else add(makeStringEntry(key, probe.length, content));
}

void HashTablePure::setContentLong(int32_t key, int32_t content) {
  if (Object* e = findLong(key)) e->setContent(content);
  else add(makeLongEntry(key, content));
}

// Walks the chain from `link` and removes the first entry that holds the key
// and passes the filter. Restored chains may hold a key twice, so the walk
// goes on past an entry the filter kept; the result is the content of the
// last entry that held the key.
template <typename Matches>
static int32_t removeFromChain(Object** link, Matches matches, const int32_t* filter,
                               Object** removed) {
  int32_t result = 0;
  for (Object* e = *link; e != nullptr; link = &e->next, e = e->next) {
    if (!matches(*e)) continue;
    result = e->content;
    if (filter == nullptr || *filter == result) {
      *link = e->next;
      *removed = e;
      return result;
    }
  }
  return result;
}

int32_t HashTablePure::removeString(const char* key, const int32_t* filter) {
  const StringProbe probe = probeFor(key);
  Object* removed = nullptr;
  const int32_t result = removeFromChain(
      &buckets_[bucketOf(probe.fraction, size_)],
      [&](const Object& e) { return e.matchesString(probe.key, probe.length, probe.fraction); },
      filter, &removed);
  if (removed != nullptr) {
    destroy(removed);
    counter_ = wrapped(int64_t{counter_} - 1);
  }
  return result;
}

int32_t HashTablePure::removeLong(int32_t key, const int32_t* filter) {
  Object* removed = nullptr;
  const int32_t result = removeFromChain(
      &buckets_[hashLong(key, size_)], [&](const Object& e) { return e.matchesLong(key); }, filter,
      &removed);
  if (removed != nullptr) {
    destroy(removed);
    counter_ = wrapped(int64_t{counter_} - 1);
  }
  return result;
}

void HashTablePure::destroy(Object* entry) { pool_.release(entry, entry->bytes()); }

void HashTablePure::releaseChain(Object* head) {
  while (head != nullptr) {
    Object* next = head->next;
    destroy(head);
    head = next;
  }
}

void HashTablePure::placeChain(int32_t bucket, Object* head) {
  releaseChain(buckets_[bucket]);
  buckets_[bucket] = head;
}

void HashTablePure::link(Object* entry) {
  Object** head = &buckets_[bucketOf(entry->fraction, size_)];
  entry->next = *head;
  *head = entry;
}

void HashTablePure::add(Object* entry) {
  link(entry);
  counter_ = wrapped(int64_t{counter_} + 1);
  if (static_cast<double>(counter_) > static_cast<double>(size_) * loadFactor) grow();
}

// Doubles the bucket array. Entries are moved rather than copied, but in the
// order and through the add step that copying them would take, so an add
// that grows the table again midway, or a repeated key of a restored table,
// comes out the same.
void HashTablePure::grow() {
  const int32_t oldSize = size_;
  Object** oldBuckets = buckets_;
  buckets_ = allocateBuckets(int64_t{oldSize} * 2);
  size_ = oldSize * 2;
  if (isEmpty()) {
    for (int32_t i = 0; i < oldSize; ++i) releaseChain(oldBuckets[i]);
  } else {
    counter_ = 0;
    relinkAll(oldBuckets, oldSize);
  }
  std::free(oldBuckets);
}

void HashTablePure::relinkAll(Object** oldBuckets, int32_t oldSize) {
  for (int32_t i = 0; i < oldSize; ++i) {
    Object* e = oldBuckets[i];
    while (e != nullptr) {
      Object* next = e->next;
      if (mayRepeatKeys_ && findLike(*e) != nullptr) destroy(e);
      else add(e);
      e = next;
    }
  }
}

}  // namespace kel
