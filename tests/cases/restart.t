# The restart file: what the reader accepts, and the fatal reports for files
# it cannot use (the bytes a dump writes are in tests/data/restart). Integers
# in files are 32-bit little-endian; an entry is content, isLong, then the
# long key or the string with its NUL.

## the reader places chains as stored, without hashing
# With size 1 every key belongs in bucket 0; with size 2 long key 0 belongs in
# bucket 0 and 1 in bucket 1. Each load replaces the table before it.
$ host
> write f.bin 1 3 0 3 30 #01 3 10 #01 1 20 #01 2
> makeHashTableFromBinFile f.bin
> list
  3 entries
  30 long 3
  10 long 1
  20 long 2
> searchLng [1 2 3] 3
  1 found=1 content=10
  2 found=1 content=20
  3 found=1 content=30
> write f.bin 2 2 0 0 10 #01 0 1 1 11 #01 1
> makeHashTableFromBinFile f.bin
> list
  2 entries
  10 long 0
  11 long 1
> write f.bin 1 2 0 1 50 #01 5 0 1 60 #01 6
> makeHashTableFromBinFile f.bin
> searchLng [5 6] 2
  5 found=0 content=-7777
  6 found=1 content=60
> write f.bin 2 0 0 1 10 #01 0
> makeHashTableFromBinFile f.bin
> searchLng [0] 1
  0 found=0 content=-7777
> write f.bin 2 -1 0 1 10 #01 0
> makeHashTableFromBinFile f.bin
> searchLng [0] 1
  0 found=0 content=-7777
> write f.bin 2 1 1 1 11 #01 1 #ffff01
> makeHashTableFromBinFile f.bin
> list
  1 entries
  11 long 1
> write f.bin 1 1 0 1 8 #00 "x"*499999
> makeHashTableFromBinFile f.bin
> searchStrList ["x"*499999 "x"*499998] 2
  "xxxxxxxxxxxxxxxxxxxx..." (499999 bytes) found=1 content=8
  "xxxxxxxxxxxxxxxxxxxx..." (499998 bytes) found=0 content=-7777

## a chain holding more entries than the counter loads whole, and either listing or a dump of it is fatal
$ host
> write over.bin 1 1 0 2 10 #01 1 20 #01 2
> makeHashTableFromBinFile over.bin
> searchLng [1 2] 2
  1 found=1 content=10
  2 found=1 content=20
> list
HashTablePure: dump_to_restart: counter(1)!=\x8e\xc0\x8d\xdb\x90\x94(2)
[exit 1]
$ host
> makeHashTableFromBinFile over.bin
> contents
HashTablePure: dump_to_restart: counter(1)!=\x8e\xc0\x8d\xdb\x90\x94(2)
[exit 1]
$ host
> makeHashTableLng [1 2 3] 3 [10 20 30]
> dumpToRestartFile good.bin
> makeHashTableFromBinFile over.bin
> dumpToRestartFile good.bin
HashTablePure: dump_to_restart: counter(1)!=\x8e\xc0\x8d\xdb\x90\x94(2)
[exit 1]
$ od -An -tx1 good.bin; ls
 0c 00 00 00 03 00 00 00 02 00 00 00 01 00 00 00
 14 00 00 00 01 02 00 00 00 07 00 00 00 01 00 00
 00 0a 00 00 00 01 01 00 00 00 0a 00 00 00 01 00
 00 00 1e 00 00 00 01 03 00 00 00
good.bin
over.bin

## a damaged file is fatal, with the offset where it stops making sense; checking it first gives that offset, and why
$ host < "$KEL_DATA/restart/damaged.script" > /dev/null
$ for f in empty short size negative counter chain bucket below length content flag isLong longKey unended long past; do printf 'checkRestartFile %s.bin\nmakeHashTableFromBinFile %s.bin\n' $f $f | host || echo "[exit $?]"; done
> checkRestartFile empty.bin
  damaged: damage 1 offset 0 buckets 0 counter 0 entries 0 misplaced 0 trailing 0
> makeHashTableFromBinFile empty.bin
HashTablePure: HashTable:binFileName=empty.bin \x82\xaa\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7(offset=0)
[exit 1]
> checkRestartFile short.bin
  damaged: damage 1 offset 0 buckets 0 counter 0 entries 0 misplaced 0 trailing 0
