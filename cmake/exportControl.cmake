# Only the exports leave the shared library: hidden visibility by
# default (see compilerSettings.cmake), a version script on ELF, a .def file
# on Windows.
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
