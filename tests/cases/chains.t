# Keys the bucket hash cannot tell apart share one chain however large the
# table: 40-byte keys that differ only at bytes 10-14 (the hash of a 40-byte
# key reads bytes 0-9, 15-24 and 30-39), and short keys that differ only in
# where their spaces are. Such chains keep exactly the order, the listings
# and the results of any other chain, however long they grow.

## adds one by one through growth keep the chain order; searches, sets and removals find every key
$ host
> makeHashTableStrList [] 0 null
> addOneStr "k"*10"00001""k"*25 1
> addOneStr "k"*10"00002""k"*25 2
> addOneStr "k"*10"00003""k"*25 3
> addOneStr "k"*10"00004""k"*25 4
> addOneStr "k"*10"00005""k"*25 5
> addOneStr "k"*10"00006""k"*25 6
> addOneStr "k"*10"00007""k"*25 7
> addOneStr "k"*10"00008""k"*25 8
> addOneStr "k"*10"00009""k"*25 9
> addOneStr "k"*10"00010""k"*25 10
> addOneStr "k"*10"00011""k"*25 11
> addOneStr "k"*10"00012""k"*25 12
> addOneStr "k"*10"00013""k"*25 13
> addOneStr "k"*10"00014""k"*25 14
> addOneStr "k"*10"00015""k"*25 15
> addOneStr "k"*10"00016""k"*25 16
> addOneStr "k"*10"00017""k"*25 17
> addOneStr "k"*10"00018""k"*25 18
> addOneStr "k"*10"00019""k"*25 19
> addOneStr "k"*10"00020""k"*25 20
> addOneStr "k"*10"00021""k"*25 21
> addOneStr "k"*10"00022""k"*25 22
> addOneStr "k"*10"00023""k"*25 23
> addOneStr "k"*10"00024""k"*25 24
> addOneStr "k"*10"00025""k"*25 25
> addOneStr "k"*10"00026""k"*25 26
> addOneStr "k"*10"00027""k"*25 27
> addOneStr "k"*10"00028""k"*25 28
> addOneStr "k"*10"00029""k"*25 29
> addOneStr "k"*10"00030""k"*25 30
> addOneStr "k"*10"00007""k"*25 99
> buckets
  buckets 64 counter 30
> list
  30 entries
  30 "kkkkkkkkkk00030kkkkkkkkkkkkkkkkkkkkkkkkk"
  29 "kkkkkkkkkk00029kkkkkkkkkkkkkkkkkkkkkkkkk"
  28 "kkkkkkkkkk00028kkkkkkkkkkkkkkkkkkkkkkkkk"
  27 "kkkkkkkkkk00027kkkkkkkkkkkkkkkkkkkkkkkkk"
  26 "kkkkkkkkkk00026kkkkkkkkkkkkkkkkkkkkkkkkk"
  13 "kkkkkkkkkk00013kkkkkkkkkkkkkkkkkkkkkkkkk"
  12 "kkkkkkkkkk00012kkkkkkkkkkkkkkkkkkkkkkkkk"
  11 "kkkkkkkkkk00011kkkkkkkkkkkkkkkkkkkkkkkkk"
  10 "kkkkkkkkkk00010kkkkkkkkkkkkkkkkkkkkkkkkk"
  9 "kkkkkkkkkk00009kkkkkkkkkkkkkkkkkkkkkkkkk"
  8 "kkkkkkkkkk00008kkkkkkkkkkkkkkkkkkkkkkkkk"
  4 "kkkkkkkkkk00004kkkkkkkkkkkkkkkkkkkkkkkkk"
  3 "kkkkkkkkkk00003kkkkkkkkkkkkkkkkkkkkkkkkk"
  1 "kkkkkkkkkk00001kkkkkkkkkkkkkkkkkkkkkkkkk"
  2 "kkkkkkkkkk00002kkkkkkkkkkkkkkkkkkkkkkkkk"
  5 "kkkkkkkkkk00005kkkkkkkkkkkkkkkkkkkkkkkkk"
  6 "kkkkkkkkkk00006kkkkkkkkkkkkkkkkkkkkkkkkk"
  7 "kkkkkkkkkk00007kkkkkkkkkkkkkkkkkkkkkkkkk"
  14 "kkkkkkkkkk00014kkkkkkkkkkkkkkkkkkkkkkkkk"
  15 "kkkkkkkkkk00015kkkkkkkkkkkkkkkkkkkkkkkkk"
  16 "kkkkkkkkkk00016kkkkkkkkkkkkkkkkkkkkkkkkk"
  17 "kkkkkkkkkk00017kkkkkkkkkkkkkkkkkkkkkkkkk"
  18 "kkkkkkkkkk00018kkkkkkkkkkkkkkkkkkkkkkkkk"
  19 "kkkkkkkkkk00019kkkkkkkkkkkkkkkkkkkkkkkkk"
  20 "kkkkkkkkkk00020kkkkkkkkkkkkkkkkkkkkkkkkk"
  21 "kkkkkkkkkk00021kkkkkkkkkkkkkkkkkkkkkkkkk"
  22 "kkkkkkkkkk00022kkkkkkkkkkkkkkkkkkkkkkkkk"
  23 "kkkkkkkkkk00023kkkkkkkkkkkkkkkkkkkkkkkkk"
  24 "kkkkkkkkkk00024kkkkkkkkkkkkkkkkkkkkkkkkk"
  25 "kkkkkkkkkk00025kkkkkkkkkkkkkkkkkkkkkkkkk"
