#include "common/format_number.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "common/checked_math.h"
#include "common/number_conversion.h"
#include "common/power_of_ten_scaling.h"

namespace propclear {

namespace {

// Every finite double has a terminating decimal expansion: at most 309
// integer digits and at most 1074 fraction digits (the smallest subnormal is
// 2^-1074).
constexpr int exactFractionDigits = 1074;
constexpr int maxIntegerDigits = std::numeric_limits<double>::max_exponent10 + 1;
constexpr int exactTextCapacity = 1 + maxIntegerDigits + 1 + exactFractionDigits;

// The magnitude of a value as its exact integer and fraction digits.
struct ExactDigits {
  std::string integerDigits;
  std::string fractionDigits;
};

ExactDigits exactDigitsOf(double magnitude) {
  std::array<char, exactTextCapacity> buffer{};
  const auto result = writeFixed(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                exactFractionDigits);
  const std::string_view text(buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data()));
  const std::size_t point = text.find('.');
  return {std::string(text.substr(0, point)), std::string(text.substr(point + 1))};
}

// Adds one unit in the last place of a string of decimal digits; a carry out
// of the first digit puts a new "1" in front.
void incrementDigits(std::string& digits) {
  for (auto digit = digits.rbegin(); digit != digits.rend(); ++digit) {
    if (*digit != '9') {
      ++*digit;
      return;
    }
    *digit = '0';
  }
  digits.insert(digits.begin(), '1');
}

// The magnitude rounded to `decimals` places, halves away from zero: the
// digits are exact, so a first dropped digit of 5 or more means "at least
// half".
ExactDigits roundedDigits(double magnitude, int decimals) {
  ExactDigits exact = exactDigitsOf(magnitude);
  const std::size_t kept = static_cast<std::size_t>(decimals);
  if (kept >= exact.fractionDigits.size()) {
    exact.fractionDigits.append(kept - exact.fractionDigits.size(), '0');
    return exact;
  }
  const bool roundUp = exact.fractionDigits[kept] >= '5';
  std::string digits = exact.integerDigits + exact.fractionDigits.substr(0, kept);
  if (roundUp) incrementDigits(digits);
  const std::size_t integerLength = digits.size() - kept;
  return {digits.substr(0, integerLength), digits.substr(integerLength)};
}

bool allZero(const std::string& digits) {
  return digits.find_first_not_of('0') == std::string::npos;
}

// `value` rounded to `decimals` places by one multiplication in double
// precision (common/power_of_ten_scaling.h), when that decides it: the
// digits of |value| · 10^decimals rounded to an integer, with the point
// before the last `decimals`. Nothing when the product is exactly a half or
// reaches 2^52, or 10^decimals is no double.
std::optional<std::string> roundedTextQuickly(double value, int decimals) {
  const std::optional<std::uint64_t> rounded = nearestIntegerOfProduct(std::fabs(value), decimals);
  if (!rounded) return std::nullopt;
  std::array<char, 20> digits;  // below 2^52: at most 16; written up to `length`
  const auto length = static_cast<std::size_t>(
      std::to_chars(digits.data(), digits.data() + digits.size(), *rounded).ptr - digits.data());
  const auto kept = static_cast<std::size_t>(decimals);
  const std::size_t integerLength = length > kept ? length - kept : 0;
  std::string text;
  // A negative value that rounds to zero is written as zero, without a sign.
  if (value < 0.0 && *rounded != 0) text += '-';
  if (integerLength == 0) text += '0';
  text.append(digits.data(), integerLength);
  text += '.';
  text.append(kept - (length - integerLength), '0');
  text.append(digits.data() + integerLength, length - integerLength);
  return text;
}

}  // namespace

std::string formatRounded(double value, int decimals) {
  if (decimals < 0) throw std::invalid_argument("formatRounded: decimals must not be negative");
  requireFinite(value, "a number for its text");
  if (std::optional<std::string> text = roundedTextQuickly(value, decimals))
    return std::move(*text);
  const ExactDigits rounded = roundedDigits(std::fabs(value), decimals);
  const bool negative =
      value < 0.0 && !(allZero(rounded.integerDigits) && allZero(rounded.fractionDigits));
  std::string text = negative ? "-" : "";
  text += rounded.integerDigits;
  text += '.';
  text += rounded.fractionDigits;
  return text;
}

std::string formatFixed(double value, int intWidth, int decimals) {
  std::string text = formatRounded(value, decimals);
  const int pointPosition = static_cast<int>(text.size()) - decimals;
  const int leadingBlanks = intWidth - pointPosition + 1;
  if (leadingBlanks > 0) text.insert(0, static_cast<std::size_t>(leadingBlanks), ' ');
  if (static_cast<int>(text.size()) > intWidth + decimals + 1) text += '%';
  return text;
}

std::string formatTruncated(double value, int width) {
  requireFinite(value, "a number for its text");
  const double truncated = std::trunc(value);
  // Values in (-1, 0] truncate to a zero that may carry a sign; it is written
  // as a plain "0". Fixed notation without decimals writes every digit of
  // large values, never an exponent.
  std::string text = "0";
  if (truncated != 0.0) {
    std::array<char, exactTextCapacity> buffer{};
    const auto result = writeFixed(buffer.data(), buffer.data() + buffer.size(), truncated, 0);
    text.assign(buffer.data(), result.ptr);
  }
  if (static_cast<int>(text.size()) < width)
    text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
  return text;
}

void appendShortest(std::string& out, double value, const char* what) {
  requireFinite(value, what);
  char buffer[32];  // the longest shortest form, "-2.2250738585072014e-308", has 24
  const auto result = writeShortest(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

std::string formatShortest(double value, const char* what) {
  std::string text;
  appendShortest(text, value, what);
  return text;
}

}  // namespace propclear
