#include "common/format_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>
#include <random>
#include <string>

#include "common/run_error.h"

namespace propclear {
namespace {

struct FixedCase {
  double value;
  int intWidth;
  int decimals;
  const char* expected;
};

void PrintTo(const FixedCase& c, std::ostream* out) {
  *out << "formatFixed(" << c.value << ", " << c.intWidth << ", " << c.decimals << ")";
}

class FormatFixedTest : public testing::TestWithParam<FixedCase> {};

TEST_P(FormatFixedTest, RendersGoldenText) {
  const FixedCase& c = GetParam();
  EXPECT_EQ(formatFixed(c.value, c.intWidth, c.decimals), c.expected);
}

// The worked examples: leading blanks, digits, overflow mark.
INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, FormatFixedTest,
    testing::Values(FixedCase{5.5, 3, 3, "  5.500"}, FixedCase{-5.5, 3, 3, " -5.500"},
                    FixedCase{1234.5678, 3, 3, "1234.568%"}, FixedCase{0.5, 1, 3, "0.500"},
                    FixedCase{-0.5, 1, 3, "-0.500%"}, FixedCase{12.34, 1, 3, "12.340%"}));

// An integer part that exactly fills the field, sign included, gets neither a
// blank nor a mark; one more character gets the mark.
INSTANTIATE_TEST_SUITE_P(
    FieldWidth, FormatFixedTest,
    testing::Values(FixedCase{123.25, 3, 3, "123.250"}, FixedCase{-12.25, 3, 3, "-12.250"},
                    FixedCase{-123.25, 3, 3, "-123.250%"}, FixedCase{999.9994, 3, 3, "999.999"},
                    FixedCase{-99.9994, 3, 3, "-99.999"}, FixedCase{12.5, 2, 3, "12.500"},
                    FixedCase{4.2, 2, 3, " 4.200"}, FixedCase{9.5, 1, 3, "9.500"},
                    FixedCase{-0.001, 1, 3, "-0.001%"}, FixedCase{-3.0, 1, 0, "-3.%"},
                    FixedCase{0.25, 4, 2, "   0.25"}));

// Rounding that carries into a new integer digit widens the integer part.
INSTANTIATE_TEST_SUITE_P(Carry, FormatFixedTest,
                         testing::Values(FixedCase{9.9996, 1, 3, "10.000%"},
                                         FixedCase{-9.9996, 3, 3, "-10.000"},
                                         FixedCase{999.9996, 3, 3, "1000.000%"},
                                         FixedCase{-99.9996, 3, 3, "-100.000%"},
                                         FixedCase{0.9996, 1, 3, "1.000"}));

// With no decimals the text still ends with the point.
INSTANTIATE_TEST_SUITE_P(NoDecimals, FormatFixedTest,
                         testing::Values(FixedCase{3.7, 2, 0, " 4."}, FixedCase{3.2, 1, 0, "3."},
                                         FixedCase{2.5, 1, 0, "3."}, FixedCase{-2.5, 2, 0, "-3."},
                                         FixedCase{0.4, 3, 0, "  0."}));

// Halfway cases are judged on the exact value of the double, halves away
// from zero.
INSTANTIATE_TEST_SUITE_P(
    ExactTies, FormatFixedTest,
    testing::Values(FixedCase{0.0625, 1, 3, "0.063"}, FixedCase{-0.0625, 2, 3, "-0.063"},
                    FixedCase{0.125, 1, 2, "0.13"}, FixedCase{-0.125, 2, 2, "-0.13"},
                    FixedCase{1.0625, 1, 3, "1.063"}, FixedCase{0.5, 1, 0, "1."},
                    // these doubles lie just below the half
                    FixedCase{2.675, 1, 2, "2.67"}, FixedCase{1.005, 1, 2, "1.00"},
                    FixedCase{1.0005, 1, 3, "1.000"}, FixedCase{0.15, 1, 1, "0.1"},
                    // and this one just above
                    FixedCase{0.45, 1, 1, "0.5"},
                    // all the exact digits of 0.1
                    FixedCase{0.1, 1, 20, "0.10000000000000000555"}));

// A negative value that rounds to zero is written without its sign, so it
// gets no overflow mark either.
INSTANTIATE_TEST_SUITE_P(
    NegativeZero, FormatFixedTest,
    testing::Values(FixedCase{-0.0, 1, 3, "0.000"}, FixedCase{-0.0004, 1, 3, "0.000"},
                    FixedCase{-0.0005, 1, 3, "-0.001%"}, FixedCase{-1e-300, 3, 3, "  0.000"},
                    FixedCase{-0.4, 1, 0, "0."}, FixedCase{0.0, 1, 3, "0.000"}));

// Large integer parts are printed in full, never in exponent form.
INSTANTIATE_TEST_SUITE_P(LargeValues, FormatFixedTest,
                         testing::Values(FixedCase{1e20, 3, 3, "100000000000000000000.000%"},
                                         FixedCase{-1e16, 1, 1, "-10000000000000000.0%"},
                                         FixedCase{1e23, 3, 0, "99999999999999991611392.%"}));

TEST(FormatFixed, LargestDoubleHasAllItsIntegerDigits) {
  const std::string text = formatFixed(std::numeric_limits<double>::max(), 3, 3);
  EXPECT_EQ(text.size(), 309u + 1u + 3u + 1u);
  EXPECT_EQ(text.substr(0, 6), "179769");
  EXPECT_EQ(text.substr(text.size() - 5), ".000%");
}

TEST(FormatFixed, SmallestSubnormalRoundsToZero) {
  EXPECT_EQ(formatFixed(std::numeric_limits<double>::denorm_min(), 1, 3), "0.000");
  EXPECT_EQ(formatFixed(-std::numeric_limits<double>::denorm_min(), 1, 3), "0.000");
}

TEST(FormatFixed, ManyDecimalsArePaddedWithZeros) {
  const std::string text = formatFixed(0.5, 1, 1100);
  EXPECT_EQ(text.size(), 1102u);
  EXPECT_EQ(text.substr(0, 3), "0.5");
  EXPECT_EQ(text.find_first_not_of('0', 3), std::string::npos);
}

struct TruncatedCase {
  double value;
  int width;
  const char* expected;
};

void PrintTo(const TruncatedCase& c, std::ostream* out) {
  *out << "formatTruncated(" << c.value << ", " << c.width << ")";
}

class FormatTruncatedTest : public testing::TestWithParam<TruncatedCase> {};

TEST_P(FormatTruncatedTest, RendersGoldenText) {
  const TruncatedCase& c = GetParam();
  EXPECT_EQ(formatTruncated(c.value, c.width), c.expected);
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, FormatTruncatedTest,
                         testing::Values(TruncatedCase{7.0, 4, "   7"},
                                         TruncatedCase{12.9, 4, "  12"},
                                         TruncatedCase{-3.2, 4, "  -3"},
                                         TruncatedCase{12345.0, 4, "12345"}));

INSTANTIATE_TEST_SUITE_P(TowardZero, FormatTruncatedTest,
                         testing::Values(TruncatedCase{2.9, 1, "2"}, TruncatedCase{-2.9, 1, "-2"},
                                         TruncatedCase{0.5, 3, "  0"}, TruncatedCase{0.0, 3, "  0"},
                                         TruncatedCase{0.999, 2, " 0"},
                                         TruncatedCase{-0.5, 3, "  0"}, TruncatedCase{-0.0, 1, "0"},
                                         TruncatedCase{-1.0, 3, " -1"},
                                         TruncatedCase{42.0, 0, "42"},
                                         TruncatedCase{42.0, -5, "42"}));

// Beyond 10^15 the integer's digits are written in full.
INSTANTIATE_TEST_SUITE_P(LargeValues, FormatTruncatedTest,
                         testing::Values(TruncatedCase{1e15, 4, "1000000000000000"},
                                         TruncatedCase{-1e17, 4, "-100000000000000000"},
                                         TruncatedCase{1e23, 4, "99999999999999991611392"},
                                         TruncatedCase{9007199254740993.0, 1, "9007199254740992"}));

TEST(FormatNumber, NonFiniteValueIsAnArithmeticFault) {
  const double values[] = {std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity()};
  for (const double value : values) {
    SCOPED_TRACE(value);
    try {
      formatFixed(value, 1, 3);
      ADD_FAILURE() << "formatFixed accepted a non-finite value";
    } catch (const RunError& error) {
      EXPECT_EQ(error.kind(), ErrorKind::Arithmetic);
    }
    try {
      formatTruncated(value, 4);
      ADD_FAILURE() << "formatTruncated accepted a non-finite value";
    } catch (const RunError& error) {
      EXPECT_EQ(error.kind(), ErrorKind::Arithmetic);
    }
    EXPECT_THROW(formatRounded(value, 3), RunError);
  }
}

// formatRounded rounds as formatFixed does, for columns sized to their cells.
TEST(FormatNumber, RoundedTextHasNeitherPaddingNorOverflowMark) {
  EXPECT_EQ(formatRounded(-0.2938, 3), "-0.294");
  EXPECT_EQ(formatRounded(-1234.56, 1), "-1234.6");
  EXPECT_EQ(formatRounded(-0.0004, 3), "0.000");
  EXPECT_EQ(formatRounded(0.0005, 3), "0.001");
}

// `value` to `decimals` places (at most 25) by the C library (exact digits,
// halves to even), with the point always and without the sign of a zero;
// nothing where the digits to the 40th place make an exact half, which the
// C library rounds differently (the report's halves are in ExactTies).
std::optional<std::string> referenceRounded(double value, int decimals) {
  char exact[400];
  std::snprintf(exact, sizeof exact, "%.40f", std::fabs(value));
  const std::string digits(exact);
  const std::size_t firstDropped = digits.find('.') + 1 + static_cast<std::size_t>(decimals);
  if (digits[firstDropped] == '5' &&
      digits.find_first_not_of('0', firstDropped + 1) == std::string::npos)
    return std::nullopt;
  char rounded[400];
  std::snprintf(rounded, sizeof rounded, "%.*f", decimals, value);
  std::string text(rounded);
  if (decimals == 0) text += '.';
  if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  return text;
}

// Random values and the hard cases of a quick rounding: decimals and their
// halves with their neighbours, binary fractions, and products near 2^52.
TEST(FormatNumber, RoundedAgreesWithTheCLibraryBesideExactHalves) {
  std::mt19937_64 random(20261208);
  std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
  std::uniform_int_distribution<int> exponent(-25, 20);
  std::uniform_int_distribution<int> places(0, 25);
  std::uniform_int_distribution<std::int64_t> digits(-99'999'999'999, 99'999'999'999);
  for (int i = 0; i < 20'000; ++i) {
    const int decimals = places(random);
    const double power = std::pow(10.0, decimals);
    const auto integer = static_cast<double>(digits(random));
    const double half = (integer + 0.5) / power;
    for (const double value :
         {mantissa(random) * std::pow(10.0, exponent(random)), integer / power, half,
          std::nextafter(half, 1e300), std::nextafter(half, -1e300), std::ldexp(integer, -(i % 40)),
          std::ldexp(1.0, 52 - i % 8) / power * (1 + i % 3)}) {
      const std::optional<std::string> expected = referenceRounded(value, decimals);
      if (!expected) continue;
      ASSERT_EQ(formatRounded(value, decimals), *expected) << std::hexfloat << value;
    }
  }
}

}  // namespace
}  // namespace propclear
