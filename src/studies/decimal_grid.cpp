#include "studies/decimal_grid.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "common/checked_math.h"

namespace propclear {

namespace {

// Beyond this many places a double's 53 bits no longer resolve the decimals.
constexpr int maxResolvedPlaces = 15;
// Below this a scaled value is an integer held exactly.
constexpr double exactIntegerLimit = 4503599627370496.0;  // 2^52
// What a quotient of steps may lack of a whole number and still count as it.
constexpr double stepTolerance = 1e-9;
constexpr double relativeStepTolerance = 1e-12;
// 10^0 .. 10^15, each exact.
constexpr std::array<double, maxResolvedPlaces + 1> powersOfTen = {
    1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

}  // namespace

int decimalPlacesOf(std::string_view text) {
  const std::size_t exponentAt = text.find_first_of("eE");
  const std::string_view mantissa = text.substr(0, exponentAt);
  const std::size_t point = mantissa.find('.');
  int places = point == std::string_view::npos ? 0 : static_cast<int>(mantissa.size() - point - 1);
  if (exponentAt != std::string_view::npos) {
    std::string_view exponentText = text.substr(exponentAt + 1);
    if (!exponentText.empty() && exponentText.front() == '+') exponentText.remove_prefix(1);
    int exponent = 0;
    const auto [end, error] =
        std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
    if (error != std::errc() || end != exponentText.data() + exponentText.size()) return -1;
    if (exponent < -maxResolvedPlaces || exponent > maxResolvedPlaces) return -1;
    places = std::max(0, places - exponent);
  }
  return places <= maxResolvedPlaces ? places : -1;
}

double roundToDecimalPlaces(double value, int places) {
  if (places < 0 || places > maxResolvedPlaces) return value;
  const double scale = powersOfTen[static_cast<std::size_t>(places)];
  const double scaled = value * scale;
  if (!(std::abs(scaled) < exactIntegerLimit)) return value;
  // Both the integer and the power of ten are exact doubles, so their quotient
  // is the correctly rounded decimal.
  return checkedDivide(std::round(scaled), scale, "a value of a study");
}

double wholeSteps(double steps) {
  return std::floor(steps + stepTolerance + steps * relativeStepTolerance);
}

int commonDecimalPlaces(int first, int second) {
  return first < 0 || second < 0 ? -1 : std::max(first, second);
}

}  // namespace propclear
