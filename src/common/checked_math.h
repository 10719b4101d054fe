#pragma once
// Checked arithmetic. C++ carries infinities and NaNs silently; this system
// instead treats a division by exactly zero, an overflow or a NaN as an
// arithmetic fault that ends the run. Every division of the numerics goes
// through checkedDivide, and every result that leaves a computation passes
// requireFinite, so nothing non-finite reaches a file or the screen.

#include <cmath>

#include "common/run_error.h"

namespace propclear {

// Throws the arithmetic fault "cannot compute <what>: <reason>".
[[noreturn]] void throwArithmeticFault(const char* what, const char* reason);

// numerator / denominator, or an arithmetic fault naming `what` when the
// divisor is exactly zero or the quotient is not finite.
inline double checkedDivide(double numerator, double denominator, const char* what) {
  if (denominator == 0.0) throwArithmeticFault(what, "division by zero");
  const double quotient = numerator / denominator;
  if (!std::isfinite(quotient)) throwArithmeticFault(what, "the result overflows");
  return quotient;
}

// value itself, or an arithmetic fault naming `what` when it is not finite.
inline double requireFinite(double value, const char* what) {
  if (!std::isfinite(value)) {
    throwArithmeticFault(what, std::isnan(value) ? "the result is not a number" : "the result overflows");
  }
  return value;
}

}  // namespace propclear
