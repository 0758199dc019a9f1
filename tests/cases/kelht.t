# kelht, the command-line tool, on every target that runs programs. Its
# transcripts are the same everywhere: on Windows it writes bytes without
# line-end translation.

## build from lines of key and content, then list, info, verify and get
# Keys are escaped as list prints them: \\ and \xHH. A line without a tab is
# a key with content 0; a repeated key keeps its first content.
$ printf 'apple\t1\npear\t-2\nback\\\\slash\t3\n\\x01\\xff\t4\nbare\napple\t9\n\n' > fruit.txt
$ kelht build --out fruit.bin fruit.txt
$ kelht list fruit.bin
bucket	position	kind	key	content
0	0	string		0
3	0	string	back\\slash	3
7	0	string	bare	0
8	0	string	\x01\xff	4
9	0	string	apple	1
19	0	string	pear	-2
$ kelht info fruit.bin
buckets: 20
counter: 6
entries: 6
string keys: 6
long keys: 0
load factor: 0.300
longest chain: 1
chain lengths:
  0: 14 buckets
  1: 6 buckets
file bytes per entry: 19.5
$ kelht verify fruit.bin
fruit.bin: sound: 6 entries in 20 buckets
$ kelht get fruit.bin pear 'back\\slash' '' plum
key	found	content
pear	1	-2
back\\slash	1	3
	1	0
plum	0	
[exit 1]
$ kelht get fruit.bin apple
key	found	content
apple	1	1

## long keys, from standard input
$ printf '1\t10\n-1\t20\n2147483647\t30\n-2147483648\n' | kelht build --long --out longs.bin
$ kelht list longs.bin
bucket	position	kind	key	content
1	0	long	2147483647	30
3	0	long	-2147483648	0
5	0	long	-1	20
8	0	long	1	10
$ kelht get --long longs.bin -1 -2147483648 5
key	found	content
-1	1	20
-2147483648	1	0
5	0	
[exit 1]

## a plain listing builds a table of the same keys, of both kinds
# The long key 12 stays long beside the string "12"; diff ignores bucket
# counts. JSON lines give a string key as a JSON string when it is UTF-8,
# as hexadecimal bytes otherwise, and a long key as a number.
$ kelht list "$KEL_DATA/restart/mixed.bin" | kelht build --out plain.bin && kelht diff "$KEL_DATA/restart/mixed.bin" plain.bin
change	kind	key	a	b
$ kelht list plain.bin | kelht build --out again.bin && cmp plain.bin again.bin
$ printf 'bucket\tposition\tkind\tkey\tcontent\n0\t0\tlong\t12\t1\n0\t0\tstring\t12\t2\n0\t0\tstring\tcaf\303\251\\x09\\\\"\t3\n0\t0\tstring\t\\xff\t4\n' | kelht build --out kinds.bin
$ kelht list --format jsonl kinds.bin | tee kinds.jsonl && python3 -c 'import json, sys; [print(json.loads(line)) for line in sys.stdin]' < kinds.jsonl
{"bucket":3,"position":0,"kind":"string","key":"12","content":2}
{"bucket":5,"position":0,"kind":"long","key":12,"content":1}
{"bucket":6,"position":0,"kind":"string","key":"caf\xc3\xa9\u0009\\\"","content":3}
{"bucket":8,"position":0,"kind":"string","keyHex":"ff","content":4}
{'bucket': 3, 'position': 0, 'kind': 'string', 'key': '12', 'content': 2}
{'bucket': 5, 'position': 0, 'kind': 'long', 'key': 12, 'content': 1}
{'bucket': 6, 'position': 0, 'kind': 'string', 'key': 'caf\xc3\xa9\t\\"', 'content': 3}
{'bucket': 8, 'position': 0, 'kind': 'string', 'keyHex': 'ff', 'content': 4}

## diff: keys only in a, only in b, and with other contents
$ printf 'a\t1\nb\t2\nc\t3\n' | kelht build --out a.bin
$ printf 'b\t5\nc\t3\nd\t4\n' | kelht build --out b.bin
$ kelht diff a.bin b.bin
change	kind	key	a	b
changed	string	b	2	5
only-a	string	a	1	
only-b	string	d		4
[exit 1]
$ kelht diff "$KEL_DATA/restart/mixed.bin" "$KEL_DATA/restart/mixed.bin"
change	kind	key	a	b

