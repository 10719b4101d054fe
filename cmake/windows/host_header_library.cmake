# A header-only library of the build machine, for a cross build: an imported
# target whose include folder holds that library's headers alone, linked from
# the build machine's /usr/include (which as a whole belongs to another C
# library and must stay out of the cross compiler's search path).
# Further arguments are the target's compile definitions.
function(propclear_host_header_library target header_folder)
  if(TARGET ${target})
    return()
  endif()
  set(source /usr/include/${header_folder})
  if(NOT IS_DIRECTORY ${source})
    message(FATAL_ERROR "${target}: ${source} is missing (is its Debian package installed?)")
  endif()
  set(include_root ${CMAKE_BINARY_DIR}/host-headers/${header_folder})
  file(MAKE_DIRECTORY ${include_root})
  file(CREATE_LINK ${source} ${include_root}/${header_folder} SYMBOLIC)
  add_library(${target} INTERFACE IMPORTED)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${include_root}
                        INTERFACE_COMPILE_DEFINITIONS "${ARGN}")
endfunction()
