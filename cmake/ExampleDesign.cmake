# The example design file's bytes as a C array initialiser, for the sources
# that build it in: EXAMPLE_DESIGN_BYTES, and the core's source that returns
# it, PROPCLEAR_EXAMPLE_DESIGN_SOURCE. Reconfigures when the example changes.
set(PROPCLEAR_EXAMPLE_DESIGN_FILE ${CMAKE_CURRENT_LIST_DIR}/../examples/Norvalek.TSK)
file(READ ${PROPCLEAR_EXAMPLE_DESIGN_FILE} example_design_hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," EXAMPLE_DESIGN_BYTES "${example_design_hex}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROPCLEAR_EXAMPLE_DESIGN_FILE})
set(PROPCLEAR_EXAMPLE_DESIGN_SOURCE ${CMAKE_CURRENT_BINARY_DIR}/generated/example_design_file.cpp)
configure_file(${CMAKE_CURRENT_LIST_DIR}/../src/import/example_design_file.cpp.in
               ${PROPCLEAR_EXAMPLE_DESIGN_SOURCE} @ONLY)
