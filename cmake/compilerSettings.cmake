# Compiler settings every part of the library is built with.
#
# Bucket indices come from double arithmetic and must agree on every target:
# no fused multiply-add, no fast-math, no host-specific instruction sets, and
# SSE2 rather than the x87 unit on 32-bit x86.
add_library(kelSettings INTERFACE)
target_compile_options(kelSettings INTERFACE
  $<$<COMPILE_LANG_AND_ID:CXX,GNU,Clang>:-ffp-contract=off -fno-fast-math -Wall -Wextra>
  $<$<COMPILE_LANG_AND_ID:CXX,GNU,Clang>:-fvisibility=hidden -fvisibility-inlines-hidden>)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i.86|x86)$" OR CMAKE_SIZEOF_VOID_P EQUAL 4)
  target_compile_options(kelSettings INTERFACE -msse2 -mfpmath=sse)
endif()
target_include_directories(kelSettings INTERFACE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/include)
target_compile_definitions(kelSettings INTERFACE KELHASHTABLEFUN_NO_LOADER)

# Checked builds walk the table after every changing call and abort when one
# of its invariants is broken (debug and sanitizer presets).
option(KEL_CHECK_INVARIANTS "Check the table's invariants after every changing call" OFF)
if(KEL_CHECK_INVARIANTS)
  target_compile_definitions(kelSettings INTERFACE KEL_CHECK_INVARIANTS)
endif()

# Windows release builds are stripped as they are linked: the compiler's
# runtime, linked in statically, brings debug sections of its own. No
# separate debug file is kept: the library's objects are built without -g.
if(MINGW)
  target_link_options(kelSettings INTERFACE $<$<CONFIG:Release,MinSizeRel>:-s>)
endif()
