# CLI11 (Debian's libcli11-dev, header-only) for the Windows cross build.
include(${CMAKE_CURRENT_LIST_DIR}/host_header_library.cmake)
propclear_host_header_library(CLI11::CLI11 CLI)
set(CLI11_VERSION 2)
