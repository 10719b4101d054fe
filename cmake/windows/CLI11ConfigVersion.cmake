# The version of the build machine's CLI11 package.
include(/usr/share/cmake/CLI11/CLI11ConfigVersion.cmake)
