// The shipped example design file reads completely and describes a sensible
// stern: stern frame ahead of the propeller, rudder behind it.

#include <gtest/gtest.h>

#include "design/read_design_data.h"
#include "design/plot_extent.h"
#include "support/test_support.h"

namespace propclear {
namespace {

class ExampleDesignFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    result = readDesignData(test::examplesDir() / designFileName);
    ASSERT_EQ(result.outcome, ReadOutcome::Read);
  }
  double contourZ(int k) const { return result.design.contourZ[sternContourRow][k]; }
  double contourX(int k) const { return result.design.contourX[sternContourRow][k]; }
  int contourCount() const { return result.design.contourPointCount[sternContourRow]; }

  ReadResult result;
};

TEST_F(ExampleDesignFileTest, PropellerData) {
  const DesignData& d = result.design;
  EXPECT_EQ(d.propellerCentreX, 4.0);
  EXPECT_EQ(d.propellerCentreZ, 2.8);
  EXPECT_EQ(d.waterlineHeight, 9.0);
  EXPECT_EQ(d.propellerDiameter, 4.6);
  EXPECT_EQ(d.hubDiameter, 0.85);
  EXPECT_EQ(d.pitchRatio, 0.8);
  EXPECT_EQ(d.areaRatio, 0.55);
  EXPECT_EQ(d.rakeAngle, 10.0);
}

TEST_F(ExampleDesignFileTest, RudderCorners) {
  const DesignData& d = result.design;
  EXPECT_EQ(d.rudderPointCount, 4);
  EXPECT_EQ(d.rudderX[1], 9.1);
  EXPECT_EQ(d.rudderZ[1], 0.6);
  EXPECT_EQ(d.rudderX[3], 6.25);
  EXPECT_EQ(d.rudderZ[3], 6.0);
  EXPECT_EQ(d.rudderX[4], 6.15);
  EXPECT_EQ(d.rudderZ[4], 0.6);
  // The edge through corners 3 and 4 faces the propeller from behind, clear of the hub.
  const double hubEndX = d.propellerCentreX + 0.75 * d.hubDiameter;
  EXPECT_GT(d.rudderX[3], hubEndX);
  EXPECT_GT(d.rudderX[4], hubEndX);
  EXPECT_GT(d.rudderX[1], d.rudderX[4]);
  EXPECT_GT(d.rudderX[2], d.rudderX[3]);
}

TEST_F(ExampleDesignFileTest, SternContour) {
  ASSERT_EQ(contourCount(), 24);
  EXPECT_EQ(contourZ(1), 0.3);
  EXPECT_EQ(contourX(1), 1.8);
  EXPECT_EQ(contourZ(24), 10.5);
  EXPECT_EQ(contourX(24), 10.7);
  EXPECT_EQ(result.design.contourCode[sternContourRow][22], breakCode);
  for (int k = 2; k <= contourCount(); ++k) {
    EXPECT_GT(contourZ(k), contourZ(k - 1)) << "heights rise from point " << k - 1 << " to " << k;
  }
}

TEST_F(ExampleDesignFileTest, SternFrameLiesAheadOfThePropellerAndArchesOverIt) {
  const DesignData& d = result.design;
  const double tipZ = d.propellerCentreZ + d.propellerDiameter / 2;
  EXPECT_LT(contourZ(1), d.propellerCentreZ - d.propellerDiameter / 2) << "below the lower tip";
  for (int k = 1; k <= contourCount() && contourZ(k) <= tipZ; ++k) {
    EXPECT_LT(contourX(k), d.propellerCentreX) << "point " << k;
  }
  EXPECT_GT(contourX(contourCount()), d.propellerCentreX + d.propellerDiameter / 2);
}

TEST_F(ExampleDesignFileTest, PlotExtent) {
  const PlotExtent extent = plotExtentOf(result.design);
  EXPECT_EQ(extent.min, 0.0);
  EXPECT_EQ(extent.max, 10.7);
  EXPECT_EQ(extent.range, 10.7);
}

}  // namespace
}  // namespace propclear
