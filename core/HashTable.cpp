#include "core/HashTable.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "core/hashing.h"
#include "core/memory.h"

namespace kel {

namespace {

constexpr int32_t kLargestSize = INT32_MAX;

Entry** allocateBuckets(int64_t size) {
  if (size > kLargestSize) outOfMemory();
  return static_cast<Entry**>(allocateZeroedOrDie(static_cast<std::size_t>(size), sizeof(Entry*)));
}

// counter is a 32-bit field that restored files may set to any value; it
// wraps instead of overflowing.
int32_t wrapped(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }

}  // namespace

HashTable::HashTable(int64_t n) {
  if (n < 1) n = 1;
  // trunc(1.5 * n) buckets, doubled once as the first growth of an empty table.
  const int64_t size = 2 * static_cast<int64_t>(static_cast<double>(n) * 1.5);
  buckets_ = allocateBuckets(size);
  size_ = static_cast<int32_t>(size);
}

HashTable::HashTable(int32_t size, int32_t counter)
    : size_(size), buckets_(allocateBuckets(size)), counter_(counter), storedChains_(true) {}

// Every entry lives in the pool, which releases them all at once.
HashTable::~HashTable() { std::free(buckets_); }

Entry* HashTable::findLike(const Entry& entry) const {
  if (entry.isLong) return find(LongProbe{entry.longKey, entry.fraction});
  return find(StringProbe{entry.stringKey(), entry.keyLength, entry.fraction});
}

Entry* HashTable::newEntry(const StringProbe& probe, int32_t content) {
  if (probe.length > UINT32_MAX - Entry::bytesForString(0)) outOfMemory();
  auto* entry = static_cast<Entry*>(pool_.allocate(Entry::bytesForString(probe.length)));
  entry->next = nullptr;
  entry->fraction = probe.fraction;
  entry->content = content;
  entry->keyLength = static_cast<uint32_t>(probe.length);
  entry->isLong = 0;
  std::memcpy(entry->stringKey(), probe.key, probe.length);
  entry->stringKey()[probe.length] = '\0';
  return entry;
}

Entry* HashTable::newEntry(const LongProbe& probe, int32_t content) {
  auto* entry = static_cast<Entry*>(pool_.allocate(Entry::bytesForLong()));
  entry->next = nullptr;
  entry->fraction = probe.fraction;
  entry->content = content;
  entry->longKey = probe.key;
  entry->isLong = 1;
  return entry;
}

Entry* HashTable::makeStringEntry(const char* key, std::size_t length, int32_t content) {
  return newEntry(StringProbe{key, length, stringFraction(key, length)}, content);
}

Entry* HashTable::makeLongEntry(int32_t key, int32_t content) {
  return newEntry(LongProbe::from(key), content);
}

template <typename Probe>
void HashTable::addIfAbsent(const Probe& probe, int32_t content) {
  if (find(probe) == nullptr) add(newEntry(probe, content));
}

template <typename Probe>
void HashTable::setContent(const Probe& probe, int32_t content) {
  if (Entry* e = find(probe)) e->setContent(content);
  else add(newEntry(probe, content));
}

void HashTable::addString(const char* key, int32_t content) {
  addIfAbsent(StringProbe::from(key), content);
}

void HashTable::addLong(int32_t key, int32_t content) { addIfAbsent(LongProbe::from(key), content); }

void HashTable::setContentString(const char* key, int32_t content) {
  setContent(StringProbe::from(key), content);
}

void HashTable::setContentLong(int32_t key, int32_t content) {
  setContent(LongProbe::from(key), content);
}

// Key i is hashed and its bucket prefetched kDistance keys before it is added.
template <typename Probe, typename Keys>
void HashTable::pipelinedAdd(Keys keys, int32_t count, const int32_t* contents) {
  Probe probes[kRing];
  for (int32_t i = 0; i < count + kDistance; ++i) {
    if (i < count) {
      hashAhead(probes, keys, i, count);
      const Probe& probe = probes[i % kRing];
      if (probe.present()) prefetch(bucketFor(probe.fraction));
    }
    const int32_t adding = i - kDistance;
    if (adding >= 0 && probes[adding % kRing].present())
      addIfAbsent(probes[adding % kRing], contents != nullptr ? contents[adding] : 0);
  }
}

void HashTable::addStrings(const char* const* keys, int32_t count, const int32_t* contents) {
  pipelinedAdd<StringProbe>(keys, count, contents);
}

void HashTable::addLongs(const int32_t* keys, int32_t count, const int32_t* contents) {
  pipelinedAdd<LongProbe>(keys, count, contents);
}

// Walks the key's chain and removes the first entry that holds the key and
// passes the filter. Restored chains may hold a key twice, so the walk goes
// on past an entry the filter kept; the result is the content of the last
// entry that held the key, or 0.
template <typename Probe>
int32_t HashTable::remove(const Probe& probe, const int32_t* filter) {
  int32_t result = 0;
  for (Entry** link = bucketFor(probe.fraction); *link != nullptr; link = &(*link)->next) {
    Entry* e = *link;
    if (!probe.matches(*e)) continue;
    result = e->content;
    if (filter == nullptr || *filter == result) {
      *link = e->next;
      destroy(e);
      counter_ = wrapped(int64_t{counter_} - 1);
      return result;
    }
  }
  return result;
}

int32_t HashTable::removeString(const char* key, const int32_t* filter) {
  return remove(StringProbe::from(key), filter);
}

int32_t HashTable::removeLong(int32_t key, const int32_t* filter) {
  return remove(LongProbe::from(key), filter);
}

void HashTable::destroy(Entry* entry) { pool_.release(entry, entry->bytes()); }

void HashTable::releaseChain(Entry* head) {
  while (head != nullptr) {
    Entry* next = head->next;
    destroy(head);
    head = next;
  }
}

void HashTable::placeChain(int32_t bucket, Entry* head) {
  releaseChain(buckets_[bucket]);
  buckets_[bucket] = head;
}

// Puts the entry at the head of its chain and grows the table when the
// entries exceed size * kLoadFactor (equality does not grow).
void HashTable::add(Entry* entry) {
  Entry** head = bucketFor(entry->fraction);
  entry->next = *head;
  *head = entry;
  counter_ = wrapped(int64_t{counter_} + 1);
  if (static_cast<double>(counter_) > static_cast<double>(size_) * kLoadFactor) grow();
}

// Doubles the bucket array. Entries are moved rather than copied, but in the
// order and through the add step that copying them would take, so an add
// that grows the table again midway, or a repeated key of a restored table,
// comes out the same.
void HashTable::grow() {
  const int32_t oldSize = size_;
  Entry** oldBuckets = buckets_;
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

void HashTable::relinkAll(Entry** oldBuckets, int32_t oldSize) {
  // Read once: an add below may grow the table again, which clears it.
  const bool mayRepeatKeys = storedChains_;
  for (int32_t i = 0; i < oldSize; ++i) {
    Entry* e = oldBuckets[i];
    while (e != nullptr) {
      Entry* next = e->next;
      if (mayRepeatKeys && findLike(*e) != nullptr) destroy(e);
      else add(e);
      e = next;
    }
  }
  storedChains_ = false;
}

const char* HashTable::brokenInvariant() const {
  if (storedChains_) return nullptr;
  int64_t entries = 0;
  for (int32_t i = 0; i < size_; ++i) {
    for (const Entry* e = buckets_[i]; e != nullptr; e = e->next, ++entries) {
      const double fraction =
          e->isLong ? longFraction(e->longKey) : stringFraction(e->stringKey(), e->keyLength);
      if (fraction != e->fraction) return "an entry keeps a fraction other than its key's";
      if (bucketOf(fraction, size_) != i) return "an entry sits outside the bucket of its key";
      if (findLike(*e) != e) return "a key occurs twice";
    }
  }
  return entries == counter_ ? nullptr : "counter differs from the entries in the chains";
}

}  // namespace kel