## build from a CSV column, with a column of contents
# Fields may be quoted, with commas, doubled quotes and line breaks inside;
# a line is counted from the start of the input.
$ printf 'name,count\n"Smith, J.",3\n"say ""hi""",4\nplain,5\n"two\nlines",6\n' > people.csv
$ kelht build --csv --column 1 --content-column 2 --out people.bin people.csv
kelht: people.csv: line 1: content "count" is not a 32-bit integer
[exit 2]
$ tail -n +2 people.csv | kelht build --csv --column 1 --content-column 2 --out people.bin
$ kelht list people.bin
bucket	position	kind	key	content
0	0	string	plain	5
5	0	string	say "hi"	4
9	0	string	two\x0alines	6
11	0	string	Smith, J.	3
$ printf 'x,y\n' >> people.csv
$ tail -n +2 people.csv | kelht build --csv --column 1 --content-column 2 --out people.bin
kelht: -: line 6: content "y" is not a 32-bit integer
[exit 2]
$ tail -n +2 people.csv | kelht build --csv --column 2 --long --out counts.bin
kelht: -: line 6: long key "y" is not a 32-bit integer
[exit 2]
$ ls
people.bin
people.csv

## a malformed line is reported with its number and nothing is written
$ printf 'a\t1\nb\tx\n' | kelht build --out out.bin
kelht: -: line 2: content "x" is not a 32-bit integer
[exit 2]
$ printf 'a\t1\nb\t1\t2\n' | kelht build --out out.bin
kelht: -: line 2: more than a key and a content
[exit 2]
$ printf 'a\nb\\q\n' | kelht build --out out.bin
kelht: -: line 2: not a key: a broken escape or a NUL byte
[exit 2]
$ printf 'a\\x00b\n' | kelht build --out out.bin
kelht: -: line 1: not a key: a broken escape or a NUL byte
[exit 2]
$ printf '1\n2\nthree\n' | kelht build --long --out out.bin
kelht: -: line 3: long key "three" is not a 32-bit integer
[exit 2]
$ printf '1\t2147483648\n' | kelht build --long --out out.bin
kelht: -: line 1: content "2147483648" is not a 32-bit integer
[exit 2]
$ printf 'a,1\n"b,2\n' | kelht build --csv --column 1 --out out.bin
kelht: -: line 2: a quoted field is not closed
[exit 2]
$ printf 'a,1\nb\n' | kelht build --csv --column 1 --content-column 2 --out out.bin
kelht: -: line 2: no column 2
[exit 2]

## a damaged file: verify names the offset the loader gives (tests/cases/restart.t) and why; list shows the entries before the damage, the other commands stop
$ host < "$KEL_DATA/restart/damaged.script" > /dev/null
$ for f in empty short size negative counter chain bucket below length content flag isLong longKey unended long past; do kelht verify $f.bin; echo "[$?]"; done
empty.bin: damaged at offset 0: the file ends before the bucket count
[1]
short.bin: damaged at offset 0: the file ends before the bucket count
[1]
size.bin: damaged at offset 0: bucket count below 1
[1]
negative.bin: damaged at offset 0: bucket count below 1
[1]
counter.bin: damaged at offset 4: the file ends before the counter
[1]
chain.bin: damaged at offset 8: the file ends where a chain record should start (the counter asks for more entries)
[1]
bucket.bin: damaged at offset 8: bucket index outside 0..3
[1]
below.bin: damaged at offset 8: bucket index outside 0..3
[1]
length.bin: damaged at offset 12: the file ends before a chain length
[1]
content.bin: damaged at offset 16: the file ends where an entry record should start (the chain length asks for more)
[1]
flag.bin: damaged at offset 20: the file ends before an isLong byte
[1]
isLong.bin: damaged at offset 20: isLong byte other than 0 and 1
[1]
longKey.bin: damaged at offset 21: the file ends before a long key
[1]
unended.bin: damaged at offset 21: string key without its NUL before the end of the file
[1]
long.bin: damaged at offset 21: string key longer than 499999 bytes
[1]
past.bin: offset 25: entry 2 is beyond the counter 1: the last chain is read whole
past.bin: offset 25: long key 2 belongs in bucket 0, not in bucket 2
past.bin: damaged at offset 34: the file ends where an entry record should start (the chain length asks for more)
[1]
$ kelht list past.bin
bucket	position	kind	key	content
2	0	long	1	1
2	1	long	2	2
kelht: past.bin: damaged at offset 34: the file ends where an entry record should start (the chain length asks for more)
[exit 1]
$ kelht info past.bin
kelht: past.bin: damaged at offset 34: the file ends where an entry record should start (the chain length asks for more)
[exit 1]
$ kelht get past.bin a
kelht: past.bin: damaged at offset 34: the file ends where an entry record should start (the chain length asks for more)
[exit 2]
$ kelht diff "$KEL_DATA/restart/empty.bin" past.bin
kelht: past.bin: damaged at offset 34: the file ends where an entry record should start (the chain length asks for more)
[exit 2]

