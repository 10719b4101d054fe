#include "common/number_conversion.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

#include <fast_float/fast_float.h>
#include <fmt/format.h>

namespace propclear {

namespace {

// A finite value's shortest round-trip digits: value = ±0.d1d2…dn ×
// 10^pointPosition, no trailing zeros ("0" and 1 for zero).
struct ShortestDigits {
  bool negative = false;
  std::string digits;
  int pointPosition = 0;
};

// Taken apart from fmt's shortest text, which may be in either notation
// ("1.2345e+17", "0.0001", "100000").
ShortestDigits shortestDigitsOf(double value) {
  const std::string text = fmt::format("{}", value);
  ShortestDigits shortest;
  std::string_view rest = text;
  if (rest.front() == '-') {
    shortest.negative = true;
    rest.remove_prefix(1);
  }
  const std::size_t exponentAt = rest.find('e');
  int exponent = 0;
  if (exponentAt != std::string_view::npos) {
    std::string_view exponentText = rest.substr(exponentAt + 1);
    if (exponentText.front() == '+') exponentText.remove_prefix(1);
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
    rest = rest.substr(0, exponentAt);
  }
  const std::size_t point = rest.find('.');
  const int integerLength = static_cast<int>(point == std::string_view::npos ? rest.size() : point);
  for (const char c : rest)
    if (c != '.') shortest.digits += c;
  const std::size_t firstNonZero = shortest.digits.find_first_not_of('0');
  if (firstNonZero == std::string::npos) return {shortest.negative, "0", 1};
  shortest.digits.erase(0, firstNonZero);
  shortest.digits.erase(shortest.digits.find_last_not_of('0') + 1);
  shortest.pointPosition = integerLength - static_cast<int>(firstNonZero) + exponent;
  return shortest;
}

std::string fixedText(const ShortestDigits& d) {
  const int n = static_cast<int>(d.digits.size());
  std::string text = d.negative ? "-" : "";
  if (d.pointPosition <= 0) {
    text += "0.";
    text.append(static_cast<std::size_t>(-d.pointPosition), '0');
    text += d.digits;
  } else if (d.pointPosition >= n) {
    text += d.digits;
    text.append(static_cast<std::size_t>(d.pointPosition - n), '0');
  } else {
    text.append(d.digits, 0, static_cast<std::size_t>(d.pointPosition));
    text += '.';
    text.append(d.digits, static_cast<std::size_t>(d.pointPosition));
  }
  return text;
}

// The fixed notation of the shortest digits; an integer longer than them is
// written with every digit of its exact value instead of zeros, as the
// standard library writes it (the length is the same).
std::string exactFixedText(double value);
std::string shortestFixedText(double value, const ShortestDigits& d) {
  if (d.pointPosition > static_cast<int>(d.digits.size())) return exactFixedText(value);
  return fixedText(d);
}

std::string scientificText(const ShortestDigits& d) {
  std::string text = d.negative ? "-" : "";
  text += d.digits.front();
  if (d.digits.size() > 1) {
    text += '.';
    text.append(d.digits, 1);
  }
  const int exponent = d.pointPosition - 1;
  text += exponent < 0 ? "e-" : "e+";
  text += fmt::format("{:02d}", std::abs(exponent));
  return text;
}

std::to_chars_result copied(char* first, char* last, std::string_view text) {
  if (static_cast<std::size_t>(last - first) < text.size()) return {last, std::errc::value_too_large};
  return {std::copy(text.begin(), text.end(), first), std::errc{}};
}

// inf, -inf and nan as std::to_chars writes them.
std::string nonFiniteText(double value) {
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  return value < 0.0 ? "-inf" : "inf";
}

bool hasNonZeroDigit(const char* first, const char* last) {
  for (const char* c = first; c != last && *c != 'e' && *c != 'E'; ++c)
    if (*c >= '1' && *c <= '9') return true;
  return false;
}

// A double's exact decimal expansion has at most this many significant
// digits: rounded to as many, it is written exactly.
constexpr int exactSignificantDigits = 767;

// A non-negative value's digits and the decimal exponent of the first:
// value = d1.d2d3... x 10^exponent.
struct ScientificDigits {
  std::string digits;
  int exponent = 0;
};

// Every digit of the exact value (zeros after the last that is not), from
// fmt at full precision: fmt's shorter precisions can lose the last digit.
ScientificDigits exactDecimalDigits(double magnitude) {
  const std::string text = fmt::format("{:.{}e}", magnitude, exactSignificantDigits - 1);
  const std::size_t exponentAt = text.find('e');
  ScientificDigits exact;
  for (std::size_t i = 0; i < exponentAt; ++i)
    if (text[i] != '.') exact.digits += text[i];
  exact.digits.resize(static_cast<std::size_t>(exactSignificantDigits), '0');
  std::string_view exponentText = std::string_view(text).substr(exponentAt + 1);
  if (exponentText.front() == '+') exponentText.remove_prefix(1);
  std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exact.exponent);
  return exact;
}

// The exact digits rounded to `kept` significant digits (none or fewer:
// to the place of the digit before the first), halves to even, as the
// standard library rounds. A carry makes a new first digit.
ScientificDigits roundedToDigits(const ScientificDigits& exact, int kept) {
  if (kept < 0) return {"0", exact.exponent - kept};
  const std::string digits = kept == 0 ? "0" + exact.digits : exact.digits;
  const std::size_t keep = static_cast<std::size_t>(std::max(kept, 1));
  const int exponent = kept == 0 ? exact.exponent + 1 : exact.exponent;
  std::string result = digits.substr(0, keep);
  const char next = keep < digits.size() ? digits[keep] : '0';
  const bool restNonZero = keep + 1 < digits.size() &&
                           digits.find_first_not_of('0', keep + 1) != std::string::npos;
  const bool odd = (result.back() - '0') % 2 == 1;
  if (next > '5' || (next == '5' && (restNonZero || odd))) {
    for (auto digit = result.rbegin(); digit != result.rend(); ++digit) {
      if (*digit != '9') {
        ++*digit;
        return {result, exponent};
      }
      *digit = '0';
    }
    std::string carried(result.size(), '0');  // 9...9 rounded up: 10...0
    carried.front() = '1';
    return {carried, exponent + 1};
  }
  return {result, exponent};
}

// `digits` with the point after the first `integerLength` (none: "0." and
// zeros before them), `decimals` places after it.
std::string placedDigits(std::string digits, int integerLength, int decimals) {
  if (integerLength <= 0) {
    digits.insert(0, static_cast<std::size_t>(-integerLength), '0');
    integerLength = 0;
  }
  const auto integerDigits = static_cast<std::size_t>(integerLength);
  digits.resize(integerDigits + static_cast<std::size_t>(decimals), '0');
  std::string text = integerDigits == 0 ? "0" : digits.substr(0, integerDigits);
  if (decimals > 0) text += '.' + digits.substr(integerDigits);
  return text;
}

// A finite value rounded to `decimals` places, halves to even.
std::string roundedFixedText(double value, int decimals) {
  std::string text = std::signbit(value) ? "-" : "";
  if (value == 0.0) return text + placedDigits("", 1, decimals);
  const ScientificDigits exact = exactDecimalDigits(std::fabs(value));
  const ScientificDigits rounded = roundedToDigits(exact, exact.exponent + 1 + decimals);
  return text + placedDigits(rounded.digits, rounded.exponent + 1, decimals);
}

std::string exactFixedText(double value) { return roundedFixedText(value, 0); }

}  // namespace

