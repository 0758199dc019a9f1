# The DLL as a Windows host and its linker see it.

## the DLL exports the seventeen functions by name with ordinals 1 to 17, and those added after them with the ordinals that follow, under its module name
$ $KEL_OBJDUMP -p "$KEL_LIBRARY" | sed -n 's/^Name .* //p; s/^Ordinal Base\s*/base /p; /Ordinal\/Name Pointer/,/^$/s/^\s*\[ *\([0-9]*\)\] /\1 /p'
kelHashTableFun.dll
base 1
0 addOneLng
1 addOneStr
17 checkRestartFile
2 close
3 dumpToRestartFile
20 freeHashTableMemory
4 getAllValidContents
5 getAllValidFullContents
19 getLastDumpOutcome
6 makeHashTableDs
7 makeHashTableFromBinFile
18 makeHashTableFromBinFileChecked
8 makeHashTableLng
9 makeHashTableStr
10 makeHashTableStrList
11 removeOneLng
12 removeOneStr
13 searchLng
14 searchStrList
15 setContentLng
16 setContentStr

## the import library provides every export
$ $KEL_NM "$KEL_IMPORT_LIBRARY" | sed -n 's/.* I __imp__\?//p' | sort
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

## the DLL imports from KERNEL32, USER32 and msvcrt only, the message box, the debugger output and the thread-call switch among them
$ $KEL_OBJDUMP -p "$KEL_LIBRARY" | sed -n 's/^\s*DLL Name: //p'
KERNEL32.dll
msvcrt.dll
USER32.dll
$ $KEL_OBJDUMP -p "$KEL_LIBRARY" | grep -ow 'MessageBoxA\|OutputDebugStringA\|DisableThreadLibraryCalls' | sort -u
DisableThreadLibraryCalls
MessageBoxA
OutputDebugStringA

## the library's objects do their double arithmetic in SSE2, never on the x87 unit
$ $KEL_OBJDUMP -d $KEL_OBJECTS | grep -cE '\sf(add|sub|subr|mul|div|divr|sqrt|prem|scale)[lsp]?\s'
0
[exit 1]

## the release DLL carries no debug sections
$ $KEL_OBJDUMP -h "$KEL_LIBRARY" | grep -c '[.]debug'
0
[exit 1]
