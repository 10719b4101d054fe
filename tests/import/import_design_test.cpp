// Designs traced from drawings: propclear's own drawing of varied designs
// read back, and drawings written here with the shapes CAD programs use.

#include "import/import_design.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "cad/write_dxf_drawing.h"
#include "assessment/assessment.h"
#include "common/run_error.h"
#include "design/read_design_data.h"
#include "dxf/dxf_drawing.h"
#include "support/test_support.h"

namespace propclear {
namespace {

constexpr double millimetre = 0.001;

DesignData exampleDesign() { return readDesignData(test::examplesDir() / "Norvalek.TSK").design; }

// A plausible stern of its own for each seed: 4 to 63 contour points rising
// in steps of 5 to 60 cm, some of them break points, and the propeller and
// rudder moved about.
DesignData variedDesign(unsigned seed) {
  std::mt19937 random(seed);
  const auto between = [&](double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(random);
  };
  DesignData d = exampleDesign();
  d.propellerCentreX = between(3.5, 4.5);
  d.propellerCentreZ = between(2.5, 3.2);
  d.propellerDiameter = between(3.5, 4.6);
  const double aft = between(8.0, 9.5), forward = between(6.0, 7.0);
  const double low = between(0.3, 1.0), high = between(5.5, 6.5);
  const double rudderX[] = {0, aft, aft - between(0, 0.3), forward + between(0, 0.2), forward};
  const double rudderZ[] = {0, low, high, high, low};
  for (int i = 1; i <= 4; ++i) {
    d.rudderX[i] = rudderX[i];
    d.rudderZ[i] = rudderZ[i];
  }
  const int n = 4 + static_cast<int>(random() % 60);
  double z = between(0.1, 0.5), x = between(1.0, 2.5);
  for (int k = 1; k <= n; ++k) {
    d.contourZ[sternContourRow][k] = z;
    d.contourX[sternContourRow][k] = x;
    d.contourCode[sternContourRow][k] = k > 1 && k < n && between(0, 1) < 0.1 ? 0.0 : 1.0;
    z += between(0.05, 0.6);
    x += between(-0.1, 0.5);
  }
  d.contourPointCount[sternContourRow] = n;
  return d;
}

DxfDrawing drawingOf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return parseDxfDrawing(text, "drawing.dxf");
}

ImportOptions optionsFor(const DesignData& d) {
  ImportOptions options;
  options.drawingName = "drawing.dxf";
  options.settings.centreX = d.propellerCentreX;
  options.settings.centreZ = d.propellerCentreZ;
  return options;
}

void expectSameGeometry(const DesignData& expected, const DesignData& imported,
                        const std::string& which) {
  const int n = expected.contourPointCount[sternContourRow];
  ASSERT_EQ(imported.contourPointCount[sternContourRow], n) << which;
  for (int k = 1; k <= n; ++k) {
    EXPECT_NEAR(imported.contourZ[sternContourRow][k], expected.contourZ[sternContourRow][k],
                millimetre)
        << which << " point " << k;
    EXPECT_NEAR(imported.contourX[sternContourRow][k], expected.contourX[sternContourRow][k],
                millimetre)
        << which << " point " << k;
  }
  for (int corner = 1; corner <= rudderCornerCount; ++corner) {
    EXPECT_NEAR(imported.rudderX[corner], expected.rudderX[corner], millimetre)
        << which << " corner " << corner;
    EXPECT_NEAR(imported.rudderZ[corner], expected.rudderZ[corner], millimetre)
        << which << " corner " << corner;
  }
}

TEST(ImportDesign, OwnDrawingOfTheExampleAndFiftyVariedDesignsGivesTheirPointsAndCornersBack) {
  std::vector<DesignData> designs{exampleDesign()};
  for (unsigned seed = 1; seed <= 50; ++seed) designs.push_back(variedDesign(seed));
  for (std::size_t i = 0; i < designs.size(); ++i) {
    const DesignData& d = designs[i];
    const DxfDrawing drawing = drawingOf(dxfDrawingLines(d, assess(d, {})));
    const ImportedDesign imported = importDesign(drawing, optionsFor(d));
    expectSameGeometry(d, imported.design, i == 0 ? "the example" : "design " + std::to_string(i));
    // The written file reads back as the design imported.
    const ReadResult reread = readDesignText(imported.text, "imported");
    EXPECT_EQ(reread.design.contourPointCount, imported.design.contourPointCount);
    EXPECT_EQ(reread.design.propellerCentreX, d.propellerCentreX);
  }
}

}  // namespace
}  // namespace propclear
