#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>
#include <random>
#include <string>

#include "cad/write_cad_script.h"
#include "common/run_error.h"

namespace propclear {
namespace {

struct CadNumberCase {
  double value;
  const char* expected;
};

void PrintTo(const CadNumberCase& c, std::ostream* out) {
  *out << "formatCadNumber(" << c.value << ")";
}

class FormatCadNumberTest : public testing::TestWithParam<CadNumberCase> {};

TEST_P(FormatCadNumberTest, WritesPlainDecimal) {
  EXPECT_EQ(formatCadNumber(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Integral, FormatCadNumberTest,
                         testing::Values(CadNumberCase{1250.0, "1250"},
                                         CadNumberCase{-400.0, "-400"}, CadNumberCase{0.0, "0"},
                                         CadNumberCase{-0.0, "0"},
                                         CadNumberCase{1e20, "100000000000000000000"},
                                         CadNumberCase{-7.0, "-7"}));

INSTANTIATE_TEST_SUITE_P(Fractions, FormatCadNumberTest,
                         testing::Values(CadNumberCase{0.5, "0.5"}, CadNumberCase{-0.25, "-0.25"},
                                         CadNumberCase{9062.5, "9062.5"}, CadNumberCase{0.1, "0.1"},
                                         CadNumberCase{123.456, "123.456"},
                                         CadNumberCase{12345678.9, "12345678.9"},
                                         CadNumberCase{1.5e-7, "0.00000015"},
                                         CadNumberCase{1e-20, "0.00000000000000000001"},
                                         CadNumberCase{-1e-5, "-0.00001"}));

// Fifteen significant digits: the noise of the binary representation goes.
INSTANTIATE_TEST_SUITE_P(FifteenDigits, FormatCadNumberTest,
                         testing::Values(CadNumberCase{100.00000000000001, "100"},
                                         CadNumberCase{0.1 + 0.2, "0.3"},
                                         CadNumberCase{1.0 / 3.0, "0.333333333333333"},
                                         CadNumberCase{2.0 / 3.0, "0.666666666666667"},
                                         CadNumberCase{-2.0 / 3.0, "-0.666666666666667"},
                                         CadNumberCase{8.85 * 1000.0, "8850"},
                                         CadNumberCase{123456789012345678.0, "123456789012346000"},
                                         CadNumberCase{999999999999999.9, "1000000000000000"},
                                         CadNumberCase{1e15 + 0.25, "1000000000000000"}));

// The exact value decides: halves of the 15th digit go to the even digit;
// products with the power of ten that round to a half are judged on the
// exact product (2898.2493374414153 · 10^11 is 289824933744141.53 exactly but
// 289824933744141.5 in double precision).
INSTANTIATE_TEST_SUITE_P(ExactRounding, FormatCadNumberTest,
                         testing::Values(CadNumberCase{123456789012345.5, "123456789012346"},
                                         CadNumberCase{-123456789012344.5, "-123456789012344"},
                                         CadNumberCase{999999999999999.5, "1000000000000000"},
                                         CadNumberCase{999999999999999.0, "999999999999999"},
                                         CadNumberCase{2898.2493374414153, "2898.24933744142"},
                                         CadNumberCase{3590.5848746862948, "3590.58487468629"},
                                         CadNumberCase{1e-8, "0.00000001"},
                                         CadNumberCase{9.99999999999999e-9,
                                                       "0.00000000999999999999999"}));

TEST(FormatCadNumber, ExtremeMagnitudesStayInPlainDecimal) {
  const std::string largest = formatCadNumber(std::numeric_limits<double>::max());
  EXPECT_EQ(largest, "179769313486232" + std::string(294, '0'));

  const std::string smallest = formatCadNumber(std::numeric_limits<double>::denorm_min());
  EXPECT_EQ(smallest, "0." + std::string(323, '0') + "494065645841247");

  const std::string tinyNegative = formatCadNumber(-1e-300);
  EXPECT_EQ(tinyNegative, "-0." + std::string(299, '0') + "1");
}

// The value rounded to 15 significant digits by the C library, laid out in
// plain decimal without trailing zeros: an implementation independent of
// the program's.
std::string referenceCadNumber(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.14e", std::abs(value));
  const std::string text(buffer);
  std::string digits = text.substr(0, 1) + text.substr(2, 14);
  const int exponent = std::stoi(text.substr(17));
  digits.erase(digits.find_last_not_of('0') + 1);
  std::string plain;
  if (exponent < 0) {
    plain = "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  } else if (digits.size() <= static_cast<std::size_t>(exponent) + 1) {
    plain = digits + std::string(static_cast<std::size_t>(exponent) + 1 - digits.size(), '0');
  } else {
    plain = digits.substr(0, exponent + 1) + "." + digits.substr(exponent + 1);
  }
  return (value < 0 ? "-" : "") + plain;
}

// The shortest decimal that reads back as `value` (std::to_chars), when it
// has at most 15 significant digits and `value` is a normal double.
std::optional<std::string> shortestIfShort(double value) {
  if (std::abs(value) < std::numeric_limits<double>::min()) return std::nullopt;
  char buffer[400];
  const auto end =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed).ptr;
  std::string text(buffer, end);
  const std::size_t first = text.find_first_of("123456789");
  const std::size_t last = text.find_last_of("123456789");
  const std::size_t digits = last - first + 1 - (text.find('.', first) < last ? 1 : 0);
  if (digits > 15) return std::nullopt;
  return text;
}

// How formatCadNumber's text for `value` differs from the C library's
// rounding or from the shortest form; empty when it agrees with both.
std::string disagreement(double value) {
  if (value == 0.0 || !std::isfinite(value)) return "";
  const std::string text = formatCadNumber(value);
  if (text != referenceCadNumber(value)) return text + " against " + referenceCadNumber(value);
  const std::optional<std::string> shortest = shortestIfShort(value);
  if (shortest && text != *shortest) return text + " against the shortest " + *shortest;
  return "";
}

// Random values over every magnitude and bit pattern, coordinates as the
// script writes them, and the hard cases of a quick rounding: decimals of up
// to 16 digits and their halves, with their neighbours, and the
// neighbourhoods of powers of ten.
TEST(FormatCadNumber, AgreesWithTheCLibraryAndTheShortestForm) {
  std::mt19937_64 random(20261207);
  std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
  std::uniform_int_distribution<int> exponent(-310, 300);
  std::uniform_int_distribution<int> millimetres(-2'000'000, 2'000'000);
  std::uniform_int_distribution<std::int64_t> sixteenDigits(-9'999'999'999'999'999,
                                                            9'999'999'999'999'999);
  std::uniform_int_distribution<int> places(0, 24);
  for (int i = 0; i < 25'000; ++i) {
    const double power = std::pow(10.0, places(random));
    const auto integer = static_cast<double>(sixteenDigits(random) / (1 + i % 1000));
    const double decimal = integer / power;
    const double decimalHalf = (integer + 0.5) / power;
    const double powerOfTen = std::pow(10.0, exponent(random) % 30);
    for (const double value :
         {mantissa(random) * std::pow(10.0, exponent(random)), std::bit_cast<double>(random()),
          millimetres(random) / 1000.0 * 1000.0 + 0.5 * (i % 3), decimal,
          std::nextafter(decimal, 1e300), std::nextafter(decimal, -1e300), decimalHalf,
          std::nextafter(decimalHalf, 1e300), std::nextafter(decimalHalf, -1e300),
          std::nextafter(powerOfTen, 0.0), std::nextafter(powerOfTen, 1e300)}) {
      ASSERT_EQ(disagreement(value), "") << std::hexfloat << value;
    }
  }
}

TEST(FormatCadNumber, NonFiniteValueIsAnArithmeticFault) {
  const double values[] = {std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity()};
  for (const double value : values) {
    SCOPED_TRACE(value);
    try {
      formatCadNumber(value);
      ADD_FAILURE() << "a non-finite value was written";
    } catch (const RunError& error) {
      EXPECT_EQ(error.kind(), ErrorKind::Arithmetic);
    }
  }
}

}  // namespace
}  // namespace propclear
