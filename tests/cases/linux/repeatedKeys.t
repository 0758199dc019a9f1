# A build from a host's array that repeats a few keys many times reserves
# room for the keys that end up in the table, not for every repeat, so it
# fits in an address space capped as a 32-bit host's is. (Not with the
# sanitizers, which reserve address space of their own.)

## 2,000,000 pointers cycling over 1,000 keys of 100 bytes, in 150 MB of address space; the first content of each key stays
$ ulimit -v 150000 && host
> makeHashTableStrList ["k"*96"{1000..1999}"]*2000 2000000 [1..2000000]
> buckets
  buckets 6000002 counter 1000
> searchStrList ["k"*96"1000" "k"*96"1999" "k"*96"2000"] 3
  "kkkkkkkkkkkkkkkkkkkk..." (100 bytes) found=1 content=1
  "kkkkkkkkkkkkkkkkkkkk..." (100 bytes) found=1 content=1000
  "kkkkkkkkkkkkkkkkkkkk..." (100 bytes) found=0 content=-7777
