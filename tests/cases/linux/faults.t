# Calls of the library made to fail by the preloaded fault shim.
#
# Running out of memory anywhere in the library ends with its own report and
# exit status 1: never an abort, a signal or a hang. Each allocation script
# below runs once for every allocation the library makes, with that one
# allocation failing.

## a temporary file with no room, a refused rename, or a target another program replaced meanwhile: the dump writes in place; a file system that cannot flush does not stop the replacement
$ cat > script
< makeHashTableLng [1] 1 [7]
< dumpToRestartFile f
$ for fault in posix_fallocate:ENOSPC renameat:EBUSY fsync:EINVAL fsync:MOVED; do echo old > f; echo other > moved; stat -c %i f > inode; KEL_FAIL_CALL=$fault LD_PRELOAD=$KEL_FAULT_SHIM $KEL_HOST < script > /dev/null; echo "$fault: $(stat -c %i f | cmp -s - inode && echo same || echo new) inode, $(stat -c %s f) bytes; $(ls | tr '\n' ' ')"; done
posix_fallocate:ENOSPC: same inode, 25 bytes; f inode moved script 
renameat:EBUSY: same inode, 25 bytes; f inode moved script 
fsync:EINVAL: new inode, 25 bytes; f inode moved script 
fsync:MOVED: new inode, 6 bytes; f inode script 

## building, changing, searching, listing and closing tables
$ cat > script
< makeHashTableStrList [alpha beta "" "long"*200 alpha] 5 [1 2 3 4 5]
< addOneStr gamma 6
< setContentStr delta 7
< removeOneStr beta null
< makeHashTableLng [1..30] 30 null
< addOneLng -5 1
< setContentLng 99 2
< makeHashTableLng null 0 null
< addOneLng 1 1
< addOneLng 2 2
< addOneLng 3 3
< addOneStr grown 4
< searchStrList [alpha grown zz] 3
< searchLng [1 2 7] 3
< list
< makeHashTableStr "a,b,,a" [1 2 3 4]
< list
< close
$ "$KEL_SOURCE/tests/targets/everyAllocationFails.sh" script
every allocation failed in turn, each reported

## dumping over a new file, a replaced file and a written-through one, which no failure leaves damaged; loading
$ echo old > linked; ln linked other; cp linked old
$ cat > script
< makeHashTableStrList [a b c "x"*5000] 4 null
< addOneLng 7 7
< dumpToRestartFile new.bin
< dumpToRestartFile new.bin
< dumpToRestartFile linked
< makeHashTableFromBinFile new.bin
< addOneStr d 4
< list
$ "$KEL_SOURCE/tests/targets/everyAllocationFails.sh" script 'cmp -s linked old || $KEL_KELHT verify linked > /dev/null'
every allocation failed in turn, each reported

## importing a data set, strings from memory and from the string file
$ cat > script
< records 5 6 7 8
< cache 1 60
< heap "mem\0" "file\0other\0"
< strings 0 4 9
< makeHashTableDs ds 1 null
< makeHashTableDs ds 0 null
< list
$ "$KEL_SOURCE/tests/targets/everyAllocationFails.sh" script
every allocation failed in turn, each reported

## indexing long chains: adding, growing, building, removing, restoring
$ cat > script
< makeHashTableStrList [] 0 null
< addOneStr "k"*10"00001""k"*25 1
< addOneStr "k"*10"00002""k"*25 2
< addOneStr "k"*10"00003""k"*25 3
< addOneStr "k"*10"00004""k"*25 4
< addOneStr "k"*10"00005""k"*25 5
< addOneStr "k"*10"00006""k"*25 6
< addOneStr "k"*10"00007""k"*25 7
< addOneStr "k"*10"00008""k"*25 8
< addOneStr "k"*10"00009""k"*25 9
< addOneStr "k"*10"00010""k"*25 10
< addOneStr "k"*10"00011""k"*25 11
< addOneStr "k"*10"00012""k"*25 12
< addOneStr "k"*10"00013""k"*25 13
< addOneStr "k"*10"00014""k"*25 14
< addOneStr "k"*10"00015""k"*25 15
< addOneStr "k"*10"00016""k"*25 16
< addOneStr "k"*10"00017""k"*25 17
< addOneStr "k"*10"00018""k"*25 18
< addOneStr "k"*10"00019""k"*25 19
< addOneStr "k"*10"00020""k"*25 20
< addOneStr "k"*10"00021""k"*25 21
< addOneStr "k"*10"00022""k"*25 22
< addOneStr "k"*10"00023""k"*25 23
< addOneStr "k"*10"00024""k"*25 24
< addOneStr "k"*10"00025""k"*25 25
< addOneStr "k"*10"00026""k"*25 26
< addOneStr "k"*10"00027""k"*25 27
< addOneStr "k"*10"00028""k"*25 28
< addOneStr "k"*10"00029""k"*25 29
< addOneStr "k"*10"00030""k"*25 30
< addOneStr "k"*10"00031""k"*25 31
< addOneStr "k"*10"00032""k"*25 32
< addOneStr "k"*10"00033""k"*25 33
< addOneStr "k"*10"00034""k"*25 34
< addOneStr "k"*10"00035""k"*25 35
< addOneStr "k"*10"00036""k"*25 36
< addOneStr "k"*10"00037""k"*25 37
< addOneStr "k"*10"00038""k"*25 38
< addOneStr "k"*10"00039""k"*25 39
< addOneStr "k"*10"00040""k"*25 40
< setContentStr "k"*10"00041""k"*25 7
< dumpToRestartFile chain.bin
< makeHashTableStrList ["k"*10"00001""k"*25 "k"*10"00002""k"*25 "k"*10"00003""k"*25 "k"*10"00004""k"*25 "k"*10"00005""k"*25 "k"*10"00006""k"*25 "k"*10"00007""k"*25 "k"*10"00008""k"*25 "k"*10"00009""k"*25 "k"*10"00010""k"*25 "k"*10"00011""k"*25 "k"*10"00012""k"*25 "k"*10"00013""k"*25 "k"*10"00014""k"*25 "k"*10"00015""k"*25 "k"*10"00016""k"*25 "k"*10"00017""k"*25 "k"*10"00018""k"*25 "k"*10"00019""k"*25 "k"*10"00020""k"*25] 20 null
< removeOneStr "k"*10"00001""k"*25 null
< removeOneStr "k"*10"00002""k"*25 null
< removeOneStr "k"*10"00003""k"*25 null
< removeOneStr "k"*10"00004""k"*25 null
< removeOneStr "k"*10"00005""k"*25 null
< removeOneStr "k"*10"00006""k"*25 null
< removeOneStr "k"*10"00007""k"*25 null
< removeOneStr "k"*10"00008""k"*25 null
< removeOneStr "k"*10"00009""k"*25 null
< removeOneStr "k"*10"00010""k"*25 null
< removeOneStr "k"*10"00011""k"*25 null
< removeOneStr "k"*10"00012""k"*25 null
< removeOneStr "k"*10"00013""k"*25 null
< removeOneStr "k"*10"00014""k"*25 null
< removeOneStr "k"*10"00015""k"*25 null
< makeHashTableFromBinFile chain.bin
< searchStrList ["k"*10"00003""k"*25 "k"*10"00050""k"*25] 2
< removeOneStr "k"*10"00003""k"*25 null
$ "$KEL_SOURCE/tests/targets/everyAllocationFails.sh" script
every allocation failed in turn, each reported
