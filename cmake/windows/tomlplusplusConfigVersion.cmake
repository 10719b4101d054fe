# The version of the build machine's toml++ package.
file(GLOB host_version_file /usr/lib/*/cmake/tomlplusplus/tomlplusplusConfigVersion.cmake)
include(${host_version_file})