> searchStrList ["k"*10"00001""k"*25 "k"*10"00015""k"*25 "k"*10"00030""k"*25 "k"*10"00031""k"*25 "k"*10"00000""k"*25] 5
  "kkkkkkkkkk00001kkkkkkkkkkkkkkkkkkkkkkkkk" found=1 content=1
  "kkkkkkkkkk00015kkkkkkkkkkkkkkkkkkkkkkkkk" found=1 content=15
  "kkkkkkkkkk00030kkkkkkkkkkkkkkkkkkkkkkkkk" found=1 content=30
  "kkkkkkkkkk00031kkkkkkkkkkkkkkkkkkkkkkkkk" found=0 content=-7777
  "kkkkkkkkkk00000kkkkkkkkkkkkkkkkkkkkkkkkk" found=0 content=-7777
> setContentStr "k"*10"00007""k"*25 70
> setContentStr "k"*10"00040""k"*25 40
> removeOneStr "k"*10"00003""k"*25 5
  -> 3
> removeOneStr "k"*10"00003""k"*25 3
  -> 3
> removeOneStr "k"*10"00003""k"*25 3
  -> 0
> removeOneStr "k"*10"00030""k"*25 null
> removeOneStr "k"*10"00001""k"*25 null
> removeOneStr "k"*10"00015""k"*25 15
  -> 15
> list
  27 entries
  40 "kkkkkkkkkk00040kkkkkkkkkkkkkkkkkkkkkkkkk"
  29 "kkkkkkkkkk00029kkkkkkkkkkkkkkkkkkkkkkkkk"
  28 "kkkkkkkkkk00028kkkkkkkkkkkkkkkkkkkkkkkkk"
  27 "kkkkkkkkkk00027kkkkkkkkkkkkkkkkkkkkkkkkk"
  26 "kkkkkkkkkk00026kkkkkkkkkkkkkkkkkkkkkkkkk"
  13 "kkkkkkkkkk00013kkkkkkkkkkkkkkkkkkkkkkkkk"
  12 "kkkkkkkkkk00012kkkkkkkkkkkkkkkkkkkkkkkkk"
  11 "kkkkkkkkkk00011kkkkkkkkkkkkkkkkkkkkkkkkk"
  10 "kkkkkkkkkk00010kkkkkkkkkkkkkkkkkkkkkkkkk"
  9 "kkkkkkkkkk00009kkkkkkkkkkkkkkkkkkkkkkkkk"
  8 "kkkkkkkkkk00008kkkkkkkkkkkkkkkkkkkkkkkkk"
  4 "kkkkkkkkkk00004kkkkkkkkkkkkkkkkkkkkkkkkk"
  2 "kkkkkkkkkk00002kkkkkkkkkkkkkkkkkkkkkkkkk"
  5 "kkkkkkkkkk00005kkkkkkkkkkkkkkkkkkkkkkkkk"
  6 "kkkkkkkkkk00006kkkkkkkkkkkkkkkkkkkkkkkkk"
  70 "kkkkkkkkkk00007kkkkkkkkkkkkkkkkkkkkkkkkk"
  14 "kkkkkkkkkk00014kkkkkkkkkkkkkkkkkkkkkkkkk"
  16 "kkkkkkkkkk00016kkkkkkkkkkkkkkkkkkkkkkkkk"
  17 "kkkkkkkkkk00017kkkkkkkkkkkkkkkkkkkkkkkkk"
  18 "kkkkkkkkkk00018kkkkkkkkkkkkkkkkkkkkkkkkk"
  19 "kkkkkkkkkk00019kkkkkkkkkkkkkkkkkkkkkkkkk"
  20 "kkkkkkkkkk00020kkkkkkkkkkkkkkkkkkkkkkkkk"
  21 "kkkkkkkkkk00021kkkkkkkkkkkkkkkkkkkkkkkkk"
  22 "kkkkkkkkkk00022kkkkkkkkkkkkkkkkkkkkkkkkk"
  23 "kkkkkkkkkk00023kkkkkkkkkkkkkkkkkkkkkkkkk"
  24 "kkkkkkkkkk00024kkkkkkkkkkkkkkkkkkkkkkkkk"
  25 "kkkkkkkkkk00025kkkkkkkkkkkkkkkkkkkkkkkkk"
