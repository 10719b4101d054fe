#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "cad/write_cad_script.h"
#include "common/checked_math.h"

namespace propclear {

namespace {

// The significant digits a double carries reliably; more would show the
// binary representation's noise (0.1 + 0.2 = 0.30000000000000004).
constexpr int cadSignificantDigits = 15;

// A value rounded to cadSignificantDigits: its significant digits without
// trailing zeros and the decimal exponent of the first one.
struct SignificantDigits {
  std::string digits;
  int exponent = 0;
};

SignificantDigits significantDigitsOf(double magnitude) {
  std::array<char, 32> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                    std::chars_format::scientific, cadSignificantDigits - 1);
  const std::string_view text(buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data()));
  const std::size_t exponentMark = text.find('e');
  SignificantDigits significant;
  for (const char c : text.substr(0, exponentMark)) {
    if (c != '.') significant.digits += c;
  }
  significant.digits.erase(significant.digits.find_last_not_of('0') + 1);
  std::string_view exponentText = text.substr(exponentMark + 1);
  if (exponentText.front() == '+') exponentText.remove_prefix(1);
  std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(),
                  significant.exponent);
  return significant;
}

// The digits laid out around the decimal point, with a "0" before the point
// for magnitudes below one and no point for integral values.
std::string plainDecimal(const SignificantDigits& significant) {
  const std::string& digits = significant.digits;
  if (significant.exponent < 0) {
    return "0." + std::string(static_cast<std::size_t>(-significant.exponent - 1), '0') + digits;
  }
  const std::size_t integerLength = static_cast<std::size_t>(significant.exponent) + 1;
  if (digits.size() <= integerLength)
    return digits + std::string(integerLength - digits.size(), '0');
  return digits.substr(0, integerLength) + "." + digits.substr(integerLength);
}

// The shortest decimal that reads back as `value`, in plain notation, when it
// has at most cadSignificantDigits significant digits. Such a decimal lies
// within half an ulp of the value, far inside the rounding interval of the
// 15th digit, so it is exactly the value rounded to 15 digits with its
// trailing zeros dropped; most coordinates take this quick way. Subnormal
// values, whose ulp is no longer small, take the long way.
std::optional<std::string> shortestPlainDecimal(double value) {
  if (std::abs(value) < std::numeric_limits<double>::min()) return std::nullopt;
  // A double in plain notation: sign, up to 309 integer digits or "0." with
  // up to 323 zeros before 17 digits.
  std::array<char, 352> buffer;  // written by to_chars, read only up to where it ends
  const auto result =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
  if (result.ec != std::errc()) return std::nullopt;
  const std::string_view text(buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data()));
  const auto isSignificant = [](char c) { return c >= '1' && c <= '9'; };
  const std::size_t first =
      static_cast<std::size_t>(std::find_if(text.begin(), text.end(), isSignificant) - text.begin());
  const std::size_t last = text.size() - 1 -
      static_cast<std::size_t>(std::find_if(text.rbegin(), text.rend(), isSignificant) - text.rbegin());
  const bool pointBetween = text.find('.', first) < last;
  const std::size_t significant = last - first + 1 - (pointBetween ? 1 : 0);
  if (significant > static_cast<std::size_t>(cadSignificantDigits)) return std::nullopt;
  return std::string(text);
}

}  // namespace

std::string formatCadNumber(double value) {
  requireFinite(value, "a coordinate of the CAD script");
  // Zero of either sign; a nonzero double never rounds to zero digits.
  if (value == 0.0) return "0";
  if (std::optional<std::string> shortest = shortestPlainDecimal(value)) return *shortest;
  const std::string magnitude = plainDecimal(significantDigitsOf(value < 0.0 ? -value : value));
  return value < 0.0 ? "-" + magnitude : magnitude;
}

}  // namespace propclear
