# Shared by the MinGW-w64 toolchains: cross-compiling to Windows from Linux.
# KEL_MINGW_TRIPLET names the compiler family (i686-w64-mingw32 or
# x86_64-w64-mingw32). The "-win32" compilers use the native Windows thread
# model, so nothing pulls in libwinpthread-1.dll; libgcc and libstdc++ are
# linked statically, leaving KERNEL32, USER32 and msvcrt as the only imports.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${KEL_MINGW_TRIPLET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${KEL_MINGW_TRIPLET}-g++-win32)
set(CMAKE_RC_COMPILER ${KEL_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KEL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")

# Programs built here run under wine (64-bit only: this machine has no wine32).
find_program(KEL_WINE NAMES wine)
set(KEL_OBJDUMP ${KEL_MINGW_TRIPLET}-objdump)
