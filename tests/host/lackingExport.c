/* A library with the seventeen exports of the original library only; built
 * with KEL_LACKING_REMOVE_ONE_STR, removeOneStr is missing too. */
#define EXPORT(name) \
  void name(void);   \
  void name(void) {}
EXPORT(addOneLng)
EXPORT(addOneStr)
EXPORT(close)
EXPORT(dumpToRestartFile)
EXPORT(getAllValidContents)
EXPORT(getAllValidFullContents)
EXPORT(makeHashTableDs)
EXPORT(makeHashTableFromBinFile)
EXPORT(makeHashTableLng)
EXPORT(makeHashTableStr)
EXPORT(makeHashTableStrList)
EXPORT(removeOneLng)
#if !defined(KEL_LACKING_REMOVE_ONE_STR)
EXPORT(removeOneStr)
#endif
EXPORT(searchLng)
EXPORT(searchStrList)
EXPORT(setContentLng)
EXPORT(setContentStr)
