#include "common/checked_math.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace propclear {
namespace {

std::string faultOf(void (*action)()) {
  try {
    action();
  } catch (const RunError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::Arithmetic);
    return error.what();
  }
  return "";
}

TEST(CheckedDivide, ExactQuotientsPassThrough) {
  EXPECT_EQ(checkedDivide(1.0, 4.0, "q"), 0.25);
  EXPECT_EQ(checkedDivide(-0.0, 3.0, "q"), 0.0);
  EXPECT_DOUBLE_EQ(checkedDivide(1.0, 1e-300, "q"), 1e300);
}

TEST(CheckedDivide, ZeroDivisorAndOverflowAreFaultsNamingWhatFailed) {
  EXPECT_EQ(faultOf([] { checkedDivide(1.0, 0.0, "the slope"); }),
            "arithmetic fault: cannot compute the slope: division by zero");
  EXPECT_EQ(faultOf([] { checkedDivide(0.0, -0.0, "the angle"); }),
            "arithmetic fault: cannot compute the angle: division by zero");
  EXPECT_EQ(faultOf([] { checkedDivide(1e300, 1e-300, "the ratio"); }),
            "arithmetic fault: cannot compute the ratio: the result overflows");
}

TEST(RequireFinite, RejectsInfinityAndNan) {
  EXPECT_EQ(requireFinite(-1e308, "v"), -1e308);
  EXPECT_NE(faultOf([] { requireFinite(std::numeric_limits<double>::infinity(), "v"); }), "");
  EXPECT_NE(faultOf([] { requireFinite(std::numeric_limits<double>::quiet_NaN(), "v"); })
                .find("not a number"),
            std::string::npos);
}

TEST(RunError, MessageNamesFileLineAndColumnWhenKnown) {
  EXPECT_EQ(formatErrorMessage({"Norvalek.TSK", 17, 6}, "expected a number"),
            "Norvalek.TSK:17:6: expected a number");
  EXPECT_EQ(formatErrorMessage({"Norvalek.TSK", 17, 0}, "m"), "Norvalek.TSK:17: m");
  EXPECT_EQ(formatErrorMessage({"Norvalek.SON"}, "m"), "Norvalek.SON: m");
  EXPECT_EQ(formatErrorMessage({}, "m"), "m");
}

}  // namespace
}  // namespace propclear
