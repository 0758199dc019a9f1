#include "module/enumeration.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/memory.h"
#include "module/currentTable.h"
#include "report/fatalReport.h"
#include "report/messages.h"

namespace kel {

namespace {

// Every array has counter + 1 slots; a walk stores into them and no further.
std::size_t slotsFor(int32_t counter) {
  return counter < 0 ? 1 : static_cast<std::size_t>(counter) + 1;
}

template <typename T>
T* allocateSlots(std::size_t slots) {
  if (slots > SIZE_MAX / sizeof(T)) outOfMemory();
  return static_cast<T*>(allocateOrDie(slots * sizeof(T)));
}

char* copyOfKey(const EntryView& entry) {
  char* copy = static_cast<char*>(allocateOrDie(entry.keyLength + std::size_t{1}));
  std::memcpy(copy, entry.stringKey, entry.keyLength + std::size_t{1});
  return copy;
}

// The chains must hold exactly counter entries; a restored table can break
// that, and then the process ends.
void checkVisited(int32_t counter, int64_t visited) {
  if (visited != counter)
    showFatal(nullptr, kCounterMismatchFormat, counter, static_cast<int>(visited));
}

}  // namespace

void listContents(int* count, int** contents) {
  const HashTable* table = currentTable();
  if (table == nullptr) return;
  const std::size_t slots = slotsFor(table->counter());
  *count = table->counter();
  int* list = *contents = allocateSlots<int>(slots);
  std::size_t i = 0;
  const int64_t visited = table->walk([&](const EntryView& e) {
    if (i < slots) list[i++] = e.content;
  });
  checkVisited(table->counter(), visited);
}

void listFullContents(int* count, int** contents, char*** stringKeys, int** longKeys) {
  const HashTable* table = currentTable();
  if (table == nullptr) return;
  const std::size_t slots = slotsFor(table->counter());
  *count = table->counter();
  int* contentList = *contents = allocateSlots<int>(slots);
  char** stringList = *stringKeys = allocateSlots<char*>(slots);
  int* longList = *longKeys = allocateSlots<int>(slots);
  std::size_t i = 0;
  const int64_t visited = table->walk([&](const EntryView& e) {
    if (i == slots) return;
    contentList[i] = e.content;
    stringList[i] = e.isLong ? nullptr : copyOfKey(e);
    longList[i] = e.isLong ? e.longKey : 0;
    ++i;
  });
  checkVisited(table->counter(), visited);
}

void freeListed(void* block) { std::free(block); }

}  // namespace kel
