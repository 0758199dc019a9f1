# Replacing the restart file on disk: a dump that cannot finish, or is
# killed midway, leaves the previous file as it was.

## a dump whose writes fail, or that is killed midway, leaves the previous file intact
# Files may not grow past 64 KiB: with SIGXFSZ ignored the writes fail, with
# its default action the process is killed the moment one would pass it.
$ host
> makeHashTableLng [1 2 3] 3 [10 20 30]
> dumpToRestartFile restart.bin
$ cp restart.bin good.bin
$ (trap '' XFSZ; ulimit -f 128; host)
> makeHashTableLng [0..199999] 200000 null
> dumpToRestartFile restart.bin
$ cmp restart.bin good.bin && ls
good.bin
restart.bin
$ (ulimit -f 128; host)
> makeHashTableLng [0..199999] 200000 null
> dumpToRestartFile restart.bin
File size limit exceeded
[exit 153]
$ cmp restart.bin good.bin && ls | sed 's/[0-9][0-9]*/N/g'
good.bin
restart.bin
restart.bin.N-N.tmp
$ host
> makeHashTableLng [1] 1 [7]
> dumpToRestartFile restart.bin
> bytes restart.bin
  25 bytes
  06000000010000000300000001000000070000000101000000

## a dump with nowhere to write returns quietly; without a table it writes nothing
$ host
> makeHashTableStrList [] 0 null
> dumpToRestartFile no-such-directory/restart.bin
> close
> dumpToRestartFile none.bin
$ ls

## a leftover temporary file does not block a dump; beside a name too long for a temporary name, the file itself is written
$ echo stale > restart.bin.$$-0.tmp; exec $KEL_HOST
> makeHashTableStrList [] 0 null
> dumpToRestartFile restart.bin
> bytes restart.bin
  8 bytes
  0200000000000000
> dumpToRestartFile "n"*250
> bytes "n"*250
  8 bytes
  0200000000000000
$ cat restart.bin.*-0.tmp
stale
