# cmake --install into a temporary prefix, and hosts built against what it
# installed: the README's example host, through find_package and through
# pkg-config, loading the library from the path the package gives.

## what cmake --install puts where
$ cmake --install "$(dirname "$KEL_LIBRARY")" --prefix "$PWD/prefix" > /dev/null
$ cd prefix && find . -path ./share/doc -prune -o -print | sort
.
./bin
./bin/kelht
./include
./include/kelHashTableFun.h
./lib
./lib/cmake
./lib/cmake/kelHashTableFun
./lib/cmake/kelHashTableFun/kelHashTableFunConfig.cmake
./lib/cmake/kelHashTableFun/kelHashTableFunConfigVersion.cmake
./lib/libkelHashTableFun.so
./lib/libkelHashTableFun.so.1
./lib/libkelHashTableFun.so.1.0.0
./lib/pkgconfig
./lib/pkgconfig/kelHashTableFun.pc
./share
$ ls prefix/share/doc/kelHashTableFun/README.md prefix/share/doc/kelHashTableFun/kelht.md
prefix/share/doc/kelHashTableFun/README.md
prefix/share/doc/kelHashTableFun/kelht.md
$ printf 'a\t1\n' | prefix/bin/kelht build --out a.bin && prefix/bin/kelht get a.bin a
key	found	content
a	1	1

## the README's example host, built with find_package and with pkg-config from a moved prefix
# Both give the library's path from where the package lies: the prefix is
# installed, then moved, before the hosts are built.
$ awk '/^```c$/ {keep = 1; next} /^```$/ && keep {exit} keep' "$KEL_SOURCE/README.md" | sed 's/kelHashTableFunLoad(&ht, NULL)/kelHashTableFunLoad(\&ht, KELHASHTABLEFUN_LIBRARY_PATH)/' > myhost.c
$ grep -c KELHASHTABLEFUN_LIBRARY_PATH myhost.c
1
$ cmake --install "$(dirname "$KEL_LIBRARY")" --prefix "$PWD/prefix" > /dev/null && mv prefix moved
$ printf 'cmake_minimum_required(VERSION 3.25)\nproject(myhost C)\nfind_package(kelHashTableFun 1 CONFIG REQUIRED)\nadd_executable(myhost myhost.c)\ntarget_link_libraries(myhost PRIVATE kelHashTableFun::kelHashTableFun)\n' > CMakeLists.txt
$ cmake -S . -B build -G Ninja -DCMAKE_PREFIX_PATH="$PWD/moved" > /dev/null && cmake --build build > /dev/null
$ build/myhost
pear -> 2
$ cc -std=c99 myhost.c -o pkghost -DKELHASHTABLEFUN_LIBRARY_PATH="\"$(PKG_CONFIG_PATH="$PWD/moved/lib/pkgconfig" pkg-config --variable=library kelHashTableFun)\"" $(PKG_CONFIG_PATH="$PWD/moved/lib/pkgconfig" pkg-config --cflags --libs kelHashTableFun)
$ ./pkghost
pear -> 2
