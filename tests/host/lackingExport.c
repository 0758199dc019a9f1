/* A library with sixteen of the seventeen exports: removeOneStr is missing. */
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
EXPORT(searchLng)
EXPORT(searchStrList)
EXPORT(setContentLng)
EXPORT(setContentStr)
