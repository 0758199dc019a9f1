# Replacing the restart file on disk: a dump that cannot finish, or is
# killed midway, leaves the previous file as it was.

## a dump whose writes fail, or that is killed midway, leaves the previous file intact; the host can learn that it failed
# Files may not grow past 64 KiB: with SIGXFSZ ignored the writes fail, with
# its default action the process is killed the moment one would pass it.
$ host
> makeHashTableLng [1 2 3] 3 [10 20 30]
> dumpToRestartFile restart.bin
$ cp restart.bin good.bin
$ (trap '' XFSZ; ulimit -f 128; host)
> makeHashTableLng [0..199999] 200000 null
> dumpToRestartFile restart.bin
> getLastDumpOutcome
  failed, kept
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
$ od -An -tx1 restart.bin
 06 00 00 00 01 00 00 00 03 00 00 00 01 00 00 00
 07 00 00 00 01 01 00 00 00

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
> dumpToRestartFile "n"*250
$ od -An -tx1 restart.bin; od -An -tx1 nnnnnnnnnn*; cat restart.bin.*-0.tmp
 02 00 00 00 00 00 00 00
 02 00 00 00 00 00 00 00
stale
