# The vector path of the loops over several curves or samples at once
# (src/common/double_lanes.h): the standard library's std::experimental::simd
# where it is complete, plain arrays otherwise. Both give the same bits.
#   PROPCLEAR_LANES=auto      the standard library's where it compiles (default)
#   PROPCLEAR_LANES=std-simd  the standard library's, or the configuration fails
#   PROPCLEAR_LANES=portable  the arrays
set(PROPCLEAR_LANES auto CACHE STRING "Vector path of the lane loops: auto, std-simd or portable")
set_property(CACHE PROPCLEAR_LANES PROPERTY STRINGS auto std-simd portable)

include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_FLAGS "-std=c++20")
check_cxx_source_compiles([[
#include <experimental/simd>
namespace stdx = std::experimental;
int main() {
  stdx::fixed_size_simd<double, 8> a([](auto k) { return double(k); });
  stdx::native_simd<double> b(1.0);
  double out[8];
  (a / 2.0 + a * a - 1.0).copy_to(out, stdx::element_aligned);
  return stdx::all_of(stdx::isfinite(a)) && stdx::hmin(stdx::min(b, b)) > 0.0 ? 0 : 1;
}]] PROPCLEAR_HAVE_STD_SIMD)
unset(CMAKE_REQUIRED_FLAGS)

if(PROPCLEAR_LANES STREQUAL "portable")
  set(PROPCLEAR_PORTABLE_LANES 1)
elseif(PROPCLEAR_HAVE_STD_SIMD)
  set(PROPCLEAR_PORTABLE_LANES 0)
elseif(PROPCLEAR_LANES STREQUAL "std-simd")
  message(FATAL_ERROR "PROPCLEAR_LANES=std-simd: this standard library has no complete "
                      "std::experimental::simd; configure with PROPCLEAR_LANES=portable or auto")
elseif(PROPCLEAR_LANES STREQUAL "auto")
  set(PROPCLEAR_PORTABLE_LANES 1)
else()
  message(FATAL_ERROR "PROPCLEAR_LANES = ${PROPCLEAR_LANES}: must be auto, std-simd or portable")
endif()
if(PROPCLEAR_PORTABLE_LANES)
  message(STATUS "Lane loops: plain arrays")
else()
  message(STATUS "Lane loops: std::experimental::simd")
endif()
