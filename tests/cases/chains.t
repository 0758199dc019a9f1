# Keys the bucket hash cannot tell apart share one chain however large the
# table: 40-byte keys that differ only at bytes 10-14 (the hash of a 40-byte
# key reads bytes 0-9, 15-24 and 30-39), and short keys that differ only in
# where their spaces are. Such chains keep exactly the order, the listings
# and the results of any other chain, however long they grow.

## adds one by one through growth keep the chain order; searches, sets and removals find every key
$ host
> makeHashTableStrList [] 0 null
> each 10001..10030 addOneStr "k"*10"{}""k"*25 {}
> addOneStr "k"*10"10007""k"*25 99
> buckets
  buckets 64 counter 30
> list
  30 entries
  10030 "kkkkkkkkkk10030kkkkkkkkkkkkkkkkkkkkkkkkk"
  10029 "kkkkkkkkkk10029kkkkkkkkkkkkkkkkkkkkkkkkk"
  10028 "kkkkkkkkkk10028kkkkkkkkkkkkkkkkkkkkkkkkk"
  10027 "kkkkkkkkkk10027kkkkkkkkkkkkkkkkkkkkkkkkk"
  10026 "kkkkkkkkkk10026kkkkkkkkkkkkkkkkkkkkkkkkk"
  10013 "kkkkkkkkkk10013kkkkkkkkkkkkkkkkkkkkkkkkk"
  10012 "kkkkkkkkkk10012kkkkkkkkkkkkkkkkkkkkkkkkk"
  10011 "kkkkkkkkkk10011kkkkkkkkkkkkkkkkkkkkkkkkk"
  10010 "kkkkkkkkkk10010kkkkkkkkkkkkkkkkkkkkkkkkk"
  10009 "kkkkkkkkkk10009kkkkkkkkkkkkkkkkkkkkkkkkk"
  10008 "kkkkkkkkkk10008kkkkkkkkkkkkkkkkkkkkkkkkk"
  10004 "kkkkkkkkkk10004kkkkkkkkkkkkkkkkkkkkkkkkk"
  10003 "kkkkkkkkkk10003kkkkkkkkkkkkkkkkkkkkkkkkk"
  10001 "kkkkkkkkkk10001kkkkkkkkkkkkkkkkkkkkkkkkk"
  10002 "kkkkkkkkkk10002kkkkkkkkkkkkkkkkkkkkkkkkk"
  10005 "kkkkkkkkkk10005kkkkkkkkkkkkkkkkkkkkkkkkk"
  10006 "kkkkkkkkkk10006kkkkkkkkkkkkkkkkkkkkkkkkk"
  10007 "kkkkkkkkkk10007kkkkkkkkkkkkkkkkkkkkkkkkk"
  10014 "kkkkkkkkkk10014kkkkkkkkkkkkkkkkkkkkkkkkk"
  10015 "kkkkkkkkkk10015kkkkkkkkkkkkkkkkkkkkkkkkk"
  10016 "kkkkkkkkkk10016kkkkkkkkkkkkkkkkkkkkkkkkk"
  10017 "kkkkkkkkkk10017kkkkkkkkkkkkkkkkkkkkkkkkk"
  10018 "kkkkkkkkkk10018kkkkkkkkkkkkkkkkkkkkkkkkk"
  10019 "kkkkkkkkkk10019kkkkkkkkkkkkkkkkkkkkkkkkk"
  10020 "kkkkkkkkkk10020kkkkkkkkkkkkkkkkkkkkkkkkk"
  10021 "kkkkkkkkkk10021kkkkkkkkkkkkkkkkkkkkkkkkk"
  10022 "kkkkkkkkkk10022kkkkkkkkkkkkkkkkkkkkkkkkk"
  10023 "kkkkkkkkkk10023kkkkkkkkkkkkkkkkkkkkkkkkk"
  10024 "kkkkkkkkkk10024kkkkkkkkkkkkkkkkkkkkkkkkk"
  10025 "kkkkkkkkkk10025kkkkkkkkkkkkkkkkkkkkkkkkk"
> searchStrList ["k"*10"10001""k"*25 "k"*10"10015""k"*25 "k"*10"10030""k"*25 "k"*10"10031""k"*25 "k"*10"10000""k"*25] 5
  "kkkkkkkkkk10001kkkkkkkkkkkkkkkkkkkkkkkkk" found=1 content=10001
  "kkkkkkkkkk10015kkkkkkkkkkkkkkkkkkkkkkkkk" found=1 content=10015
  "kkkkkkkkkk10030kkkkkkkkkkkkkkkkkkkkkkkkk" found=1 content=10030
  "kkkkkkkkkk10031kkkkkkkkkkkkkkkkkkkkkkkkk" found=0 content=-7777
  "kkkkkkkkkk10000kkkkkkkkkkkkkkkkkkkkkkkkk" found=0 content=-7777
> setContentStr "k"*10"10007""k"*25 70
> setContentStr "k"*10"10040""k"*25 40
> removeOneStr "k"*10"10003""k"*25 5
  -> 10003
