# Sanitizer builds: PROPCLEAR_SANITIZE names the sanitizers to build every
# target with, as the compiler spells them ("address,undefined"). Any report
# stops the program (no recovery), so a test that triggers one fails.
set(PROPCLEAR_SANITIZE "" CACHE STRING
    "Sanitizers to build with, comma-separated (e.g. address,undefined); empty for none")

if(PROPCLEAR_SANITIZE)
  set(PROPCLEAR_SANITIZE_FLAGS
      -fsanitize=${PROPCLEAR_SANITIZE} -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${PROPCLEAR_SANITIZE_FLAGS})
  add_link_options(${PROPCLEAR_SANITIZE_FLAGS})
  # GCC's flow analysis sees through the instrumentation badly and reports
  # uninitialised variables in the standard library (std::regex, std::function)
  # that are not; the normal build keeps the warning.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options(-Wno-maybe-uninitialized)
  endif()
  message(STATUS "Sanitizers: ${PROPCLEAR_SANITIZE}")
endif()
