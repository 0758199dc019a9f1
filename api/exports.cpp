// The library's exports: plain C functions over module/. The seventeen of
// the original library come first and return nothing; those added after
// them tell a host what the seventeen cannot.
// This file must not see <unistd.h> or <io.h>: one export is named close.
#include "module/builders.h"
#include "module/currentTable.h"
#include "module/dump.h"
#include "module/enumeration.h"
#include "module/restartChecks.h"
#include "module/tableOperations.h"

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

extern "C" {

KEL_EXPORT void KELHASHTABLEFUN_CALL addOneLng(int key, int content) {
  kel::addLongKey(key, content);
}

KEL_EXPORT void KELHASHTABLEFUN_CALL addOneStr(const char* key, int content) {
  kel::addStringKey(key, content);
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
  kel::buildFromDataSet(ds, column, contents);
}

KEL_EXPORT void KELHASHTABLEFUN_CALL makeHashTableFromBinFile(const char* path) {
  kel::buildFromRestartFile(path);
}

KEL_EXPORT void KELHASHTABLEFUN_CALL makeHashTableLng(const int* keys, int count,
                                                      const int* contents) {
  kel::buildFromLongs(keys, count, contents);
}

KEL_EXPORT void KELHASHTABLEFUN_CALL makeHashTableStr(const char* list, const int* contents) {
  kel::buildFromCommaList(list, contents);
}

KEL_EXPORT void KELHASHTABLEFUN_CALL makeHashTableStrList(const char** keys, int count,
                                                          const int* contents) {
  kel::buildFromStrings(keys, count, contents);
}

KEL_EXPORT void KELHASHTABLEFUN_CALL removeOneLng(int key, int* content) {
  kel::removeLongKey(key, content);
}

KEL_EXPORT void KELHASHTABLEFUN_CALL removeOneStr(const char* key, int* content) {
  kel::removeStringKey(key, content);
}

KEL_EXPORT void KELHASHTABLEFUN_CALL searchLng(const int* keys, int count, char* found,
                                               int* contents) {
  kel::searchLongs(keys, count, found, contents);
}

KEL_EXPORT void KELHASHTABLEFUN_CALL searchStrList(const char** keys, int count, char* found,
                                                   int* contents) {
  kel::searchStrings(keys, count, found, contents);
}

KEL_EXPORT void KELHASHTABLEFUN_CALL setContentLng(int key, int content) {
  kel::setLongContent(key, content);
}

KEL_EXPORT void KELHASHTABLEFUN_CALL setContentStr(const char* key, int content) {
  kel::setStringContent(key, content);
}

KEL_EXPORT kelHashTableFun_int32 KELHASHTABLEFUN_CALL checkRestartFile(
    const char* path, KelHashTableFunFileCheck* check) {
  return kel::statusOfRestartFile(path, check);
}

KEL_EXPORT kelHashTableFun_int32 KELHASHTABLEFUN_CALL makeHashTableFromBinFileChecked(
    const char* path, KelHashTableFunFileCheck* check) {
  return kel::buildFromSoundRestartFile(path, check);
}

KEL_EXPORT kelHashTableFun_int32 KELHASHTABLEFUN_CALL getLastDumpOutcome(void) {
  return kel::lastDumpOutcomeCode();
}

KEL_EXPORT void KELHASHTABLEFUN_CALL freeHashTableMemory(void* block) { kel::freeListed(block); }

}  // extern "C"