std::to_chars_result writeShortest(char* first, char* last, double value) {
  if (!std::isfinite(value)) return copied(first, last, nonFiniteText(value));
  const ShortestDigits digits = shortestDigitsOf(value);
  const std::string fixed = shortestFixedText(value, digits);
  const std::string scientific = scientificText(digits);
  return copied(first, last, fixed.size() <= scientific.size() ? fixed : scientific);
}

std::to_chars_result writeShortestFixed(char* first, char* last, double value) {
  if (!std::isfinite(value)) return copied(first, last, nonFiniteText(value));
  return copied(first, last, shortestFixedText(value, shortestDigitsOf(value)));
}

std::to_chars_result writeFixed(char* first, char* last, double value, int decimals) {
  if (!std::isfinite(value)) return copied(first, last, nonFiniteText(value));
  return copied(first, last, roundedFixedText(value, decimals));
}

std::to_chars_result writeScientific(char* first, char* last, double value, int decimals) {
  if (!std::isfinite(value)) return copied(first, last, nonFiniteText(value));
  ScientificDigits rounded{std::string(static_cast<std::size_t>(decimals) + 1, '0'), 0};
  if (value != 0.0) rounded = roundedToDigits(exactDecimalDigits(std::fabs(value)), decimals + 1);
  std::string text = std::signbit(value) ? "-" : "";
  text += rounded.digits.front();
  if (decimals > 0) text += '.' + rounded.digits.substr(1);
  text += rounded.exponent < 0 ? "e-" : "e+";
  text += fmt::format("{:02d}", std::abs(rounded.exponent));
  return copied(first, last, text);
}

std::to_chars_result writeShortestFloat(char* first, char* last, float value) {
  const auto room = static_cast<std::size_t>(last - first);
  const auto written = fmt::format_to_n(first, room, "{}", value);
  if (written.size > room) return {last, std::errc::value_too_large};
  return {written.out, std::errc{}};
}

std::from_chars_result readDouble(const char* first, const char* last, double& value) {
  double read = 0.0;
  const fast_float::from_chars_result result = fast_float::from_chars(first, last, read);
  if (result.ec != std::errc{}) return {result.ptr, result.ec};
  const std::string_view text(first, static_cast<std::size_t>(result.ptr - first));
  const bool overflowed = std::isinf(read) && text.find_first_of("iI") == std::string_view::npos;
  const bool underflowed = read == 0.0 && hasNonZeroDigit(first, result.ptr);
  if (overflowed || underflowed) return {result.ptr, std::errc::result_out_of_range};
  value = read;
  return {result.ptr, std::errc{}};
}

}  // namespace propclear
