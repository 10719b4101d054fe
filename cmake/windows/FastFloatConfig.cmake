# fast_float (Debian's libfast-float-dev, header-only) for the Windows cross
# build.
include(${CMAKE_CURRENT_LIST_DIR}/host_header_library.cmake)
propclear_host_header_library(FastFloat::fast_float fast_float)
