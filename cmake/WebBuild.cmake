# The WebAssembly build (emcmake cmake, Debian's emscripten): the core and the
# studio's C interface compiled to one WebAssembly module, which
# scripts/package --web puts into the page build-web/propclear-studio.html.
#
# The libraries the core compiles in are header-only: the build takes them
# from the host's Debian packages through a folder that holds only them, so
# that no host C library header reaches the WebAssembly compiler.
set(PROPCLEAR_BUILD_GUI OFF CACHE BOOL "" FORCE)
set(PROPCLEAR_BUILD_TESTS OFF CACHE BOOL "" FORCE)

set(host_headers ${CMAKE_BINARY_DIR}/host-headers)
foreach(folder toml++ CLI fmt fast_float)
  if(NOT EXISTS /usr/include/${folder})
    message(FATAL_ERROR "/usr/include/${folder} is missing: install the Debian package that "
                        "has it (scripts/lib.sh lists them)")
  endif()
  file(MAKE_DIRECTORY ${host_headers})
  file(CREATE_LINK /usr/include/${folder} ${host_headers}/${folder} SYMBOLIC)
endforeach()

foreach(target tomlplusplus::tomlplusplus CLI11::CLI11 FastFloat::fast_float)
  add_library(${target} INTERFACE IMPORTED)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${host_headers})
endforeach()
add_library(fmt::fmt-header-only INTERFACE IMPORTED)
set_target_properties(fmt::fmt-header-only PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES ${host_headers}
  INTERFACE_COMPILE_DEFINITIONS FMT_HEADER_ONLY=1)
add_library(Threads::Threads INTERFACE IMPORTED)

# The core throws and catches its errors: WebAssembly's own exceptions,
# which cost nothing until one is thrown (emscripten's JavaScript ones route
# every call that may throw through JavaScript, ten times slower). The first
# link builds the C++ library for them into emscripten's cache.
add_compile_options(-fwasm-exceptions)
add_link_options(-fwasm-exceptions)

# The bundled rule files' place in the module's in-memory file system: the
# page's runs find them there as the program finds them beside itself.
set(PROPCLEAR_WEB_RULES_FOLDER /propclear/rules)

# The module: the C interface exported, the WebAssembly inside the script
# (no second file to fetch, so the page works from file://), an in-memory
# file system for the run's folder, memory that grows with a long contour.
function(add_propclear_studio_page)
  add_executable(propclear_studio src/web/studio_c_interface.cpp)
  target_link_libraries(propclear_studio PRIVATE propclear_web)
  target_link_options(propclear_studio PRIVATE
    "SHELL:-s EXPORTED_FUNCTIONS=_propclear_run,_propclear_drawing,_propclear_drawing_length,_propclear_preview_begin,_propclear_preview,_propclear_rewrite,_propclear_check_field,_malloc,_free"
    "SHELL:-s EXPORTED_RUNTIME_METHODS=ccall,FS,UTF8ToString"
    "SHELL:-s SINGLE_FILE=1" "SHELL:-s MODULARIZE=1" "SHELL:-s EXPORT_NAME=createPropclearCore"
    "SHELL:-s ENVIRONMENT=web" "SHELL:-s ALLOW_MEMORY_GROWTH=1" "SHELL:-s FILESYSTEM=1"
    "SHELL:-s INCOMING_MODULE_JS_API=[preRun]" --closure=0
    "SHELL:--embed-file ${CMAKE_SOURCE_DIR}/rules@${PROPCLEAR_WEB_RULES_FOLDER}")
  set_property(TARGET propclear_studio APPEND PROPERTY LINK_DEPENDS ${PROPCLEAR_RULE_FILES})
  set_target_properties(propclear_studio PROPERTIES
    SUFFIX .js RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endfunction()
