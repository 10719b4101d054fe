#include "design/decimal_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>

namespace propclear {
namespace {

struct ValidCase {
  std::string text;
  double value;
};

// Test listings name the text read, not the record's bytes.
void PrintTo(const ValidCase& valid, std::ostream* out) { *out << '"' << valid.text << '"'; }

class ValidNumberTest : public ::testing::TestWithParam<ValidCase> {};

TEST_P(ValidNumberTest, ReadsTheExactValue) {
  const ParsedNumber number = parseDecimalNumber(GetParam().text);
  ASSERT_EQ(number.status, NumberStatus::Valid) << GetParam().text;
  EXPECT_EQ(number.value, GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Syntax, ValidNumberTest,
    ::testing::Values(ValidCase{"0", 0.0}, ValidCase{"42", 42.0}, ValidCase{"+4.6", 4.6},
                      ValidCase{"-2.75", -2.75}, ValidCase{".5", 0.5}, ValidCase{"5.", 5.0},
                      ValidCase{"-.25", -0.25}, ValidCase{"99.0", 99.0}, ValidCase{"1e3", 1000.0},
                      ValidCase{"1E3", 1000.0}, ValidCase{"2.5e-1", 0.25},
                      ValidCase{"+7.5E+0", 7.5}, ValidCase{"5.e1", 50.0}, ValidCase{"0.1", 0.1},
                      ValidCase{"0e999999999", 0.0}, ValidCase{"000012.50", 12.5},
                      ValidCase{"1.7976931348623157e308", 1.7976931348623157e308}));

class MalformedNumberTest : public ::testing::TestWithParam<std::string> {};

TEST_P(MalformedNumberTest, IsRejected) {
  EXPECT_EQ(parseDecimalNumber(GetParam()).status, NumberStatus::Malformed) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Syntax, MalformedNumberTest,
                         ::testing::Values("", "+", "-", ".", "+.", "e5", ".e5", "1e", "1e+", "1e-",
                                           "1.2.3", "--1", "+-1", "1-", "inf", "-inf", "nan", "NaN",
                                           "infinity", "0x10", "0X1p3", "1;5", "abc", "4,6", "1 5",
                                           "1_000", std::string("1\0", 2), "١", "1e5.0", "1d3", "e",
                                           "."));

TEST(DecimalNumber, OverflowIsOutOfRange) {
  EXPECT_EQ(parseDecimalNumber("1e400").status, NumberStatus::OutOfRange);
  EXPECT_EQ(parseDecimalNumber("-1e400").status, NumberStatus::OutOfRange);
  EXPECT_EQ(parseDecimalNumber("1.7976931348623159e308").status, NumberStatus::OutOfRange);
  EXPECT_EQ(parseDecimalNumber("1e99999999999999999999").status, NumberStatus::OutOfRange);
}

TEST(DecimalNumber, BelowTheSmallestSubnormalIsOutOfRange) {
  EXPECT_EQ(parseDecimalNumber("1e-400").status, NumberStatus::OutOfRange);
}

TEST(DecimalNumber, SubnormalsAreReadAsTheyRound) {
  const ParsedNumber number = parseDecimalNumber("1e-320");
  ASSERT_EQ(number.status, NumberStatus::Valid);
  EXPECT_EQ(std::fpclassify(number.value), FP_SUBNORMAL);
  EXPECT_EQ(number.value, 1e-320);
}

TEST(DecimalNumber, NegativeZeroKeepsItsSign) {
  const ParsedNumber number = parseDecimalNumber("-0.0");
  ASSERT_EQ(number.status, NumberStatus::Valid);
  EXPECT_TRUE(std::signbit(number.value));
}

}  // namespace
}  // namespace propclear
