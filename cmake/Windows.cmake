# propclear.exe: the program built for Windows (see cmake/mingw-w64-x86_64.cmake
# and `scripts/package --windows`). The desktop front end stays a Linux
# module: this build has none, and runs on the terminal.

# windows.h defines macros (min, max, small, near) that must not reach the
# files the unity build would put beside the Windows layer; the path
# encoding and the fma define the runtimes' own functions.
set_source_files_properties(
  ${CMAKE_SOURCE_DIR}/src/common/operating_system_windows.cpp
  ${CMAKE_SOURCE_DIR}/src/common/operating_system_windows_path_encoding.cpp
  ${CMAKE_SOURCE_DIR}/src/common/operating_system_windows_math.cpp
  PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)

# The manifest (UTF-8 arguments, long paths) and the version resource.
enable_language(RC)
set(PROPCLEAR_WINDOWS_VERSION ${PROJECT_VERSION}.0)
set(PROPCLEAR_WINDOWS_MANIFEST ${CMAKE_BINARY_DIR}/packaging/windows/propclear.manifest)
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/propclear.manifest
               ${PROPCLEAR_WINDOWS_MANIFEST} @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/propclear.rc.in
               ${CMAKE_BINARY_DIR}/packaging/windows/propclear.rc @ONLY)
target_sources(propclear PRIVATE ${CMAKE_BINARY_DIR}/packaging/windows/propclear.rc)
set_property(SOURCE ${CMAKE_BINARY_DIR}/packaging/windows/propclear.rc APPEND PROPERTY
             OBJECT_DEPENDS ${PROPCLEAR_WINDOWS_MANIFEST})
# Nothing loads the program as a library on Windows.
set_target_properties(propclear PROPERTIES ENABLE_EXPORTS OFF)
