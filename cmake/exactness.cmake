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

# Only the seventeen exports leave the shared library: hidden visibility by
# default, a version script on ELF, a .def file on Windows.
function(kel_export_only_the_api target)
  if(WIN32)
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/api/kelHashTableFun.def)
  else()
    # No -Bsymbolic: one export is named close, and with it every close(fd)
    # inside the library (its own or an inlined one) would bind to that
    # export. Without it such a call finds the C library's close first.
    target_link_options(${target} PRIVATE
      "LINKER:--version-script=${PROJECT_SOURCE_DIR}/api/exports.map" "LINKER:--no-undefined")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${PROJECT_SOURCE_DIR}/api/exports.map)
  endif()
endfunction()
