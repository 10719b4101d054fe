# toml++ (Debian's libtomlplusplus-dev) for the Windows cross build: its
# headers only, compiled in as in the native build.
include(${CMAKE_CURRENT_LIST_DIR}/host_header_library.cmake)
propclear_host_header_library(tomlplusplus::tomlplusplus toml++)
set(tomlplusplus_VERSION 3)
