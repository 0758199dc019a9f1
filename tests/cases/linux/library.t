# The shared library as a Linux host sees it.

## the library exports the seventeen functions and nothing else, none bound symbolically
# Bound symbolically, every close(fd) inside the library would reach the
# export named close instead of the C library's.
$ nm -D --defined-only "$KEL_LIBRARY" | awk '{print $3}' | sort
addOneLng
addOneStr
close
dumpToRestartFile
getAllValidContents
getAllValidFullContents
makeHashTableDs
makeHashTableFromBinFile
makeHashTableLng
makeHashTableStr
makeHashTableStrList
removeOneLng
removeOneStr
searchLng
searchStrList
setContentLng
setContentStr
$ readelf -d "$KEL_LIBRARY" | grep -c SYMBOLIC
0
[exit 1]

## a host built with the README's command line keeps POSIX close for itself
$ cc -std=c99 -I"$KEL_SOURCE/include" "$KEL_SOURCE/tests/host/closeSafetyHost.c" -o closeSafetyHost -ldl
$ ./closeSafetyHost "$KEL_LIBRARY"
ok
$ cc -std=c99 -I"$KEL_SOURCE/include" "$KEL_SOURCE/tests/host/closeSafetyHost.c" -o linkedHost -L"$(dirname "$KEL_LIBRARY")" -lkelHashTableFun -ldl
$ LD_LIBRARY_PATH="$(dirname "$KEL_LIBRARY")" ./linkedHost "$KEL_LIBRARY"
closeSafetyHost: close(fd) left the descriptor open
[exit 1]
