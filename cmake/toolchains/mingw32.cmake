# 32-bit Windows (the host's own target): i686 MinGW-w64.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KEL_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
