#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
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

TEST(FormatCadNumber, AgreesWithTheCLibraryOverEveryMagnitude) {
  std::mt19937_64 random(20261207);
  std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
  std::uniform_int_distribution<int> exponent(-310, 300);
  std::uniform_int_distribution<int> millimetres(-2'000'000, 2'000'000);
  for (int i = 0; i < 20000; ++i) {
    const double value = mantissa(random) * std::pow(10.0, exponent(random));
    if (value == 0.0) continue;
    ASSERT_EQ(formatCadNumber(value), referenceCadNumber(value)) << std::hexfloat << value;
    // Coordinates as the script writes them: metres with a few decimals, times 1000.
    const double coordinate = millimetres(random) / 1000.0 * 1000.0 + 0.5 * (i % 3);
    if (coordinate == 0.0) continue;
    ASSERT_EQ(formatCadNumber(coordinate), referenceCadNumber(coordinate)) << coordinate;
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
