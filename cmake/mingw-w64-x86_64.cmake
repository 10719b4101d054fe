# Cross-builds propclear.exe for 64-bit Windows with Debian's mingw-w64
# compiler in its POSIX-thread flavour (std::thread on winpthreads; the
# win32 flavour has no std::thread in GCC 12). Used by
# `scripts/package --windows`:
#
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# Everything is linked statically: propclear.exe needs no DLL beside it.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PROPCLEAR_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PROPCLEAR_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PROPCLEAR_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${PROPCLEAR_MINGW_TRIPLET}-windres)

# Libraries and headers come from the cross toolchain's own root only: the
# build machine's /usr/include belongs to another C library.
set(CMAKE_FIND_ROOT_PATH /usr/${PROPCLEAR_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The header-only libraries (toml++, CLI11, fmt, fast_float) are the build
# machine's Debian packages, taken through packages of their own that expose
# their headers alone (see cmake/windows/).
foreach(package tomlplusplus CLI11 fmt FastFloat)
  set(${package}_DIR ${CMAKE_CURRENT_LIST_DIR}/windows CACHE PATH "")
endforeach()

# The C and C++ runtimes and winpthreads linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
