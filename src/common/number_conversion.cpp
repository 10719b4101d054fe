#include "common/number_conversion.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include <fast_float/fast_float.h>
#include <fmt/compile.h>
#include <fmt/format.h>

namespace propclear {

namespace {

// A finite value's shortest round-trip digits: value = ±0.d1d2…dn ×
// 10^pointPosition, no trailing zeros ("0" and 1 for zero). Held in place,
// without the heap: a sweep writes millions of them.
struct ShortestDigits {
  bool negative = false;
  std::array<char, 24> digits{};  // a double's shortest form has at most 17
  int count = 0;
  int pointPosition = 0;

  std::string_view text() const { return {digits.data(), static_cast<std::size_t>(count)}; }
};

// The decimal digits of a significand (below 10^17: a double's has at most
// 17 digits) at the start of `digits`; returns how many. Eight digits at a
// time in 32-bit arithmetic, two at a time from fmt's table of pairs: a
// sweep writes millions of them, and std::to_chars works in 64 bits
// throughout.
int writeSignificand(std::uint64_t significand, std::array<char, 24>& digits) {
  constexpr std::uint32_t eightDigits = 100'000'000;
  std::array<char, 24> buffer{};  // filled from its end
  char* first = buffer.data() + buffer.size();
  const auto writePair = [&first](std::uint32_t pair) {
    first -= 2;
    std::copy_n(fmt::detail::digits2(pair), 2, first);
  };
  auto high = static_cast<std::uint32_t>(significand / eightDigits);
  auto low = static_cast<std::uint32_t>(significand % eightDigits);
  if (high > 0) {
    for (int k = 0; k < 4; ++k, low /= 100) writePair(low % 100);
    low = high;
  }
  while (low >= 100) {
    writePair(low % 100);
    low /= 100;
  }
  if (low >= 10) {
    writePair(low);
  } else {
    *--first = static_cast<char>('0' + low);
  }
  const auto count = static_cast<int>(buffer.data() + buffer.size() - first);
  std::copy(first, buffer.data() + buffer.size(), digits.begin());
  return count;
}

// From fmt's shortest decimal form (Dragonbox: the digits as an integer
// without trailing zeros, and a power of ten), which fmt's own "{}" writes;
// taken directly, a sweep's millions of numbers need no text parsed.
ShortestDigits shortestDigitsOf(double value) {
  ShortestDigits shortest;
  shortest.negative = std::signbit(value);
  if (value == 0.0) {
    shortest.digits[0] = '0';
    shortest.count = 1;
    shortest.pointPosition = 1;
    return shortest;
  }
  const auto decimal = fmt::detail::dragonbox::to_decimal(std::fabs(value));
  const int written = writeSignificand(decimal.significand, shortest.digits);
  shortest.count = written;
  while (shortest.digits[static_cast<std::size_t>(shortest.count - 1)] == '0') --shortest.count;
  shortest.pointPosition = written + decimal.exponent;
  return shortest;
}

std::size_t fixedLength(const ShortestDigits& d) {
  const int n = d.count;
  const int body = d.pointPosition <= 0 ? 2 - d.pointPosition + n
                                        : (d.pointPosition >= n ? d.pointPosition : n + 1);
  return static_cast<std::size_t>(body + (d.negative ? 1 : 0));
}

std::size_t scientificLength(const ShortestDigits& d) {
  const int exponent = std::abs(d.pointPosition - 1);
  const int exponentDigits = exponent >= 100 ? 3 : 2;
  return static_cast<std::size_t>((d.negative ? 1 : 0) + d.count + (d.count > 1 ? 1 : 0) + 2 +
                                  exponentDigits);
}

// Writes the digits of `d` in fixed notation into `out` (room for
// fixedLength(d) characters); returns the end.
char* writeFixedDigits(const ShortestDigits& d, char* out) {
  const std::string_view digits = d.text();
  if (d.negative) *out++ = '-';
  if (d.pointPosition <= 0) {
    *out++ = '0';
    *out++ = '.';
    out = std::fill_n(out, -d.pointPosition, '0');
    return std::copy(digits.begin(), digits.end(), out);
  }
  const auto integerDigits = static_cast<std::size_t>(std::min(d.pointPosition, d.count));
  out = std::copy_n(digits.begin(), integerDigits, out);
  if (d.pointPosition >= d.count) return std::fill_n(out, d.pointPosition - d.count, '0');
  *out++ = '.';
  return std::copy(digits.begin() + static_cast<std::ptrdiff_t>(integerDigits), digits.end(), out);
}

char* writeScientificDigits(const ShortestDigits& d, char* out) {
  const std::string_view digits = d.text();
  if (d.negative) *out++ = '-';
  *out++ = digits.front();
  if (d.count > 1) {
    *out++ = '.';
    out = std::copy(digits.begin() + 1, digits.end(), out);
  }
  const int exponent = d.pointPosition - 1;
  *out++ = 'e';
  *out++ = exponent < 0 ? '-' : '+';
  return fmt::format_to(out, FMT_COMPILE("{:02d}"), std::abs(exponent));
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

// Writes the `length` characters `write` writes, when they fit.
template <class Write>
std::to_chars_result writeInto(char* first, char* last, std::size_t length, Write write) {
  if (static_cast<std::size_t>(last - first) < length) return {last, std::errc::value_too_large};
  return {write(first), std::errc{}};
}

// The fixed notation of the shortest digits; an integer longer than them is
// written with every digit of its exact value instead of zeros, as the
// standard library writes it (the length is the same).
std::to_chars_result shortestFixedInto(char* first, char* last, double value,
                                       const ShortestDigits& digits) {
  if (digits.pointPosition > digits.count) return copied(first, last, roundedFixedText(value, 0));
  return writeInto(first, last, fixedLength(digits),
                   [&](char* out) { return writeFixedDigits(digits, out); });
}

}  // namespace

std::to_chars_result writeShortest(char* first, char* last, double value) {
  if (!std::isfinite(value)) return copied(first, last, nonFiniteText(value));
  const ShortestDigits digits = shortestDigitsOf(value);
  if (fixedLength(digits) <= scientificLength(digits)) return shortestFixedInto(first, last, value, digits);
  return writeInto(first, last, scientificLength(digits),
                   [&](char* out) { return writeScientificDigits(digits, out); });
}

std::to_chars_result writeShortestFixed(char* first, char* last, double value) {
  if (!std::isfinite(value)) return copied(first, last, nonFiniteText(value));
  return shortestFixedInto(first, last, value, shortestDigitsOf(value));
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
