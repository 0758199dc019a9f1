# What a dump does on Windows to files that a plain write treats its own
# way. Every dump here writes the table of long key 1 with content 7: 25
# bytes.

## a file with the read-only or hidden attribute is left as it is; one a reader holds open is written in place
# Wine shows a dot file as hidden; it runs as root here, which would let it
# write a read-only file.
$ echo old > readonly; chmod 444 readonly; echo old > .hidden; echo old > held; stat -c %i held > inode
$ host
> makeHashTableLng [1] 1 [7]
> dumpToRestartFile readonly
> dumpToRestartFile .hidden
> hold held
> dumpToRestartFile held
$ cat readonly .hidden; stat -c %i held | cmp - inode && stat -c %s held; ls
old
old
25
held
inode
readonly
