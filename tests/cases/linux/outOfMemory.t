# Running out of memory anywhere in the library ends with its own report and
# exit status 1: never an abort, a signal or a hang. Each script below runs
# once for every allocation the library makes, with that one allocation
# failing.

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

## dumping over a new file, a replaced file and a written-through one; loading
$ echo old > linked; ln linked other
$ cat > script
< makeHashTableStrList [a b c "x"*5000] 4 null
< addOneLng 7 7
< dumpToRestartFile new.bin
< dumpToRestartFile new.bin
< dumpToRestartFile linked
< makeHashTableFromBinFile new.bin
< addOneStr d 4
< list
$ "$KEL_SOURCE/tests/targets/everyAllocationFails.sh" script
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
