// The library's seventeen exports: plain C functions on the current table.
// This file must not see <unistd.h> or <io.h>: one export is named close.
#include "api/currentTable.h"
#include "api/enumeration.h"
#include "api/splitCommaList.h"
#include "dataset/dataSetImport.h"
#include "persist/restartFile.h"

#include "kelHashTableFun.h"

#if defined(_WIN32)
#define KEL_EXPORT  // exported by name and ordinal through the .def file
// The .def file exports this as "close". Under its own name, every close(fd)
// linked into the DLL (the C++ runtime has some) stays the C runtime's.
#define KEL_CLOSE_EXPORT kelHashTableFunClose
#else
#define KEL_EXPORT __attribute__((visibility("default")))
#define KEL_CLOSE_EXPORT close
#endif

namespace kel {
namespace {

void makeFromStringKeys(const char** keys, int count, const int* contents) {
  if (count < 0) count = 0;
  HashTablePure& table = startTable(int64_t{count} + 1);
  if (keys != nullptr) table.addStrings(keys, count, contents);
}

void clearFound(char* found, int count) {
  if (found == nullptr) return;
  for (int i = 0; i < count; ++i) found[i] = 0;
}

// Reports one search result the way the host asked for it.
auto reporter(char* found, int* contents) {
  return [found, contents](int32_t i, const Object* entry) {
    if (entry == nullptr) return;
    if (found != nullptr) found[i] = 1;
    if (contents != nullptr) contents[i] = entry->getContent();
  };
}

}  // namespace
}  // namespace kel

using kel::currentTable;

extern "C" {

KEL_EXPORT void KELHASHTABLEFUN_CALL addOneLng(int key, int content) {
  if (currentTable != nullptr) currentTable->addLong(key, content);
}

KEL_EXPORT void KELHASHTABLEFUN_CALL addOneStr(const char* key, int content) {
  if (currentTable != nullptr && key != nullptr) currentTable->addString(key, content);
}

KEL_EXPORT void KELHASHTABLEFUN_CALL KEL_CLOSE_EXPORT(void) { kel::closeCurrentTable(); }

KEL_EXPORT void KELHASHTABLEFUN_CALL dumpToRestartFile(const char* path) {
  kel::dumpCurrentTable(path);
}

KEL_EXPORT void KELHASHTABLEFUN_CALL getAllValidContents(int* count, int** contents) {
  kel::listContents(count, contents);
}

KEL_EXPORT void KELHASHTABLEFUN_CALL getAllValidFullContents(int* count, int** contents,
                                                             char*** stringKeys, int** longKeys) {
  kel::listFullContents(count, contents, stringKeys, longKeys);
}

KEL_EXPORT void KELHASHTABLEFUN_CALL makeHashTableDs(const DataSet* ds, int column,
                                                     const int* contents) {
  kel::makeTableFromDataSet(ds, column, contents);
}

KEL_EXPORT void KELHASHTABLEFUN_CALL makeHashTableFromBinFile(const char* path) {
  kel::loadCurrentTable(path);
}

KEL_EXPORT void KELHASHTABLEFUN_CALL makeHashTableLng(const int* keys, int count,
                                                      const int* contents) {
  if (count < 0) count = 0;
  kel::HashTablePure& table = kel::startTable(int64_t{count} + 1);
  if (keys != nullptr) table.addLongs(keys, count, contents);
}

KEL_EXPORT void KELHASHTABLEFUN_CALL makeHashTableStr(const char* list, const int* contents) {
  if (list == nullptr) {
    kel::makeFromStringKeys(nullptr, 0, contents);
    return;
  }
  const kel::CommaList tokens(list);
  kel::makeFromStringKeys(tokens.tokens(), tokens.count(), contents);
}

KEL_EXPORT void KELHASHTABLEFUN_CALL makeHashTableStrList(const char** keys, int count,
                                                          const int* contents) {
  kel::makeFromStringKeys(keys, count, contents);
}

KEL_EXPORT void KELHASHTABLEFUN_CALL removeOneLng(int key, int* content) {
  if (currentTable == nullptr) return;
  const int32_t result = currentTable->removeLong(key, content);
  if (content != nullptr) *content = result;
}

KEL_EXPORT void KELHASHTABLEFUN_CALL removeOneStr(const char* key, int* content) {
  if (currentTable == nullptr) return;
  const int32_t result = key != nullptr ? currentTable->removeString(key, content) : 0;
  if (content != nullptr) *content = result;
}

KEL_EXPORT void KELHASHTABLEFUN_CALL searchLng(const int* keys, int count, char* found,
                                               int* contents) {
  kel::clearFound(found, count);
  if (currentTable == nullptr || keys == nullptr) return;
  currentTable->findLongs(keys, count, kel::reporter(found, contents));
}

KEL_EXPORT void KELHASHTABLEFUN_CALL searchStrList(const char** keys, int count, char* found,
                                                   int* contents) {
  kel::clearFound(found, count);
  if (currentTable == nullptr || keys == nullptr) return;
  currentTable->findStrings(keys, count, kel::reporter(found, contents));
}

KEL_EXPORT void KELHASHTABLEFUN_CALL setContentLng(int key, int content) {
  if (currentTable != nullptr) currentTable->setContentLong(key, content);
}

KEL_EXPORT void KELHASHTABLEFUN_CALL setContentStr(const char* key, int content) {
  if (currentTable != nullptr && key != nullptr) currentTable->setContentString(key, content);
}

}  // extern "C"
