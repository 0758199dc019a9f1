#include "module/tableOperations.h"

#include "core/bulkCalls.h"
#include "module/currentTable.h"

namespace kel {

namespace {

void clearFound(char* found, int32_t count) {
  if (found == nullptr) return;
  for (int32_t i = 0; i < count; ++i) found[i] = 0;
}

// Runs a bulk find with a report that writes what the host asked for; the
// choice is made once, not per key.
template <typename Find>
void reportTo(char* found, int32_t* contents, Find find) {
  if (found != nullptr && contents != nullptr)
    find([found, contents](int32_t i, int32_t content) {
      found[i] = 1;
      contents[i] = content;
    });
  else if (found != nullptr)
    find([found](int32_t i, int32_t) { found[i] = 1; });
  else if (contents != nullptr)
    find([contents](int32_t i, int32_t content) { contents[i] = content; });
}

}  // namespace

void addStringKey(const char* key, int32_t content) {
  if (HashTable* table = currentTable(); table != nullptr && key != nullptr)
    table->addString(key, content);
  checkCurrentTable();
}

void addLongKey(int32_t key, int32_t content) {
  if (HashTable* table = currentTable()) table->addLong(key, content);
  checkCurrentTable();
}

void setStringContent(const char* key, int32_t content) {
  if (HashTable* table = currentTable(); table != nullptr && key != nullptr)
    table->setContentString(key, content);
  checkCurrentTable();
}

void setLongContent(int32_t key, int32_t content) {
  if (HashTable* table = currentTable()) table->setContentLong(key, content);
  checkCurrentTable();
}

void removeStringKey(const char* key, int32_t* content) {
  HashTable* table = currentTable();
  if (table == nullptr) return;
  const int32_t result = key != nullptr ? table->removeString(key, content) : 0;
  if (content != nullptr) *content = result;
  checkCurrentTable();
}

void removeLongKey(int32_t key, int32_t* content) {
  HashTable* table = currentTable();
  if (table == nullptr) return;
  const int32_t result = table->removeLong(key, content);
  if (content != nullptr) *content = result;
  checkCurrentTable();
}

void searchStrings(const char* const* keys, int32_t count, char* found, int32_t* contents) {
  clearFound(found, count);
  if (const HashTable* table = currentTable(); table != nullptr && keys != nullptr)
    reportTo(found, contents, [&](auto report) { table->findStrings(keys, count, report); });
}

void searchLongs(const int32_t* keys, int32_t count, char* found, int32_t* contents) {
  clearFound(found, count);
  if (const HashTable* table = currentTable(); table != nullptr && keys != nullptr)
    reportTo(found, contents, [&](auto report) { table->findLongs(keys, count, report); });
}

}  // namespace kel
