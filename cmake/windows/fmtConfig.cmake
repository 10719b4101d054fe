# fmt (Debian's libfmt-dev) for the Windows cross build: its headers only,
# as the target the native build takes, fmt::fmt-header-only.
include(${CMAKE_CURRENT_LIST_DIR}/host_header_library.cmake)
propclear_host_header_library(fmt::fmt-header-only fmt FMT_HEADER_ONLY=1)