> makeHashTableFromBinFile short.bin
HashTablePure: HashTable:binFileName=short.bin \x82\xaa\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7(offset=0)
[exit 1]
> checkRestartFile size.bin
  damaged: damage 8 offset 0 buckets 0 counter 0 entries 0 misplaced 0 trailing 0
> makeHashTableFromBinFile size.bin
HashTablePure: HashTable:binFileName=size.bin \x82\xaa\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7(offset=0)
[exit 1]
> checkRestartFile negative.bin
  damaged: damage 8 offset 0 buckets 0 counter 0 entries 0 misplaced 0 trailing 0
> makeHashTableFromBinFile negative.bin
HashTablePure: HashTable:binFileName=negative.bin \x82\xaa\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7(offset=0)
[exit 1]
> checkRestartFile counter.bin
  damaged: damage 2 offset 4 buckets 0 counter 0 entries 0 misplaced 0 trailing 0
> makeHashTableFromBinFile counter.bin
HashTablePure: HashTable:binFileName=counter.bin \x82\xaa\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7(offset=4)
[exit 1]
> checkRestartFile chain.bin
  damaged: damage 3 offset 8 buckets 4 counter 1 entries 0 misplaced 0 trailing 0
> makeHashTableFromBinFile chain.bin
HashTablePure: HashTable:binFileName=chain.bin \x82\xaa\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7(offset=8)
[exit 1]
> checkRestartFile bucket.bin
  damaged: damage 9 offset 8 buckets 4 counter 1 entries 0 misplaced 0 trailing 0
> makeHashTableFromBinFile bucket.bin
HashTablePure: HashTable:binFileName=bucket.bin \x82\xaa\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7(offset=8)
[exit 1]
> checkRestartFile below.bin
  damaged: damage 9 offset 8 buckets 4 counter 1 entries 0 misplaced 0 trailing 0
> makeHashTableFromBinFile below.bin
HashTablePure: HashTable:binFileName=below.bin \x82\xaa\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7(offset=8)
[exit 1]
> checkRestartFile length.bin
  damaged: damage 4 offset 12 buckets 4 counter 1 entries 0 misplaced 0 trailing 0
> makeHashTableFromBinFile length.bin
HashTablePure: HashTable:binFileName=length.bin \x82\xaa\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7(offset=12)
[exit 1]
> checkRestartFile content.bin
  damaged: damage 5 offset 16 buckets 4 counter 1 entries 0 misplaced 0 trailing 0
> makeHashTableFromBinFile content.bin
HashTablePure: HashTable:binFileName=content.bin \x82\xaa\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7(offset=16)
[exit 1]
> checkRestartFile flag.bin
  damaged: damage 6 offset 20 buckets 4 counter 1 entries 0 misplaced 0 trailing 0
> makeHashTableFromBinFile flag.bin
HashTablePure: HashTable:binFileName=flag.bin \x82\xaa\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7(offset=20)
[exit 1]
> checkRestartFile isLong.bin
  damaged: damage 10 offset 20 buckets 4 counter 1 entries 0 misplaced 0 trailing 0
> makeHashTableFromBinFile isLong.bin
HashTablePure: HashTable:binFileName=isLong.bin \x82\xaa\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7(offset=20)
[exit 1]
> checkRestartFile longKey.bin
  damaged: damage 7 offset 21 buckets 4 counter 1 entries 0 misplaced 0 trailing 0
> makeHashTableFromBinFile longKey.bin
HashTablePure: HashTable:binFileName=longKey.bin \x82\xaa\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7(offset=21)
[exit 1]
> checkRestartFile unended.bin
  damaged: damage 12 offset 21 buckets 4 counter 1 entries 0 misplaced 0 trailing 0
> makeHashTableFromBinFile unended.bin
HashTablePure: HashTable:binFileName=unended.bin \x82\xaa\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7(offset=21)
[exit 1]
> checkRestartFile long.bin
  damaged: damage 11 offset 21 buckets 4 counter 1 entries 0 misplaced 0 trailing 0
