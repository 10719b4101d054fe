#pragma once
// Scaling a double by a power of ten and rounding the exact product to an
// integer with one multiplication in double precision, where that decides
// the result: the quick way of the number formatters (IEEE 754 binary64,
// round to nearest).
//
// 10^k is a double for 0 ≤ k ≤ 22 (10^22 = 2^22·5^22 and 5^22 < 2^53), so
// q = v·10^k in double precision is the exact product P rounded once:
// |P - q| ≤ ulp(q)/2. Below 2^52 the ulp of q is at most 1/2, so q and every
// half-integer are multiples of it: a q that is not halfway between two
// integers lies at least one ulp from every half-integer, and P rounds to the
// same integer as q. For a q exactly halfway the sign of P - q decides; that
// difference is a double (the error of a product is, when it does not
// underflow, and here P ≥ 1/2), which fma(v, 10^k, -q) gives exactly.

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>

namespace propclear {

inline constexpr int largestExactPowerOfTen = 22;

// 10^0 … 10^22, each a double exactly.
inline constexpr std::array<double, largestExactPowerOfTen + 1> exactPowersOfTen = [] {
  std::array<double, largestExactPowerOfTen + 1> powers{};
  double power = 1.0;
  for (double& p : powers) {
    p = power;
    power *= 10.0;
  }
  return powers;
}();

// The exact product magnitude · 10^power (magnitude ≥ 0) rounded to the
// nearest integer, when 0 ≤ power ≤ 22 and the product in double precision
// lies below 2^52; nothing otherwise, and nothing for an exact half, which
// the caller's rule for ties decides.
inline std::optional<std::uint64_t> nearestIntegerOfProduct(double magnitude, int power) {
  constexpr double twoToThe52 = 4503599627370496.0;
  if (power < 0 || power > largestExactPowerOfTen) return std::nullopt;
  const double powerOfTen = exactPowersOfTen[static_cast<std::size_t>(power)];
  const double scaled = magnitude * powerOfTen;
  if (!(scaled >= 0.0 && scaled < twoToThe52)) return std::nullopt;
  const auto whole = static_cast<std::uint64_t>(scaled);
  const double fraction = scaled - static_cast<double>(whole);  // exact
  if (fraction != 0.5) return whole + (fraction > 0.5 ? 1 : 0);
  const double productMinusScaled = std::fma(magnitude, powerOfTen, -scaled);
  if (productMinusScaled == 0.0) return std::nullopt;
  return whole + (productMinusScaled > 0.0 ? 1 : 0);
}

}  // namespace propclear
