#include <gtest/gtest.h>

#include <limits>
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
