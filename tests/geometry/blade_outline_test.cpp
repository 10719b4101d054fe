#include "geometry/blade_outline.h"

#include <gtest/gtest.h>

#include <ostream>

#include "curve_builders.h"

namespace propclear {
namespace {

// The worked values are given to six decimals.
constexpr double kSixDecimals = 5e-7;

constexpr double kDiameter = 4.0;
constexpr double kPitchRatio = 1.0;
constexpr double kAreaRatio = 0.55;
constexpr double kRake = 15.0;

struct StationExpectation {
  int station;
  double radius;
  double edge1X, edge1Z, edge2X, edge2Z;
};

// Test listings name the station, not the record's bytes.
void PrintTo(const StationExpectation& expectation, std::ostream* out) {
  *out << "station " << expectation.station;
}

class WorkedStation : public ::testing::TestWithParam<StationExpectation> {};

TEST_P(WorkedStation, EdgePointsMatchTheWorkedValues) {
  const StationExpectation& expected = GetParam();
  const BladeOutline outline = buildBladeOutline(kDiameter, kPitchRatio, kAreaRatio, kRake);
  const int i = expected.station;
  EXPECT_NEAR(outline.stationRadius[i], expected.radius, kSixDecimals);
  EXPECT_NEAR(outline.edge1X[i], expected.edge1X, kSixDecimals);
  EXPECT_NEAR(outline.edge1Z[i], expected.edge1Z, kSixDecimals);
  EXPECT_NEAR(outline.edge2X[i], expected.edge2X, kSixDecimals);
  EXPECT_NEAR(outline.edge2Z[i], expected.edge2Z, kSixDecimals);
}

INSTANTIATE_TEST_SUITE_P(
    FourMetrePropeller, WorkedStation,
    ::testing::Values(StationExpectation{6, 1.4, 0.607474, 1.307790, 0.119354, 1.288519},
                      StationExpectation{11, 2.0, 0.544198, 1.999830, 0.535857, 2.000000}));

// The same propeller to full double precision, computed independently with
// the same operations in the same order: r, edge 1 x and z, edge 2 x and z.
constexpr double kFullPrecision[11][5] = {
    {0.4, 0.4036211599921726, 0.35741210589776745, -0.37037749015160865, 0.2926359976663981},
    {0.6, 0.45228516335010893, 0.5381865816901701, -0.3009852445812927, 0.44897124141216355},
    {0.8, 0.49448460938844785, 0.7237946102198122, -0.20758369992042217, 0.6306245248519051},
    {1.0, 0.5310991211378584, 0.9157783532154061, -0.10452872589136258, 0.8336640715937309},
    {1.2, 0.5690100927195556, 1.1104709144903653, 0.005294690081189657, 1.0549601529964001},
    {1.4, 0.6074736025766287, 1.3077901292804197, 0.11935441534603308, 1.2885186275603533},
    {1.6, 0.6438235189415996, 1.509532161576264, 0.2432559007047613, 1.5325829599336929},
    {1.8, 0.6705989821581406, 1.7218425184776645, 0.38047504422875544, 1.777020668145124},
    {1.9, 0.6475789681614885, 1.855229056457969, 0.47004627268361304, 1.8964253856991455},
    {1.95, 0.6084275083242421, 1.932264639126665, 0.5104496485612907, 1.9496506204191684},
    {2.0, 0.5441978271583302, 1.999830045990825, 0.5358566791957087, 1.9999999957082797},
};

// Catches any change of constant or operation order that the six printed
// decimals would hide (an exact pi, a rounded lead, a regrouped product).
TEST(BladeOutline, MatchesTheReferenceToFullPrecision) {
  const BladeOutline outline = buildBladeOutline(kDiameter, kPitchRatio, kAreaRatio, kRake);
  EXPECT_EQ(outline.stationCount, 11);
  for (int i = 1; i <= 11; ++i) {
    const double* expected = kFullPrecision[i - 1];
    EXPECT_DOUBLE_EQ(outline.stationRadius[i], expected[0]) << i;
    EXPECT_DOUBLE_EQ(outline.edge1X[i], expected[1]) << i;
    EXPECT_DOUBLE_EQ(outline.edge1Z[i], expected[2]) << i;
    EXPECT_DOUBLE_EQ(outline.edge2X[i], expected[3]) << i;
    EXPECT_DOUBLE_EQ(outline.edge2Z[i], expected[4]) << i;
  }
}

TEST(BladeOutline, RakeShiftsEveryEdgePointByTheRakeOffset) {
  const BladeOutline raked = buildBladeOutline(kDiameter, kPitchRatio, kAreaRatio, kRake);
  const BladeOutline upright = buildBladeOutline(kDiameter, kPitchRatio, kAreaRatio, 0.0);
  // The worked rake offset at station 6 (r = 1.4 m).
  EXPECT_NEAR(raked.edge1X[6] - upright.edge1X[6], 0.375129, kSixDecimals);
  EXPECT_NEAR(raked.edge2X[6] - upright.edge2X[6], 0.375129, kSixDecimals);
  for (int i = 1; i <= 11; ++i) {
    EXPECT_EQ(raked.edge1Z[i], upright.edge1Z[i]) << i;
    EXPECT_EQ(raked.edge2Z[i], upright.edge2Z[i]) << i;
  }
}

TEST(BladeOutline, WithoutRakeEdgeOneLiesAftAndEdgeTwoForward) {
  const BladeOutline outline = buildBladeOutline(kDiameter, kPitchRatio, kAreaRatio, 0.0);
  for (int i = 1; i <= 11; ++i) {
    EXPECT_GT(outline.edge1X[i], 0.0) << i;
    EXPECT_LT(outline.edge2X[i], 0.0) << i;
  }
}

TEST(BladeOutline, ZeroDiameterIsAnArithmeticFault) {
  test::expectArithmeticFault([] { buildBladeOutline(0.0, kPitchRatio, kAreaRatio, kRake); },
                              "propeller diameter 0");
}

TEST(BladeOutline, OverflowingDiameterIsAnArithmeticFault) {
  test::expectArithmeticFault([] { buildBladeOutline(1e308, kPitchRatio, kAreaRatio, kRake); },
                              "the blade outline");
}

}  // namespace
}  // namespace propclear
