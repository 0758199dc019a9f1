# kelht on a terminal: a progress bar on standard error while it reads a
# file of 8 MiB or more, redrawn at each percent and erased when it is done;
# none for smaller files, nor when standard error is not a terminal.

## a progress bar on a terminal only, for large files
$ seq 1 500000 | kelht build --long --out large.bin
$ seq 1 300000 | kelht build --long --out small.bin
$ script -qec "$KEL_KELHT verify large.bin" /dev/null | tr '\r' '\n' | grep -c '%$'
100
$ script -qec "$KEL_KELHT verify large.bin" /dev/null | tr '\r' '\n' | grep -v '^$' | sed -n '1p;$p' | sed 's/ *$/|/'
[                                        ]   0%|
large.bin: sound: 500000 entries in 1500002 buckets|
$ script -qec "$KEL_KELHT verify large.bin" /dev/null | tr '\r' '\n' | grep -v '^$' | tail -n 2 | sed 's/ *$/|/'
|
large.bin: sound: 500000 entries in 1500002 buckets|
$ script -qec "$KEL_KELHT verify small.bin" /dev/null | tr '\r' '\n' | grep -v '^$'
small.bin: sound: 300000 entries in 900002 buckets
$ kelht verify large.bin 2>&1
large.bin: sound: 500000 entries in 1500002 buckets

## a file that opens but cannot be read: exit status 2
# /proc/self/mem fails its first read, and so does a folder on standard input.
$ kelht info /proc/self/mem; echo "[$?]"; kelht build --out out.bin < .
kelht: /proc/self/mem: cannot read the file
[2]
kelht: -: cannot read the file
[exit 2]