## verify: what the loader accepts but a dump never writes; restart listings
# With 4 buckets long key 1 belongs in bucket 2, 2 and 5 in bucket 0, 3 in
# bucket 3; the string "a" in bucket 3.
# A restart listing gives back the bytes of the committed files (mixed.bin
# holds both kinds, grown, with removals) and of files whose chains repeat a
# key, sit outside their keys' bucket, repeat a bucket or run past the
# counter. A chain length of 0 comes back as the one entry it stands for, and
# bytes after the last chain are left out. A malformed restart listing
# writes nothing.
$ host
> write sound.bin 4 2 0 1 20 #01 2 2 1 10 #01 1
> write order.bin 4 2 2 0 10 #01 1 0 1 20 #01 2 #ff
> write over.bin 4 1 0 3 1 #01 2 2 #01 5 3 #01 2
> write misplaced.bin 4 1 1 1 1 #01 3
> write twice.bin 4 2 0 1 1 #01 2 0 1 2 #01 5
> write negative.bin 4 -1 #00
> write strings.bin 4 2 3 2 1 #00 "a" 2 #00 "a"
$ for f in sound order over misplaced twice negative strings; do kelht verify $f.bin; echo "[$?]"; done
sound.bin: sound: 2 entries in 4 buckets
[0]
order.bin: offset 12: chain length 0 stands for one entry
order.bin: offset 25: bucket 0 stored after bucket 2: chains go in ascending bucket order
order.bin: offset 42: bytes after the last chain the counter asks for are ignored
order.bin: inconsistent: 3 problems
[1]
over.bin: offset 25: entry 2 is beyond the counter 1: the last chain is read whole
over.bin: offset 34: long key 2 repeats the key at offset 16
over.bin: inconsistent: 2 problems
[1]
misplaced.bin: offset 16: long key 3 belongs in bucket 3, not in bucket 1
misplaced.bin: inconsistent: 1 problem
[1]
twice.bin: offset 25: bucket 0 stored again: the loader keeps this later chain
twice.bin: inconsistent: 1 problem
[1]
negative.bin: offset 4: counter -1 below 0: the loaded table cannot be listed or dumped
negative.bin: offset 8: bytes after the last chain the counter asks for are ignored
negative.bin: inconsistent: 2 problems
[1]
strings.bin: offset 23: string key "a" repeats the key at offset 16
strings.bin: inconsistent: 1 problem
[1]
$ kelht list --format restart order.bin
# kelht restart listing: buckets 4, counter 2
bucket	position	kind	key	content
2	0	long	1	10
0	0	long	2	20
$ for f in "$KEL_DATA"/restart/*.bin sound.bin twice.bin over.bin misplaced.bin strings.bin; do kelht list --format restart "$f" | kelht build --out again.bin && cmp "$f" again.bin && echo "${f#"$KEL_DATA"/}: same"; done
restart/empty.bin: same
restart/longs.bin: same
restart/mixed.bin: same
restart/strings.bin: same
sound.bin: same
twice.bin: same
over.bin: same
misplaced.bin: same
strings.bin: same
$ kelht list --format restart order.bin | kelht build --out again.bin && kelht verify again.bin
again.bin: offset 25: bucket 0 stored after bucket 2: chains go in ascending bucket order
again.bin: inconsistent: 1 problem
[exit 1]
$ c='bucket\tposition\tkind\tkey\tcontent'; for t in "0, counter 0\n$c" "4, counter x\n$c" "4, counter 1\nkey" "4, counter 1\n$c\n4\t0\tlong\t1\t1" "4, counter 2\n$c\n0\t0\tlong\t1\t1\n0\t2\tlong\t2\t2" "4, counter 1\n$c\n0\t0\tlong\t1\t1\n1\t0\tlong\t2\t2" "4, counter 2\n$c\n0\t0\tlong\t1\t1" "4, counter 1\n$c\n0\t0\tnumber\t1\t1"; do printf "# kelht restart listing: buckets $t\n" | kelht build --out bad.bin; echo "[$?]"; done; ls
kelht: -: line 1: bucket count below 1
[2]
kelht: -: line 1: counter "x" is not a 32-bit integer
[2]
kelht: -: line 2: a restart listing's second line is the column line
[2]
kelht: -: line 3: bucket 4 outside 0..3
[2]
kelht: -: line 4: position 2 does not follow the row before it: a chain's positions count up from 0
[2]
kelht: -: line 4: a chain after counter 1 is reached: the library would not read it
[2]
kelht: -: line 1: counter 2 is more than the entries listed (1): the library would refuse the file
[2]
kelht: -: line 3: kind "number" is neither string nor long
[2]
again.bin
misplaced.bin
negative.bin
order.bin
over.bin
sound.bin
strings.bin
twice.bin

## Shift_JIS keys: decoded with --cp932, escaped where they do not decode
# The input is UTF-8: a hiragana a (\343\201\202), two kanji, two half-width
# katakana; "\x82\xa0" is the hiragana a in Shift_JIS; "\x82" alone and
# "\x85\x40" are no characters.
$ printf '\343\201\202\t1\n\346\227\245\346\234\254\t2\n\357\275\266\357\276\205\t3\n\\x82\t4\n\\x85\\x40\t5\n' | kelht build --cp932 --out sjis.bin
$ kelht list --format jsonl --cp932 sjis.bin
{"bucket":6,"position":0,"kind":"string","keyHex":"8540","content":5}
{"bucket":8,"position":0,"kind":"string","key":"\xe6\x97\xa5\xe6\x9c\xac","content":2}
{"bucket":10,"position":0,"kind":"string","key":"\xe3\x81\x82","content":1}
{"bucket":15,"position":0,"kind":"string","keyHex":"82","content":4}
{"bucket":16,"position":0,"kind":"string","key":"\xef\xbd\xb6\xef\xbe\x85","content":3}
$ kelht list --cp932 sjis.bin
bucket	position	kind	key	content
6	0	string	\x85@	5
8	0	string	\xe6\x97\xa5\xe6\x9c\xac	2
10	0	string	\xe3\x81\x82	1
15	0	string	\x82	4
16	0	string	\xef\xbd\xb6\xef\xbe\x85	3
$ kelht list --cp932 sjis.bin | kelht build --cp932 --out again.bin
$ cmp sjis.bin again.bin
$ kelht get --cp932 sjis.bin "$(printf '\346\227\245\346\234\254')" '\x82\xa0'
key	found	content
\xe6\x97\xa5\xe6\x9c\xac	1	2
\xe3\x81\x82	1	1
$ printf '\\xe2\\x82\\xac\n' | kelht build --cp932 --out euro.bin
$ printf '\342\202\254\n' | kelht build --cp932 --out euro.bin
kelht: -: line 1: not a key: a broken escape, a NUL byte or a character Shift_JIS lacks
[exit 2]

## usage and trouble: exit status 2
$ kelht
A subcommand is required
Run with --help for more information.
[exit 2]
$ kelht --help > /dev/null
$ kelht list --format csv fruit.bin
--format: csv not in {jsonl,restart,tsv}
Run with --help for more information.
[exit 2]
$ kelht info absent.bin
kelht: absent.bin: cannot open the file
[exit 2]
$ kelht info . ; echo "[$?]"; kelht build --out out.bin .
kelht: .: a folder, not a file
[2]
kelht: .: a folder, not a file
[exit 2]
$ kelht frobnicate
kelht: unknown command 'frobnicate' (run with --help for the commands)
[exit 2]
$ kelht build fruit.txt
--out is required
Run with --help for more information.
[exit 2]
$ kelht --library absent.so get "$KEL_DATA/restart/empty.bin" a 2>&1 | sed 's/(tried .*)/(tried ...)/'
kelht: cannot load the library (tried ...); give its path with --library

## demo: a tour of the library
$ kelht demo | sed 's/^kelht verify: .*: sound/kelht verify: FILE: sound/'
kelHashTableFun keeps one table of string and integer ("long") keys, each with a content.

makeHashTableStrList: 1000 keys item-0000 .. item-0999, contents 0, 10, 20, ...
  searchStrList: item-0042 -> 420, item-1000 -> absent
  addOneStr item-0042 1: a present key keeps its content -> 420
  setContentStr item-0042 1: -> 1
  removeOneStr item-0001 if its content is 999: kept, it is 10
  removeOneStr item-0001: -> absent
  addOneLng 42 7, setContentLng 43 8, removeOneLng 43: long key 42 -> 7, 43 -> absent, string key "42" -> absent
  getAllValidContents, getAllValidFullContents: 1000 entries; first in walk order: item-0245 -> 2450

dumpToRestartFile, then close. What kelht info says of the file:
buckets: 3002
counter: 1000
entries: 1000
string keys: 999
long keys: 1
load factor: 0.333
longest chain: 3
chain lengths:
  0: 2171 buckets
  1: 670 buckets
  2: 153 buckets
  3: 8 buckets
file bytes per entry: 21.6

makeHashTableFromBinFile: the same chains, without hashing: item-0042 -> 1
kelht verify: FILE: sound: 1000 entries in 3002 buckets

makeHashTableStr "red,green,blue" [1 2 3]: green -> 2
makeHashTableLng [-5 0 5], no contents: -5 -> 0
makeHashTableDs, a data set's second column 100 200 100 300 200: 100 -> 10, 200 -> 20 (the first row wins)
