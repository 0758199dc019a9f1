# Replacing the restart file on disk: a dump that cannot finish, or is
# killed midway, leaves the previous file as it was; the next dump removes
# what a killed one left.

## a dump with no room for its bytes, or killed midway, leaves the previous file intact; the next dump removes the killed one's temporary file; the host can learn that a dump failed
# Files may not grow past 64 KiB: with SIGXFSZ ignored no room can be
# reserved, neither for a temporary file nor in place; with its default
# action the process is killed the moment it asks for the room.
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
$ od -An -tx1 restart.bin; ls
 06 00 00 00 01 00 00 00 03 00 00 00 01 00 00 00
 07 00 00 00 01 01 00 00 00
good.bin
restart.bin

## a dump with nowhere to write returns quietly; without a table it writes nothing
$ host
> makeHashTableStrList [] 0 null
> dumpToRestartFile no-such-directory/restart.bin
> close
> dumpToRestartFile none.bin
$ ls

## beside a name too long for a temporary name, the file itself is written
$ host
> makeHashTableStrList [] 0 null
> dumpToRestartFile "n"*250
$ od -An -tx1 nnnnnnnnnn*
 02 00 00 00 00 00 00 00