> removeOneStr "k"*10"00002""k"*25 2
  -> 2
> removeOneStr "k"*10"00004""k"*25 4
  -> 4
> removeOneStr "k"*10"00005""k"*25 5
  -> 5
> removeOneStr "k"*10"00006""k"*25 6
  -> 6
> removeOneStr "k"*10"00007""k"*25 70
  -> 70
> removeOneStr "k"*10"00008""k"*25 8
  -> 8
> removeOneStr "k"*10"00009""k"*25 9
  -> 9
> removeOneStr "k"*10"00010""k"*25 10
  -> 10
> removeOneStr "k"*10"00011""k"*25 11
  -> 11
> removeOneStr "k"*10"00012""k"*25 12
  -> 12
> removeOneStr "k"*10"00013""k"*25 13
  -> 13
> removeOneStr "k"*10"00014""k"*25 14
  -> 14
> removeOneStr "k"*10"00016""k"*25 16
  -> 16
> removeOneStr "k"*10"00017""k"*25 17
  -> 17
> removeOneStr "k"*10"00018""k"*25 18
  -> 18
> removeOneStr "k"*10"00019""k"*25 19
  -> 19
> removeOneStr "k"*10"00020""k"*25 20
  -> 20
> removeOneStr "k"*10"00021""k"*25 21
  -> 21
> removeOneStr "k"*10"00022""k"*25 22
  -> 22
> removeOneStr "k"*10"00023""k"*25 23
  -> 23
> removeOneStr "k"*10"00024""k"*25 24
  -> 24
> removeOneStr "k"*10"00025""k"*25 25
  -> 25
> removeOneStr "k"*10"00026""k"*25 26
  -> 26
> removeOneStr "k"*10"00027""k"*25 27
  -> 27
> removeOneStr "k"*10"00028""k"*25 28
  -> 28
> removeOneStr "k"*10"00029""k"*25 29
  -> 29
> list
  1 entries
  40 "kkkkkkkkkk00040kkkkkkkkkkkkkkkkkkkkkkkkk"
> addOneStr "k"*10"00005""k"*25 5
> list
  2 entries
  5 "kkkkkkkkkk00005kkkkkkkkkkkkkkkkkkkkkkkkk"
  40 "kkkkkkkkkk00040kkkkkkkkkkkkkkkkkkkkkkkkk"

## a builder with a repeated key keeps the first; keys that differ only in their spaces share a chain too
$ host
> makeHashTableStrList ["   abc" "  a bc" "  ab c" "  abc " " a  bc" " a b c" " a bc " " ab  c" " ab c " " abc  " "a   bc" "a  b c" "a  bc " "a b  c" "a b c " "a bc  " "ab   c" "ab  c " "ab c  " "abc   " " a  bc"] 21 [1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21]
> list
  20 entries
  20 "abc   "
  19 "ab c  "
  18 "ab  c "
  17 "ab   c"
  16 "a bc  "
  15 "a b c "
  14 "a b  c"
  13 "a  bc "
  12 "a  b c"
  11 "a   bc"
  10 " abc  "
  9 " ab c "
  8 " ab  c"
  7 " a bc "
  6 " a b c"
  5 " a  bc"
  4 "  abc "
  3 "  ab c"
  2 "  a bc"
  1 "   abc"
> searchStrList ["   abc" "abc   " "abc" "a  bc"] 4
  "   abc" found=1 content=1
  "abc   " found=1 content=20
  "abc" found=0 content=-7777
  "a  bc" found=0 content=-7777
> removeOneStr "abc   " null
> removeOneStr "   abc" 1
  -> 1