> removeOneStr "k"*10"10003""k"*25 10003
  -> 10003
> removeOneStr "k"*10"10003""k"*25 10003
  -> 0
> removeOneStr "k"*10"10030""k"*25 null
> removeOneStr "k"*10"10001""k"*25 null
> removeOneStr "k"*10"10015""k"*25 10015
  -> 10015
> list
  27 entries
  40 "kkkkkkkkkk10040kkkkkkkkkkkkkkkkkkkkkkkkk"
  10029 "kkkkkkkkkk10029kkkkkkkkkkkkkkkkkkkkkkkkk"
  10028 "kkkkkkkkkk10028kkkkkkkkkkkkkkkkkkkkkkkkk"
  10027 "kkkkkkkkkk10027kkkkkkkkkkkkkkkkkkkkkkkkk"
  10026 "kkkkkkkkkk10026kkkkkkkkkkkkkkkkkkkkkkkkk"
  10013 "kkkkkkkkkk10013kkkkkkkkkkkkkkkkkkkkkkkkk"
  10012 "kkkkkkkkkk10012kkkkkkkkkkkkkkkkkkkkkkkkk"
  10011 "kkkkkkkkkk10011kkkkkkkkkkkkkkkkkkkkkkkkk"
  10010 "kkkkkkkkkk10010kkkkkkkkkkkkkkkkkkkkkkkkk"
  10009 "kkkkkkkkkk10009kkkkkkkkkkkkkkkkkkkkkkkkk"
  10008 "kkkkkkkkkk10008kkkkkkkkkkkkkkkkkkkkkkkkk"
  10004 "kkkkkkkkkk10004kkkkkkkkkkkkkkkkkkkkkkkkk"
  10002 "kkkkkkkkkk10002kkkkkkkkkkkkkkkkkkkkkkkkk"
  10005 "kkkkkkkkkk10005kkkkkkkkkkkkkkkkkkkkkkkkk"
  10006 "kkkkkkkkkk10006kkkkkkkkkkkkkkkkkkkkkkkkk"
  70 "kkkkkkkkkk10007kkkkkkkkkkkkkkkkkkkkkkkkk"
  10014 "kkkkkkkkkk10014kkkkkkkkkkkkkkkkkkkkkkkkk"
  10016 "kkkkkkkkkk10016kkkkkkkkkkkkkkkkkkkkkkkkk"
  10017 "kkkkkkkkkk10017kkkkkkkkkkkkkkkkkkkkkkkkk"
  10018 "kkkkkkkkkk10018kkkkkkkkkkkkkkkkkkkkkkkkk"
  10019 "kkkkkkkkkk10019kkkkkkkkkkkkkkkkkkkkkkkkk"
  10020 "kkkkkkkkkk10020kkkkkkkkkkkkkkkkkkkkkkkkk"
  10021 "kkkkkkkkkk10021kkkkkkkkkkkkkkkkkkkkkkkkk"
  10022 "kkkkkkkkkk10022kkkkkkkkkkkkkkkkkkkkkkkkk"
  10023 "kkkkkkkkkk10023kkkkkkkkkkkkkkkkkkkkkkkkk"
  10024 "kkkkkkkkkk10024kkkkkkkkkkkkkkkkkkkkkkkkk"
  10025 "kkkkkkkkkk10025kkkkkkkkkkkkkkkkkkkkkkkkk"
> each 10002..10029 removeOneStr "k"*10"{}""k"*25 null
> list
  1 entries
  40 "kkkkkkkkkk10040kkkkkkkkkkkkkkkkkkkkkkkkk"
> addOneStr "k"*10"10005""k"*25 5
> list
  2 entries
  5 "kkkkkkkkkk10005kkkkkkkkkkkkkkkkkkkkkkkkk"
  40 "kkkkkkkkkk10040kkkkkkkkkkkkkkkkkkkkkkkkk"

## a long-key build whose keys share one bucket: the chain holds them in the reverse of their order, a repeat keeps the first content
$ host
> makeHashTableLng [89 178 233 322 466 555 610 699 843 932 1076 1165 1220 1309 1453 1542 1597 1686 1775 1830 1919 2063 2152 2207 2296 2440 2529 2673 2762 2817 89] 31 [1..31]
> buckets
  buckets 96 counter 30
> list
  30 entries
  30 long 2817
  29 long 2762
  28 long 2673
  27 long 2529
  26 long 2440
  25 long 2296
  24 long 2207
  23 long 2152
  22 long 2063
  21 long 1919
  20 long 1830
  19 long 1775
  18 long 1686
  17 long 1597
  16 long 1542
  15 long 1453
  14 long 1309
  13 long 1220
  12 long 1165
  11 long 1076
  10 long 932
  9 long 843
  8 long 699
  7 long 610
  6 long 555
  5 long 466
  4 long 322
  3 long 233
  2 long 178
  1 long 89
> searchLng [89 2817 1597 1] 4
  89 found=1 content=1
  2817 found=1 content=30
  1597 found=1 content=17
  1 found=0 content=-7777

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
