#include "module/tableOperations.h"

#include "module/currentTable.h"

namespace kel {

namespace {

void clearFound(char* found, int32_t count) {
  if (found == nullptr) return;
  for (int32_t i = 0; i < count; ++i) found[i] = 0;
}

// Reports one search result the way the host asked for it.
auto reporter(char* found, int32_t* contents) {
  return [found, contents](int32_t i, int32_t content) {
    if (found != nullptr) found[i] = 1;
    if (contents != nullptr) contents[i] = content;
  };
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
    table->findStrings(keys, count, reporter(found, contents));
}

void searchLongs(const int32_t* keys, int32_t count, char* found, int32_t* contents) {
  clearFound(found, count);
  if (const HashTable* table = currentTable(); table != nullptr && keys != nullptr)
    table->findLongs(keys, count, reporter(found, contents));
}

}  // namespace kel
