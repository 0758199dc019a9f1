# What a dump does to the path it is given, by kind of target. A dump opens
# the path as a plain write would; it replaces a regular file with a single
# link through a temporary file and a rename, keeping owner, group, mode and
# extended attributes, and writes everything else in place. Every dump here
# writes the table of long key 1 with content 7: 25 bytes.

## a new file is created; a regular file is replaced, keeping another owner, its group, its mode, its extended attributes and ACL
$ echo old > owned; chown nobody:nogroup owned; chmod 640 owned; setfattr -n user.note -v kept owned; setfacl -m u:daemon:r owned; stat -c %i owned > inode
$ host
> makeHashTableLng [1] 1 [7]
> dumpToRestartFile new
> dumpToRestartFile owned
$ stat -c '%n %F %h %U:%G %a %s' new owned; stat -c %i owned | cmp -s - inode || echo owned replaced; getfacl -cp owned; getfattr -n user.note owned; ls
new regular file 1 root:root 644 25
owned regular file 1 nobody:nogroup 640 25
owned replaced
user::rw-
user:daemon:r--
group::r--
mask::r--
other::---

# file: owned
user.note="kept"

inode
new
owned

## a file with two links is written in place, so both names see the dump
$ echo old > a; ln a b
$ host
> makeHashTableLng [1] 1 [7]
> dumpToRestartFile a
$ stat -c '%n %h %s' a b; cmp a b
a 2 25
b 2 25

## a file whose extended attributes a new file cannot take is written in place
$ echo old > labelled; chown nobody:nogroup labelled; setfattr -n security.note -v kept labelled; stat -c %i labelled > inode
$ runuser -u nobody -- $KEL_HOST
> makeHashTableLng [1] 1 [7]
> dumpToRestartFile labelled
$ stat -c %i labelled | cmp - inode && getfattr -n security.note labelled && stat -c %s labelled
# file: labelled
security.note="kept"

25

## a FIFO gets the bytes through the pipe, a device node stays a device
$ mkfifo fifo; mknod null c 1 3
$ cat fifo > received & host; wait
> makeHashTableLng [1] 1 [7]
> dumpToRestartFile fifo
> dumpToRestartFile null
$ stat -c '%n %F' fifo null; stat -c '%s' received
fifo fifo
null character special file
25

## a path that cannot be opened for writing leaves everything as it was: a folder, a read-only file for another user, nothing at all
# A counter that disagrees with the chains would be fatal, but only once the
# target is open.
$ mkdir folder; echo old > readonly; chmod 444 readonly
$ host
> write over.bin 1 1 0 2 10 #01 1 20 #01 2
> makeHashTableFromBinFile over.bin
> dumpToRestartFile folder
> dumpToRestartFile ""
> dumpToRestartFile no-such-folder/file
$ runuser -u nobody -- $KEL_HOST
> makeHashTableLng [1] 1 [7]
> dumpToRestartFile readonly
$ cat readonly; ls
old
folder
over.bin
readonly

## a dump that ends with the counter check leaves a replaced file intact and a written-through one with the bytes before the check
$ echo old > replaced; echo old > linked; ln linked other
$ host
> write over.bin 1 1 0 2 10 #01 1 20 #01 2
> makeHashTableFromBinFile over.bin
> dumpToRestartFile replaced
HashTablePure: dump_to_restart: counter(1)!=\x8e\xc0\x8d\xdb\x90\x94(2)
[exit 1]
$ host
> makeHashTableFromBinFile over.bin
> dumpToRestartFile linked
HashTablePure: dump_to_restart: counter(1)!=\x8e\xc0\x8d\xdb\x90\x94(2)
[exit 1]
$ cat replaced; stat -c '%n %s' linked other; ls
old
linked 34
other 34
linked
other
over.bin
replaced
