# The version of the build machine's fast_float package.
include(/usr/lib/cmake/FastFloat/FastFloatConfigVersion.cmake)