> makeHashTableFromBinFile long.bin
HashTablePure: HashTable:binFileName=long.bin \x82\xaa\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7(offset=21)
[exit 1]
> checkRestartFile past.bin
  damaged: damage 5 offset 34 buckets 4 counter 1 entries 0 misplaced 1 trailing 0
> makeHashTableFromBinFile past.bin
HashTablePure: HashTable:binFileName=past.bin \x82\xaa\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7(offset=34)
[exit 1]

## a missing file is fatal; a path too long for the message shows as "..." and its last bytes, no Shift_JIS character split
$ host
> makeHashTableFromBinFile absent.bin
HashTablePure: HashTable:binFileName=absent.bin \x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1
[exit 1]
$ host
> makeHashTableFromBinFile "/no-such-directory/""a"*4981
HashTablePure: HashTable:binFileName=...aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa \x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1
[exit 1]
$ host
> makeHashTableFromBinFile "/no-such-directory/""a"*2981"\x82\xa0"*1000
HashTablePure: HashTable:binFileName=...\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0 \x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1
[exit 1]
$ host
> write "./"*1500"d.bin" 0
> makeHashTableFromBinFile "./"*1500"d.bin"
HashTablePure: HashTable:binFileName=...././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././././d.bin \x82\xaa\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7(offset=0)
[exit 1]

## a folder is not a restart file: it is not found
$ host
> makeHashTableFromBinFile .
HashTablePure: HashTable:binFileName=. \x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1
[exit 1]

## a check tells whether loading would end the process, or listing and dumping the table would; a checked load makes only a sound file's table current
# past.bin reads an entry past its counter; again.bin stores bucket 0 twice,
# and the later chain, which replaces the earlier one, leaves 1 entry for a
# counter of 2; below.bin's counter is below 0, so no chain is read. In
# kept.bin the later chain holds the counter's 3 entries. Long key 1 belongs
# in bucket 1 of 2, not in bucket 0.
$ host
> write past.bin 1 1 0 2 10 #01 1 20 #01 2
> write again.bin 1 2 0 1 10 #01 1 0 1 20 #01 2
> write below.bin 2 -1 0 1 10 #01 0
> write damaged.bin 4 1 4 1 1 #01 1
> write kept.bin 1 3 0 1 10 #01 1 0 3 20 #01 2 30 #01 3 40 #01 4
> write misplaced.bin 2 1 0 1 11 #01 1 #ffff01
> makeHashTableLng [5] 1 [50]
> makeHashTableFromBinFileChecked absent.bin
  not opened: damage 0 offset 0 buckets 0 counter 0 entries 0 misplaced 0 trailing 0
> makeHashTableFromBinFileChecked damaged.bin
  damaged: damage 9 offset 8 buckets 4 counter 1 entries 0 misplaced 0 trailing 0
> makeHashTableFromBinFileChecked past.bin
  inconsistent: damage 0 offset 34 buckets 1 counter 1 entries 2 misplaced 0 trailing 0
> makeHashTableFromBinFileChecked again.bin
  inconsistent: damage 0 offset 42 buckets 1 counter 2 entries 1 misplaced 0 trailing 0
> makeHashTableFromBinFileChecked below.bin
  inconsistent: damage 0 offset 8 buckets 2 counter -1 entries 0 misplaced 0 trailing 1
> list
  1 entries
  50 long 5
> checkRestartFile misplaced.bin
  sound: damage 0 offset 25 buckets 2 counter 1 entries 1 misplaced 1 trailing 1
> checkRestartFile kept.bin null
  sound
> checkRestartFile null
  not opened: damage 0 offset 0 buckets 0 counter 0 entries 0 misplaced 0 trailing 0
> list
  1 entries
  50 long 5
> makeHashTableFromBinFileChecked kept.bin
  sound: damage 0 offset 60 buckets 1 counter 3 entries 3 misplaced 0 trailing 0
> list
  3 entries
  20 long 2
  30 long 3
  40 long 4

## the last dump's outcome: none before any dump and after one with a null path, landed, or not opened
$ host
> getLastDumpOutcome
  none
> makeHashTableLng [1] 1 [7]
> dumpToRestartFile restart.bin
> getLastDumpOutcome
  landed
> dumpToRestartFile no-such-directory/restart.bin
> getLastDumpOutcome
  not opened
> dumpToRestartFile null
> getLastDumpOutcome
  none