> addOneStr "abc" 50
> list
  19 entries
  50 "abc"
  19 "ab c  "
  18 "ab  c "
  17 "ab   c"
  16 "a bc  "
  15 "a b c "
  14 "a b  c"
  13 "a  bc "
  12 "a  b c"
  11 "a   bc"
  10 " abc  "
  9 " ab c "
  8 " ab  c"
  7 " a bc "
  6 " a b c"
  5 " a  bc"
  4 "  abc "
  3 "  ab c"
  2 "  a bc"

## a restored chain that repeats a key: searches find its first entry, removals walk on past an entry the filter keeps
$ host
> write f.bin 1 21 0 21 10 #01 1 20 #01 2 30 #01 3 40 #01 4 50 #01 5 60 #01 6 70 #01 7 80 #01 8 90 #01 9 100 #01 10 110 #01 11 120 #01 12 130 #01 13 140 #01 14 150 #01 15 160 #01 16 170 #01 17 180 #01 18 190 #01 19 200 #01 20 500 #01 5
> makeHashTableFromBinFile f.bin
> searchLng [5 20 21] 3
  5 found=1 content=50
  20 found=1 content=200
  21 found=0 content=-7777
> removeOneLng 5 9
  -> 500
> removeOneLng 5 500
  -> 500
> removeOneLng 5 9
  -> 50
> searchLng [5] 1
  5 found=1 content=50
> removeOneLng 5 null
> removeOneLng 6 60
  -> 60
> addOneLng 5 7
> list
  19 entries
  130 long 13
  7 long 5
  180 long 18
  100 long 10
  20 long 2
  150 long 15
  70 long 7
  200 long 20
  120 long 12
  40 long 4
  170 long 17
  90 long 9
  10 long 1
  140 long 14
  190 long 19
  110 long 11
  30 long 3
  160 long 16
  80 long 8

## a restored long chain in a bucket its keys do not all hash to: only those that belong there are found until the table grows
$ host
> write f.bin 2 22 1 22 10 #01 1 20 #01 2 30 #01 3 40 #01 4 50 #01 5 60 #01 6 70 #01 7 80 #01 8 90 #01 9 100 #01 10 110 #01 11 120 #01 12 130 #01 13 140 #01 14 150 #01 15 160 #01 16 170 #01 17 180 #01 18 190 #01 19 200 #01 20 210 #00 "k"*10"00001""k"*25 220 #00 "k"*10"00002""k"*25
> makeHashTableFromBinFile f.bin
> searchLng [1 2 3 4 5 6 7 8 9 10] 10
  1 found=1 content=10
  2 found=0 content=-7777
  3 found=1 content=30
  4 found=0 content=-7777
  5 found=0 content=-7777
  6 found=1 content=60
  7 found=0 content=-7777
  8 found=1 content=80
  9 found=1 content=90
  10 found=0 content=-7777
> searchStrList ["k"*10"00001""k"*25 "k"*10"00003""k"*25] 2
  "kkkkkkkkkk00001kkkkkkkkkkkkkkkkkkkkkkkkk" found=1 content=210
  "kkkkkkkkkk00003kkkkkkkkkkkkkkkkkkkkkkkkk" found=0 content=-7777
> removeOneLng 1 10
  -> 10
> removeOneLng 2 null
> removeOneLng 3 7
  -> 30
> removeOneStr "k"*10"00002""k"*25 220
  -> 220
> list
  20 entries
  20 long 2
  30 long 3
  40 long 4
  50 long 5
  60 long 6
  70 long 7
  80 long 8
  90 long 9
  100 long 10
  110 long 11
  120 long 12
  130 long 13
  140 long 14
  150 long 15
  160 long 16
  170 long 17
  180 long 18
  190 long 19
  200 long 20
  210 "kkkkkkkkkk00001kkkkkkkkkkkkkkkkkkkkkkkkk"
> addOneLng 2 2
> buckets
  buckets 32 counter 20
> searchLng [2 3 4 5 6 7 8 9 10] 9
  2 found=1 content=2
  3 found=1 content=30
  4 found=1 content=40
  5 found=1 content=50
  6 found=1 content=60
  7 found=1 content=70
  8 found=1 content=80
  9 found=1 content=90
  10 found=1 content=100
> list
  20 entries
  130 long 13
  50 long 5
  180 long 18
  100 long 10
  2 long 2
  150 long 15
  70 long 7
  200 long 20
  120 long 12
  40 long 4
  170 long 17
  90 long 9
  140 long 14
  60 long 6
  190 long 19
  210 "kkkkkkkkkk00001kkkkkkkkkkkkkkkkkkkkkkkkk"
  110 long 11
  30 long 3
  160 long 16
  80 long 8
