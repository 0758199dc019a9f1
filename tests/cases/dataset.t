# makeHashTableDs on data sets a host keeps partly in memory and partly in its
# record and string files. Rows are 12 bytes with the integer cell at byte 4;
# column 0 is a string column, 1 an integer column, 2 of another kind.

## cached rows come from memory, the rows around the cache window from the record file
# The file holds 100 + row for every row, the cache (rows 3 to 6) 200 + row.
$ host
> records 100 101 102 103 104 105 106 107 108 109
> cache 3 203 204 205 206
> makeHashTableDs ds 1 [0 10 20 30 40 50 60 70 80 90]
> list
  10 entries
  20 long 102
  40 long 204
  70 long 107
  60 long 206
  90 long 109
  10 long 101
  30 long 203
  50 long 205
  80 long 108
  0 long 100

## a column held in memory touches no file; repeated keys keep their first content
# Both files are left at offset 2 and hold other values than the memory.
$ host
> records 1 2 3 4
> cache 0 5 9 5 9
> heap "red\0green\0blue\0red\0" "file\0"
> strings 0 4 10 15
> seek records 2
> seek strings 2
> makeHashTableDs ds 1 [1 2 3 4]
> list
  2 entries
  1 long 5
  2 long 9
> makeHashTableDs ds 0 [1 2 3 4]
> list
  3 entries
  1 "red"
  2 "green"
  3 "blue"
> tell records
2
> tell strings
2

## the table is made for the row count whatever the column; only an integer or a string column adds keys
$ host
> records 10 11 12 13 14 15 16
> heap "a\0b\0c\0d\0" ""
> strings 0 2 4 6
> makeHashTableDs ds 1 null
> buckets
  buckets 24 counter 7
> makeHashTableDs ds 0 null
> buckets
  buckets 24 counter 4
> makeHashTableDs ds 2 null
> buckets
  buckets 24 counter 0
> makeHashTableDs ds -1 null
> buckets
  buckets 24 counter 0
> field rowCount 0
> makeHashTableDs ds 1 null
> buckets
  buckets 2 counter 0
> field rowCount -1
> makeHashTableDs ds 1 null
> buckets
  buckets 2 counter 0
> makeHashTableDs null 1 null
> buckets
  buckets 2 counter 0

## a cell that cannot be read: 255 when the file ends before it, 0 when the read or the seek fails
# Contents 1 and 2 show which row gave which key.
$ host
> records 305419896 195939070
> cut 12
> makeHashTableDs ds 1 [1 2]
> list
  2 entries
  2 long 255
  1 long 305419896
> cut 18
> makeHashTableDs ds 1 [1 2]
> list
  2 entries
  2 long 0
  1 long 305419896
> cut 24
> field recordLength 2147483647
> makeHashTableDs ds 1 [1 2]
> list
  2 entries
  2 long 0
  1 long 305419896
> field recordLength 12
> field recordFile -1
> makeHashTableDs ds 1 [1 2]
> list
  1 entries
  1 long 0

## strings from the string file: cut short with their NUL, without it, at the end of the file, or unreachable
# The heap: "mem" in memory (4 bytes), then in the file a string of 1500
# bytes at offset 4, "short" at 1505 and "omega" without a NUL at 1511.
# Every string of the file is read into one buffer, zeroed when the import
# starts: a read at the end of the file puts 0xFF before what the string
# before it left.
$ host
> heap "mem\0" "x"*1500"\0short\0omega"
> strings 0 4 1505 1511 1516 -3
> makeHashTableDs ds 0 [1 2 3 4 5 6]
> list
  6 entries
  6 ""
  4 "omega"
  2 "xxxxxxxxxxxxxxxxxxxx..." (1023 bytes)
  1 "mem"
  3 "short"
  5 "\xffmega"
> field stringFile -1
> makeHashTableDs ds 0 [1 2 3 4 5 6]
> list
  2 entries
  2 ""
  1 "mem"
> heap "m\0" "longer\0"
> strings 9 2 9
> makeHashTableDs ds 0 null
> list
  3 entries
  0 "longer"
  0 "\xff"
  0 "\xffonger"
