# 64-bit Windows: x86_64 MinGW-w64. Its programs run here under wine and so
# exercise the Windows code paths of the library.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(KEL_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
