# What a dump does to the path it is given, on every target (links are Unix
# symbolic links, which wine follows as Windows follows its own). Every dump
# here writes the table of long key 1 with content 7: 25 bytes.

## a symbolic link stays a link and the file it points to is replaced; a file a dump created through a link to nothing goes again when the dump ends fatally
$ echo old > target; ln -s target link; ln -s missing dangling; stat -c %i target > inode
$ host
> makeHashTableLng [1] 1 [7]
> dumpToRestartFile link
> write over.bin 1 1 0 2 10 #01 1 20 #01 2
> makeHashTableFromBinFile over.bin
> dumpToRestartFile dangling
HashTablePure: dump_to_restart: counter(1)!=\x8e\xc0\x8d\xdb\x90\x94(2)
[exit 1]
$ stat -c '%n %F %s' link target; stat -c %i target | cmp -s - inode || echo target replaced; ls
link symbolic link 6
target regular file 25
target replaced
dangling
inode
link
over.bin
target

## temporary files of killed dumps go with the next dump; one whose writer still holds its lock stays
$ touch f.1-0.tmp f.2-0.tmp f.2-x.tmp g.1-0.tmp; python3 -c 'import fcntl,os,subprocess; f=open("f.2-0.tmp","w"); fcntl.lockf(f,fcntl.LOCK_EX); subprocess.run(os.environ["KEL_HOST"].split())'
> makeHashTableLng [1] 1 [7]
> dumpToRestartFile f
$ ls
f
f.2-0.tmp
f.2-x.tmp
g.1-0.tmp
