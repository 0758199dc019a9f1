# Building, changing and searching the current table through the exports, as
# a host calls them. Listings show every entry in walk order: bucket index
# ascending, each chain from its head.

## a comma list: split at every comma, nothing trimmed, a repeated token keeps its first content
$ host
> makeHashTableStr "a,,b," [1 2 3 4]
> list
  3 entries
  2 ""
  3 "b"
  1 "a"
> makeHashTableStr "a b,\x82\xa0,z" null
> list
  3 entries
  0 "z"
  0 "\x82\xa0"
  0 "a b"
> makeHashTableStr "x,y" [3 4]
> searchStrList [x y "x,y"] 3
  "x" found=1 content=3
  "y" found=1 content=4
  "x,y" found=0 content=-7777

## a builder sizes its table for its keys, and never grows while adding them
$ host
> makeHashTableStrList [] 0 null
> buckets
  buckets 2 counter 0
> makeHashTableLng [1] 1 null
> buckets
  buckets 6 counter 1
> makeHashTableLng [1 2] 2 null
> buckets
  buckets 8 counter 2
> makeHashTableStrList null 10 null
> buckets
  buckets 32 counter 0
> makeHashTableLng [1..1000] 1000 null
> buckets
  buckets 3002 counter 1000

## a long-key build of more entries than a slab holds: keys on either side of the slab's end are found, and adds after it take entries of their own
$ host
> makeHashTableLng [1..100000] 100000 [1..100000]
> each 100001..100002 addOneLng {} {}
> searchLng [1 87381 87382 100000 100001 100002] 6
  1 found=1 content=1
  87381 found=1 content=87381
  87382 found=1 content=87382
  100000 found=1 content=100000
  100001 found=1 content=100001
  100002 found=1 content=100002

## growth doubles the table when an add takes the entries above three quarters of the buckets
$ host
> makeHashTableLng null 2 null
> each 1..6 addOneLng {} {}
> buckets
  buckets 8 counter 6
> addOneLng 7 7
> buckets
  buckets 16 counter 7
> each 8..12 addOneLng {} {}
> buckets
  buckets 16 counter 12
> addOneLng 13 13
> buckets
  buckets 32 counter 13

## entries that meet in one chain again after growth come out in the reverse order
$ host
> makeHashTableLng [1 22] 2 [100 200]
> list
  2 entries
  200 long 22
  100 long 1
> each 3..7 addOneLng {} 0
> list
  7 entries
  0 long 5
  0 long 7
  0 long 4
  100 long 1
  200 long 22
  0 long 6
  0 long 3

## adding keeps a present key's content, setting adds an absent key; a string and a long key never match
$ host
> makeHashTableStrList [k "12"] 2 [5 6]
> addOneLng 7 9
> addOneStr k 50
> setContentStr absent 51
> setContentLng 7 90
> addOneLng 12 60
> list
  5 entries
  5 "k"
  51 "absent"
  90 long 7
  6 "12"
  60 long 12

## null and negative arguments have defined outcomes
$ host
> makeHashTableStrList null 5 [1 2 3]
> buckets
  buckets 18 counter 0
> makeHashTableLng [1 2 3] -3 [1 2 3]
> buckets
  buckets 2 counter 0
> makeHashTableStr null [1 2 3]
> buckets
  buckets 2 counter 0
> makeHashTableStrList [a null c] 3 [1 2 3]
> addOneStr null 4
> setContentStr null 4
> removeOneStr null 9
  -> 0
> list
  2 entries
  3 "c"
  1 "a"
> searchStrList [a null c] 3
  "a" found=1 content=1
  null found=0 content=-7777
  "c" found=1 content=3
> searchStrList null 2
  #0 found=0 content=-7777
  #1 found=0 content=-7777
> searchLng [1] -1
> searchStrList [a c] 2 null null
  "a" found=9 content=-7777
  "c" found=9 content=-7777
> searchStrList [c] 1 null
  "c" found=9 content=3
> makeHashTableStrList [null null] 2 null
> addOneStr a 1
> addOneStr b 2
> list
  2 entries
  2 "b"
  1 "a"

## without a table every call but the builders does nothing; the searches clear their found flags
$ host
> addOneStr a 1
> addOneLng 1 1
> setContentStr a 1
> setContentLng 1 1
> removeOneStr a 5
  -> 5
> removeOneLng 1 5
  -> 5
> dumpToRestartFile none.bin
> list
  untouched: count -1, arrays as they were
> searchStrList [a] 1
  "a" found=0 content=-7777
> searchLng [1] 1
  1 found=0 content=-7777
> makeHashTableLng [1] 1 null
> close
> close
> list
  untouched: count -1, arrays as they were
$ ls

## a table whose bucket count would not fit in 32 bits is out of memory
$ host
> makeHashTableLng [1] 2147483647 null
HashTablePure: HashTable:\x83\x81\x83\x82\x83\x8a\x82\xaa\x91\xab\x82\xe8\x82\xdc\x82\xb9\x82\xf1
[exit 1]

## a library that cannot be loaded is named with the system's reason, any insert in it filled
$ echo text > bad.dll; ${KEL_HOST% *} ./bad.dll | grep -c %1
0
[exit 1]
