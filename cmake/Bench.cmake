# Benchmarks of the numerics, the clearance analysis, the plot's display list
# and the writers (Google Benchmark). Off by default: neither the program nor
# its tests need them. scripts/bench builds them and runs them.
option(PROPCLEAR_BUILD_BENCH "Build the benchmarks" OFF)

if(PROPCLEAR_BUILD_BENCH)
  find_package(benchmark REQUIRED)
  if(NOT TARGET propclear_test_support)
    message(FATAL_ERROR
      "The benchmarks use the sample design of the test support library: "
      "configure with PROPCLEAR_BUILD_TESTS=ON")
  endif()

  add_library(propclear_bench_designs STATIC bench/bench_designs.cpp)
  target_link_libraries(propclear_bench_designs PUBLIC propclear_test_support)
  target_include_directories(propclear_bench_designs PUBLIC ${CMAKE_SOURCE_DIR}/bench)

  file(GLOB PROPCLEAR_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*_bench.cpp)
  add_executable(propclear_bench ${PROPCLEAR_BENCH_SOURCES})
  target_link_libraries(propclear_bench PRIVATE propclear_bench_designs benchmark::benchmark_main)

  # Writes a design file for the whole-process timings when the example is missing.
  add_executable(propclear_bench_design_file bench/write_design_file.cpp)
  target_link_libraries(propclear_bench_design_file PRIVATE propclear_bench_designs)

  # The floor the whole runs are compared with: a process that does nothing.
  add_executable(propclear_bench_do_nothing bench/do_nothing.cpp)

  set_target_properties(propclear_bench propclear_bench_design_file propclear_bench_do_nothing
    PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

  # The design studio: a replayed drag, and launch to first paint.
  if(TARGET propclear_frontend)
    add_executable(propclear_bench_studio bench/studio_speed.cpp)
    target_link_libraries(propclear_bench_studio PRIVATE propclear_frontend propclear_bench_designs
                                                         benchmark::benchmark)
    set_target_properties(propclear_bench_studio PROPERTIES
      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  endif()
endif()
