# The shared library as a Linux host sees it.

## the library exports the seventeen functions, those added after them and nothing else, none bound symbolically
# Bound symbolically, every close(fd) inside the library would reach the
# export named close instead of the C library's.
$ nm -D --defined-only "$KEL_LIBRARY" | awk '{print $3}' | sort
addOneLng
addOneStr
checkRestartFile
close
dumpToRestartFile
freeHashTableMemory
getAllValidContents
getAllValidFullContents
getLastDumpOutcome
makeHashTableDs
makeHashTableFromBinFile
makeHashTableFromBinFileChecked
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

## the header compiles without a warning under -pedantic, as C89 (with and without <stdint.h>), C99, C++98 and C++17, with every compiler hosts are built with
$ for c in gcc g++ clang clang++ i686-w64-mingw32-gcc-win32 i686-w64-mingw32-g++-win32 x86_64-w64-mingw32-gcc-win32 x86_64-w64-mingw32-g++-win32; do case $c in *++*) set -- "c++ -std=c++98" "c++ -std=c++17" ;; *) set -- "c -std=c89" "c -std=c89 -DKELHASHTABLEFUN_NO_STDINT" "c -std=c99" ;; esac; for l; do $c -x $l -Wall -Wextra -pedantic -Werror -O2 -I"$KEL_SOURCE/include" -c "$KEL_SOURCE/tests/host/pedanticHost.c" -o host.o && echo "$c $l: no warning"; done; done
gcc c -std=c89: no warning
gcc c -std=c89 -DKELHASHTABLEFUN_NO_STDINT: no warning
gcc c -std=c99: no warning
g++ c++ -std=c++98: no warning
g++ c++ -std=c++17: no warning
clang c -std=c89: no warning
clang c -std=c89 -DKELHASHTABLEFUN_NO_STDINT: no warning
clang c -std=c99: no warning
clang++ c++ -std=c++98: no warning
clang++ c++ -std=c++17: no warning
i686-w64-mingw32-gcc-win32 c -std=c89: no warning
i686-w64-mingw32-gcc-win32 c -std=c89 -DKELHASHTABLEFUN_NO_STDINT: no warning
i686-w64-mingw32-gcc-win32 c -std=c99: no warning
i686-w64-mingw32-g++-win32 c++ -std=c++98: no warning
i686-w64-mingw32-g++-win32 c++ -std=c++17: no warning
x86_64-w64-mingw32-gcc-win32 c -std=c89: no warning
x86_64-w64-mingw32-gcc-win32 c -std=c89 -DKELHASHTABLEFUN_NO_STDINT: no warning
x86_64-w64-mingw32-gcc-win32 c -std=c99: no warning
x86_64-w64-mingw32-g++-win32 c++ -std=c++98: no warning
x86_64-w64-mingw32-g++-win32 c++ -std=c++17: no warning

## the snippet of docs/windows.md that fetches msvcrt.dll's free compiles without a warning
$ awk '/^```c$/ {s = ""; c = 1; next} /^```$/ {if (c && s ~ /FreeFunction/) printf "%s", s; c = 0; next} c {s = s $0 "\n"}' "$KEL_SOURCE/docs/windows.md" > snippet.c; for c in i686-w64-mingw32-gcc-win32 x86_64-w64-mingw32-gcc-win32; do $c -Wall -Wextra -pedantic -Werror -c snippet.c && echo "$c: no warning"; done
i686-w64-mingw32-gcc-win32: no warning
x86_64-w64-mingw32-gcc-win32: no warning

## a failed load says what failed: the file that cannot be loaded, or the export a library lacks; a library with only the seventeen functions loads
$ ${KEL_HOST% *} no-such-library.so
cannot load the library: no-such-library.so: cannot open shared object file: No such file or directory
[exit 2]
$ ${KEL_HOST% *} "$KEL_LACKING_EXPORT" | sed "s|$KEL_LACKING_EXPORT|LIBRARY|"
cannot load the library: LIBRARY: no export named removeOneStr
$ ${KEL_HOST% *} "$KEL_SEVENTEEN_EXPORTS" < /dev/null
the library lacks checkRestartFile
the library lacks makeHashTableFromBinFileChecked
the library lacks getLastDumpOutcome
the library lacks freeHashTableMemory

## builders replace tables, growth, removals, dumps, loads and data sets leave nothing behind: no memory, no open file
$ cat > script
< makeHashTableStrList [a b "long"*100 c] 4 [1 2 3 4]
< makeHashTableLng [1..50] 50 null
< addOneStr grown 1
< makeHashTableLng null 0 null
< addOneLng 1 1
< addOneLng 2 2
< addOneLng 3 3
< removeOneLng 2 null
< makeHashTableStr "x,y,,z" null
< list
< dumpToRestartFile restart.bin
< makeHashTableFromBinFile restart.bin
< makeHashTableFromBinFile restart.bin
< checkRestartFile restart.bin
< makeHashTableFromBinFileChecked restart.bin
< records 1 2 3
< heap "a\0" "b\0"
< strings 0 2
< makeHashTableDs ds 0 null
< makeHashTableDs ds 1 null
< close
< makeHashTableLng [1] 1 null
$ valgrind -q --track-fds=yes --leak-check=full $KEL_HOST < script 2>&1 > /dev/null | grep -E 'definitely lost|indirectly lost|restart[.]bin$'
[exit 1]

## a checked load cannot read a pipe a second time: it counts as not opened, and the current table stays
$ mkfifo pipe.bin; printf '\2\0\0\0\0\0\0\0' > pipe.bin & host
> makeHashTableLng [5] 1 [50]
> makeHashTableFromBinFileChecked pipe.bin
  not opened: damage 0 offset 0 buckets 0 counter 0 entries 0 misplaced 0 trailing 0
> list
  1 entries
  50 long 5
