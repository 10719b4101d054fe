#include "bench_designs.h"

#include <cmath>
#include <filesystem>
#include <memory>
#include <sstream>

#include "clearance/compute_clearances.h"
#include "common/checked_math.h"
#include "common/diagnostics.h"
#include "design/read_design_data.h"
#include "geometry/evaluate_curve.h"
#include "geometry/set_up_contour.h"
#include "driver/prompt_service.h"
#include "sample_design.h"
#include "test_support.h"

namespace propclear::bench {

namespace {

std::filesystem::path examplePath() { return test::examplesDir() / designFileName; }

// Knot spacing and shape of the smooth benchmark curve, in curve units.
constexpr double smoothKnotSpacing = 0.05;
constexpr double smoothWaveNumber = 0.7;

}  // namespace

DesignData exampleDesign() {
  if (!std::filesystem::exists(examplePath())) return test::sampleDesign();
  std::ostringstream promptEcho;
  ScriptedPrompt prompts("H", promptEcho);
  DesignData design = readDesignData(examplePath(), prompts).design;
  computePlotExtent(design);
  return design;
}

std::string exampleDesignSource() {
  if (!std::filesystem::exists(examplePath())) return "sample stern of tests/support (no example yet)";
  return examplePath().string();
}

DesignData resampledDesign(int pointCount) {
  DesignData design = test::sampleDesign();
  const auto workspace = std::make_unique<CurveWorkspace>();
  const int n = setUpContour(design, sternContourRow, *workspace);
  const double zFirst = workspace->knot[1];
  const double zLast = workspace->knot[n];
  for (int k = 1; k <= pointCount; ++k) {
    const double z = k == pointCount
                         ? zLast
                         : zFirst + checkedDivide((zLast - zFirst) * (k - 1), pointCount - 1,
                                                  "the resampled contour height");
    double x = 0.0;
    evaluateCurve(n, z, workspace->knot, workspace->coef, x);
    design.contourZ[sternContourRow][k] = z;
    design.contourX[sternContourRow][k] = x;
    design.contourCode[sternContourRow][k] = 1.0;
  }
  design.contourPointCount[sternContourRow] = pointCount;
  computePlotExtent(design);
  return design;
}

void addBreakPoints(DesignData& design, int spacing) {
  const int n = design.contourPointCount[sternContourRow];
  for (int k = spacing; k < n; k += spacing) design.contourCode[sternContourRow][k] = breakCode;
}

BladeOutline outlineOf(const DesignData& design) {
  return buildBladeOutline(design.propellerDiameter, design.pitchRatio, design.areaRatio,
                           design.rakeAngle);
}

int computeAllClearances(const DesignData& design, const BladeOutline& outline,
                         CurveWorkspace& workspace, DrawingSurface& surface,
                         ClearanceSet& clearances) {
  Diagnostics diagnostics;
  ClearanceContext context{design, outline, workspace, surface, diagnostics};
  computeUpperBladeClearances(context, clearances);
  computeLowerBladeClearances(context, clearances);
  return static_cast<int>(diagnostics.warnings.size());
}

void loadSmoothCurve(CurveWorkspace& workspace, int knotCount) {
  for (int i = 1; i <= knotCount; ++i) {
    const double t = smoothKnotSpacing * (i - 1);
    workspace.knot[i] = t;
    workspace.coef[1][i] = 1.0 + 0.5 * t + std::sin(smoothWaveNumber * t);
  }
}

}  // namespace propclear::bench
