// Parameter values of a study: ranges without drift, lists, and the faults
// that must stop a study before anything runs.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/run_error.h"
#include "studies/decimal_grid.h"
#include "studies/parameter_values.h"

namespace propclear {
namespace {

using ::testing::HasSubstr;

std::vector<double> allValues(const ParameterValues& values) {
  std::vector<double> all;
  for (std::uint64_t i = 0; i < values.count; ++i) all.push_back(values.at(i));
  return all;
}

TEST(ParameterRange, InclusiveWithoutDrift) {
  // 1.5 / 0.01 is 149.99999999999997 in doubles: the last value still counts.
  const ParameterValues diameters = parseVariedParameter("diameter=4.0:5.5:0.01", "--vary");
  ASSERT_EQ(diameters.count, 151u);
  EXPECT_EQ(diameters.at(0), 4.0);
  EXPECT_EQ(diameters.at(37), 4.37);
  EXPECT_EQ(diameters.at(150), 5.5);
  // Added up, 0.1 + 0.1 + 0.1 is 0.30000000000000004; each value is the
  // double of its decimal here.
  EXPECT_THAT(allValues(parseVariedParameter("pitch-ratio=0:0.3:0.1", "--vary")),
              ::testing::ElementsAre(0.0, 0.1, 0.2, 0.3));
  EXPECT_THAT(allValues(parseVariedParameter("rudder-x=1:-1:-0.5", "--vary")),
              ::testing::ElementsAre(1.0, 0.5, 0.0, -0.5, -1.0));
  EXPECT_THAT(allValues(parseVariedParameter("rake=5e-1:1.5:5E-1", "--vary")),
              ::testing::ElementsAre(0.5, 1.0, 1.5));
  // A STOP off the grid ends the range below it; START = STOP is one value.
  EXPECT_EQ(parseVariedParameter("centre-z=2.6:3.0:0.15", "--vary").count, 3u);
  EXPECT_EQ(parseVariedParameter("centre-z=2.6:2.6:0", "--vary").count, 1u);
}

TEST(ParameterRange, TenMillionValuesKeepTheirDecimals) {
  // 1 / 1e-9 is 999999999.9999999 in doubles, short of a billion by far more
  // than a billionth of a step: the count takes the quotient's rounding into
  // account.
  EXPECT_EQ(wholeSteps(1.0 / 1e-9), 1e9);
  EXPECT_EQ(wholeSteps(1.5 / 0.01), 150.0);
  EXPECT_EQ(wholeSteps(2.5), 2.0);
  const ParameterValues values = parseVariedParameter("diameter=4:5:0.0000001", "--vary");
  ASSERT_EQ(values.count, 10'000'001u);
  EXPECT_EQ(values.at(1234567), 4.1234567);
  EXPECT_EQ(values.at(10'000'000), 5.0);
  EXPECT_EQ(parseVariedParameter("diameter=0:0.5:1e-8", "--vary").count, 50'000'001u);
}

TEST(ParameterRange, ListsKeepOrderAndValues) {
  const ParameterValues values = parseVariedParameter("hub-diameter=0.9,0.7,8e-1", "--vary");
  EXPECT_EQ(values.parameter->name, "hub-diameter");
  EXPECT_THAT(allValues(values), ::testing::ElementsAre(0.9, 0.7, 0.8));
}

struct BadVary {
  const char* text;
  const char* reason;
};

class BadVaryOption : public ::testing::TestWithParam<BadVary> {};

TEST_P(BadVaryOption, IsAUsageFaultNamingOptionAndValue) {
  try {
    parseVariedParameter(GetParam().text, "--vary");
    FAIL() << "accepted " << GetParam().text;
  } catch (const RunError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::Usage);
    EXPECT_THAT(error.what(), HasSubstr(std::string("--vary ") + GetParam().text + ": "));
    EXPECT_THAT(error.what(), HasSubstr(GetParam().reason));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, BadVaryOption,
    ::testing::Values(BadVary{"diameter=4:5:0", "the step is 0"},
                      BadVary{"diameter=5:4:0.1", "leads away from 4"},
                      BadVary{"diameter=4:5:-0.1", "leads away from 5"},
                      BadVary{"diameter=0:1:1e-9", "1000000001 values, more than the 100000000"},
                      BadVary{"diameter=0:1:1e-8", "100000001 values, more than the 100000000"},
                      BadVary{"diameter=-1e308:1e308:1e-300", "too many steps"},
                      BadVary{"diam=4:5:1", "unknown parameter \"diam\"; the parameters are diameter,"},
                      BadVary{"diameter=4:x:1", "\"x\" is not a number"},
                      BadVary{"diameter=4:5", "a range is START:STOP:STEP"},
                      BadVary{"diameter=4,,5", "a number is missing"},
                      BadVary{"diameter=nan", "\"nan\" is not a number"},
                      BadVary{"diameter=1e999", "is not a number in range"},
                      BadVary{"diameter", "expected NAME=START:STOP:STEP"}));

// A study may have up to 100 000 000 designs: a range of that many values,
// and a grid of that many points, are taken; one value or one row more is not.
TEST(ParameterGrid, CountsEveryPointAndRefusesOneMoreThanTheMost) {
  const std::vector<ParameterValues> grid = {parseVariedParameter("diameter=4:5:0.001", "--vary"),
                                             parseVariedParameter("centre-z=2:3:0.01", "--vary")};
  EXPECT_EQ(countStudyDesigns(grid), 1001u * 101u);
  const ParameterValues most = parseVariedParameter("diameter=0:0.99999999:1e-8", "--vary");
  EXPECT_EQ(most.count, 100'000'000u);
  EXPECT_EQ(countStudyDesigns({most}), 100'000'000u);
  const std::vector<ParameterValues> square = {
      parseVariedParameter("rake=1:10000:1", "--vary"),
      parseVariedParameter("centre-z=1:10000:1", "--vary")};
  EXPECT_EQ(countStudyDesigns(square), 100'000'000u);
  const std::vector<ParameterValues> oneRowMore = {
      square[0], parseVariedParameter("centre-z=1:10001:1", "--vary")};
  try {
    countStudyDesigns(oneRowMore);
    ADD_FAILURE() << "a grid of 100010000 designs accepted";
  } catch (const RunError& error) {
    EXPECT_THAT(error.what(), HasSubstr("--vary rake by centre-z: 100010000 designs, more than the "
                                        "100000000 a study may have"));
  }
  const std::vector<ParameterValues> huge = {parseVariedParameter("diameter=4:5:0.00001", "--vary"),
                                             parseVariedParameter("centre-z=2:3:0.0001", "--vary")};
  EXPECT_THROW(
      {
        try {
          countStudyDesigns(huge);
        } catch (const RunError& error) {
          EXPECT_THAT(error.what(), HasSubstr("--vary diameter by centre-z: 1000110001 designs"));
          throw;
        }
      },
      RunError);
}

TEST(DecimalGrid, PlacesAsWritten) {
  EXPECT_EQ(decimalPlacesOf("4.05"), 2);
  EXPECT_EQ(decimalPlacesOf("250"), 0);
  EXPECT_EQ(decimalPlacesOf("1e-3"), 3);
  EXPECT_EQ(decimalPlacesOf("1.25E+1"), 1);
  EXPECT_EQ(decimalPlacesOf("0.1234567890123456"), -1);
  EXPECT_EQ(roundToDecimalPlaces(0.1 + 0.2, 1), 0.3);
  EXPECT_EQ(roundToDecimalPlaces(1e300, 4), 1e300);
  EXPECT_EQ(roundToDecimalPlaces(0.1 + 0.2, -1), 0.1 + 0.2);
}

}  // namespace
}  // namespace propclear
