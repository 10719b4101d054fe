# The version of the build machine's fmt package.
file(GLOB host_version_file /usr/lib/*/cmake/fmt/fmt-config-version.cmake)
include(${host_version_file})
